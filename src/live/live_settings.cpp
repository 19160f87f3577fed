#include "live/live_settings.h"

#include "live/live_requests.h"

#include <sstream>

namespace cronovolta::live {
namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

std::string problemText(int language, int line) {
    return (language == 1 ? "Valor no válido en " : "Valor no vàlid a ") +
           std::string(kLiveSettingsFileName) + (language == 1 ? ", línea " : ", línia ") +
           std::to_string(line);
}

} // namespace

DecodedLiveSettings decodeLiveSettings(std::string_view text, int language) {
    DecodedLiveSettings out;
    LiveSettings& s = out.settings;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++lineNumber;
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '[' || line.front() == ';' ||
            equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, equals));
        const std::string_view value = trimmed(line.substr(equals + 1));
        bool ok = true;
        if (key == "enabled") {
            ok = value == "0" || value == "1";
            s.enabled = ok ? value == "1" : s.enabled;
        } else if (key == "port") {
            auto parsed = parseServeAddress(value);
            ok = parsed && value.find(':') == std::string_view::npos;
            s.port = ok ? parsed->port : s.port;
        } else if (key == "address") {
            // Checked the same way as --serve's, with a port to complete it.
            auto parsed = parseServeAddress(std::string(value) + ":1");
            ok = !value.empty() && parsed.has_value();
            s.address = ok ? parsed->address : s.address;
        }
        if (!ok) {
            out.problems.push_back(problemText(language, lineNumber));
        }
    }
    return out;
}

std::string encodeLiveSettings(const LiveSettings& settings) {
    std::ostringstream out;
    out << "[live]\nenabled=" << (settings.enabled ? 1 : 0) << "\nport=" << settings.port
        << "\naddress=" << settings.address << "\n";
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
