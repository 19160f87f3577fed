#pragma once

#include "announce/announcer.h"
#include "storage/file_io.h"

#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// The announcements' settings live in a file of their own in the data folder: the
// described settings files have no room for them.
inline constexpr const char* kAnnounceSettingsFileName = "ANNOUNCE.INI";

struct AnnounceFileSettings {
    AnnounceSettings announce;
    std::string voice; // the voice's name as the speech engine lists it; "" its default
    int rate = 0;      // -10 slow .. 10 fast
};

struct DecodedAnnounceSettings {
    AnnounceFileSettings settings;
    std::vector<std::string> problems; // lines that were not understood, in `language`
};

// Unknown keys are skipped; a value that does not read keeps its default and is reported.
DecodedAnnounceSettings decodeAnnounceSettings(std::string_view text, int language);
std::string encodeAnnounceSettings(const AnnounceFileSettings& settings);

// A missing file gives the defaults (announcements off).
std::expected<DecodedAnnounceSettings, std::string> loadAnnounceSettings(const fs::path& dataDir,
                                                                         int language);
IoResult saveAnnounceSettings(const fs::path& dataDir, const AnnounceFileSettings& settings);

} // namespace cronovolta
