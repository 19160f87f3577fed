#pragma once

#include "storage/file_io.h"

#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta::live {

// The live-results server's settings live in a file of their own in the data folder: the
// described settings files have no room for them.
inline constexpr const char* kLiveSettingsFileName = "LIVE.INI";

struct LiveSettings {
    bool enabled = false;
    int port = 8080;
    // The address the server listens on: "0.0.0.0" every network of the computer,
    // "127.0.0.1" this computer only, or one address of one network.
    std::string address = "0.0.0.0";
    // Names besides "localhost" and the computer's addresses under which the page may be
    // asked for ("hosts=" in the file, separated by commas): a name the club's network gives
    // this computer, or an address a router forwards to it.
    std::vector<std::string> hosts;
};

// A name or address that "hosts=" may list: letters, digits, '-', '.', '_', or an IPv6
// address.
bool validHostName(std::string_view name);

struct DecodedLiveSettings {
    LiveSettings settings;
    std::vector<std::string> problems; // lines that were not understood, in `language`
};

// Unknown keys are skipped; a value that does not read keeps its default and is reported.
DecodedLiveSettings decodeLiveSettings(std::string_view text, int language);
std::string encodeLiveSettings(const LiveSettings& settings);

// A missing file gives the defaults (server off).
std::expected<DecodedLiveSettings, std::string> loadLiveSettings(const fs::path& dataDir,
                                                                 int language);
IoResult saveLiveSettings(const fs::path& dataDir, const LiveSettings& settings);

} // namespace cronovolta::live
