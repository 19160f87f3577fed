#include "storage/ini_text.h"

namespace cronovolta {

std::string_view iniTrimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

void forEachIniValue(std::string_view text,
                     const std::function<void(std::string_view, std::string_view, int)>& visit) {
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        const std::string_view line = iniTrimmed(text.substr(0, newline));
        text = newline == std::string_view::npos ? std::string_view() : text.substr(newline + 1);
        ++lineNumber;
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '[' || line.front() == ';' ||
            equals == std::string_view::npos) {
            continue;
        }
        visit(iniTrimmed(line.substr(0, equals)), iniTrimmed(line.substr(equals + 1)), lineNumber);
    }
}

std::string iniValueProblem(std::string_view fileName, int line, int language) {
    return (language == 1 ? "Valor no válido en " : "Valor no vàlid a ") + std::string(fileName) +
           (language == 1 ? ", línea " : ", línia ") + std::to_string(line);
}

} // namespace cronovolta
