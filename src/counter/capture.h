#pragma once

#include "counter/heat_control.h"
#include "storage/file_io.h"

#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// One line of a byte capture: what arrived on a port, a heat key, or a manual crossing.
struct CaptureEvent {
    enum class Kind { Bytes, Key, Lane };
    double seconds = 0.0; // host clock, seconds since midnight
    Kind kind = Kind::Bytes;
    int circuit = 0;   // Bytes: 1..4
    std::string bytes; // Bytes
    int key = 0;       // Key: character code, kKeyShift for Shift
    int lane = 0;      // Lane: 1..64

    bool operator==(const CaptureEvent&) const = default;
};

struct CaptureProblem {
    int line = 0;
    std::string message;
};

// A comment that names the lap-counter model the bytes came from: "# simulated DS300"
// (`cronovolta-cli simulate --capture`) or "# DS300 on 1 circuit(s)" (the desktop program's
// --record).
struct CaptureModel {
    int line = 0;
    int model = 0; // a CounterModel value
};

struct CaptureContents {
    std::vector<CaptureEvent> events;
    std::vector<CaptureProblem> problems; // lines that were skipped
    std::vector<CaptureModel> models;     // every model line, in order
};

// "SECONDS CIRCUIT HEXBYTE...", "SECONDS key CHAR" (esc, enter, shift, space spelt out) or
// "SECONDS lane N"; seconds with four decimals. Long chunks span several lines.
std::string formatCaptureEvent(const CaptureEvent& event);
// Reads every sound line; a bad line is reported with its number and skipped. Blank lines
// and lines starting with "#" are comments.
CaptureContents parseCapture(std::string_view text);

// Appends to a capture file; each call lands in the file at once, so a crash keeps all
// that came before it.
class CaptureWriter {
public:
    explicit CaptureWriter(fs::path file) : m_file(std::move(file)) {}

    const fs::path& file() const { return m_file; }
    IoResult append(const CaptureEvent& event);
    IoResult bytes(double seconds, int circuit, std::string_view data);
    IoResult key(double seconds, int key);
    IoResult lane(double seconds, int lane);
    IoResult comment(std::string_view text);

private:
    fs::path m_file;
};

} // namespace cronovolta
