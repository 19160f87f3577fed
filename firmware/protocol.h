// Framing and parsing of the board's ASCII protocol. Plain C++ without the
// standard library so that the same file builds for the AVR and the host tests.
#pragma once
#include <stdint.h>

namespace proto {

enum class Kind : uint8_t { None, Light, Power, Clock };

struct Command {
    Kind kind;
    uint8_t index; // light 1..8, lane 0..99 (0 = all lanes); clock state 0..3
    bool on;
};

// Collects one frame at a time. Bytes outside brackets are skipped, a '['
// restarts the frame, so a lost ']' costs only the broken frame.
class Parser {
public:
    // Returns a command when b closes a frame this board understands.
    Command feed(char b);

private:
    static constexpr uint8_t kMax = 24;
    char buf_[kMax];
    uint8_t len_ = 0;
    bool in_ = false;
};

// body holds the frame's first min(len, 24) characters.
Command parse(const char* body, uint8_t len);

// Each writes a whole frame with CR LF and a terminating NUL into out and
// returns its length without the NUL. out needs 20 bytes.
uint8_t format_crossing(char* out, uint8_t lane, uint32_t ms);
uint8_t format_button(char* out, uint8_t code);
uint8_t format_stop_go(char* out, uint8_t lane);

} // namespace proto
