#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace cronovolta {

// The "key=value" lines of a small settings file of our own, with the blanks around key and
// value trimmed and the line number from 1; empty lines, "[section]" and ";" comments are
// skipped, and so is a line without "=".
void forEachIniValue(
    std::string_view text,
    const std::function<void(std::string_view key, std::string_view value, int line)>& visit);

// The text without the blanks, tabs and carriage return around it.
std::string_view iniTrimmed(std::string_view text);

// "Valor no vàlid a FILE, línia N" in the language (0 Catalan, 1 Castilian).
std::string iniValueProblem(std::string_view fileName, int line, int language);

} // namespace cronovolta
