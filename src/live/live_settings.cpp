#include "live/live_settings.h"

#include "live/live_requests.h"
#include "storage/ini_text.h"

#include <sstream>

namespace cronovolta::live {

bool validHostName(std::string_view name) {
    if (name.find(':') != std::string_view::npos) {
        return hostOfHeader("[" + std::string(name) + "]").has_value();
    }
    return !name.empty() && hostOfHeader(name).has_value();
}

DecodedLiveSettings decodeLiveSettings(std::string_view text, int language) {
    DecodedLiveSettings out;
    LiveSettings& s = out.settings;
    forEachIniValue(text, [&](std::string_view key, std::string_view value, int line) {
        bool ok = true;
        if (key == "enabled") {
            ok = value == "0" || value == "1";
            s.enabled = ok ? value == "1" : s.enabled;
        } else if (key == "port") {
            auto port = parseNumber(value, 1, 65535);
            ok = port.has_value();
            s.port = port.value_or(s.port);
        } else if (key == "hosts") {
            // A bad name is reported; the good ones around it are kept.
            s.hosts.clear();
            std::string_view rest = value;
            while (!rest.empty()) {
                const std::size_t comma = rest.find(',');
                std::string_view name = rest.substr(0, comma);
                rest =
                    comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
                while (!name.empty() && name.front() == ' ') {
                    name.remove_prefix(1);
                }
                while (!name.empty() && name.back() == ' ') {
                    name.remove_suffix(1);
                }
                if (name.empty()) {
                    continue;
                }
                if (validHostName(name)) {
                    s.hosts.emplace_back(name);
                } else {
                    ok = false;
                }
            }
        } else if (key == "address") {
            // Checked as --serve's is, with a port to complete it.
            auto parsed = parseServeAddress(std::string(value) + ":1");
            ok = parsed.has_value();
            s.address = ok ? parsed->address : s.address;
        }
        if (!ok) {
            out.problems.push_back(iniValueProblem(kLiveSettingsFileName, line, language));
        }
    });
    return out;
}

std::string encodeLiveSettings(const LiveSettings& settings) {
    std::ostringstream out;
    out << "[live]\nenabled=" << (settings.enabled ? 1 : 0) << "\nport=" << settings.port
        << "\naddress=" << settings.address << "\nhosts=";
    for (std::size_t i = 0; i < settings.hosts.size(); ++i) {
        out << (i > 0 ? "," : "") << settings.hosts[i];
    }
    out << "\n";
    return out.str();
}

std::expected<DecodedLiveSettings, std::string> loadLiveSettings(const fs::path& dataDir,
                                                                 int language) {
    auto text = readOptionalFile(dataDir / kLiveSettingsFileName);
    if (!text) {
        return std::unexpected(text.error());
    }
    return decodeLiveSettings(*text, language);
}

IoResult saveLiveSettings(const fs::path& dataDir, const LiveSettings& settings) {
    return writeFileAtomic(dataDir / kLiveSettingsFileName, encodeLiveSettings(settings));
}

} // namespace cronovolta::live
