#include "announce/announce_settings.h"

#include "storage/ini_text.h"

#include <charconv>
#include <sstream>

namespace cronovolta {
namespace {

bool readInt(std::string_view text, int low, int high, int& out) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

bool readEvents(std::string_view text, std::array<bool, kAnnounceEventCount>& out) {
    std::array<bool, kAnnounceEventCount> events{};
    while (!text.empty()) {
        std::size_t comma = text.find(',');
        std::string key(iniTrimmed(text.substr(0, comma)));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (key.empty()) {
            continue;
        }
        auto event = announceEventFromKey(key);
        if (!event) {
            return false;
        }
        events[static_cast<std::size_t>(*event)] = true;
    }
    out = events;
    return true;
}

} // namespace

DecodedAnnounceSettings decodeAnnounceSettings(std::string_view text, int language) {
    DecodedAnnounceSettings out;
    AnnounceFileSettings& s = out.settings;
    s.announce.language = language;
    forEachIniValue(text, [&](std::string_view key, std::string_view value, int line) {
        int number = 0;
        bool ok = true;
        if (key == "enabled") {
            ok = readInt(value, 0, 1, number);
            s.announce.enabled = ok ? number == 1 : s.announce.enabled;
        } else if (key == "events") {
            ok = readEvents(value, s.announce.events);
        } else if (key == "heat_seconds") {
            ok = readInt(value, 0, 86399, s.announce.heatSeconds);
        } else if (key == "silent_seconds") {
            ok = readInt(value, 0, 3600, s.announce.silentSeconds);
        } else if (key == "rate") {
            ok = readInt(value, -10, 10, s.rate);
        } else if (key == "voice") {
            s.voice = std::string(value);
        }
        if (!ok) {
            out.problems.push_back(iniValueProblem(kAnnounceSettingsFileName, line, language));
        }
    });
    return out;
}

std::string encodeAnnounceSettings(const AnnounceFileSettings& settings) {
    const AnnounceSettings& a = settings.announce;
    std::ostringstream out;
    out << "[announce]\nenabled=" << (a.enabled ? 1 : 0) << "\nevents=";
    bool first = true;
    for (int e = 0; e < kAnnounceEventCount; ++e) {
        if (a.events[static_cast<std::size_t>(e)]) {
            out << (first ? "" : ",") << announceEventKey(static_cast<AnnounceEvent>(e));
            first = false;
        }
    }
    out << "\nheat_seconds=" << a.heatSeconds << "\nsilent_seconds=" << a.silentSeconds
        << "\nvoice=" << settings.voice << "\nrate=" << settings.rate << "\n";
    return out.str();
}

std::expected<DecodedAnnounceSettings, std::string> loadAnnounceSettings(const fs::path& dataDir,
                                                                         int language) {
    auto text = readOptionalFile(dataDir / kAnnounceSettingsFileName);
    if (!text) {
        return std::unexpected(text.error());
    }
    return decodeAnnounceSettings(*text, language);
}

IoResult saveAnnounceSettings(const fs::path& dataDir, const AnnounceFileSettings& settings) {
    return writeFileAtomic(dataDir / kAnnounceSettingsFileName, encodeAnnounceSettings(settings));
}

} // namespace cronovolta
