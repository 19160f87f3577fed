#pragma once

#include "storage/file_io.h"
#include "texts/system_errors.h"

#include <array>
#include <string>

namespace cronovolta {

// Name of the file in the data folder that maps COM1..COM4 to device paths, one per line.
inline constexpr const char* kPortMapFile = "PORTS.TXT";

// Which device path is "COM" n. A line of PORTS.TXT wins; an empty or missing line means
// COMn itself on Windows, elsewhere /dev/ttyUSB<n-1> when that exists, else /dev/ttyS<n-1>.
// An override (the in-process simulator) wins over both.
class PortMap {
public:
    static constexpr int kPorts = 4;

    PortMap() = default;
    // Reads PORTS.TXT of the data folder; a missing file leaves every port to the default.
    static PortMap load(const fs::path& dataFolder);
    // The map from the text of a PORTS.TXT.
    static PortMap parse(std::string_view text);

    void setOverride(int port, std::string devicePath);
    // The device path of port 1..4; ports outside that range have none ("").
    std::string devicePath(int port) const;

private:
    std::array<std::string, kPorts> m_lines;
    std::array<std::string, kPorts> m_overrides;
};

// Texts of the link, in the language of the program settings (0 Català, 1 Castellà).
// A port that cannot be opened: "No hi ha connexió pel port N.", then, when the device is
// known, a line that names it and says what to do.
std::string portOpenFailedText(int language, int circuit,
                               PortProblem problem = PortProblem::Unknown,
                               std::string_view device = {});
std::string portLostText(int language, int circuit);
std::string portBackText(int language, int circuit);
// Shown at first start: a user outside the group that owns the serial devices cannot open
// them, and the port map is the organiser's to edit.
std::string serialAccessNoteText(int language, const fs::path& dataFolder);
// Bytes arrive on the circuit's port but none is of the configured model.
std::string foreignCounterText(int language, int circuit, const std::string& device,
                               std::string_view model);
// Buttons of the question asked when a port cannot be opened.
std::string retryButtonText(int language);
std::string cancelButtonText(int language);

} // namespace cronovolta
