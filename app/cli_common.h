#pragma once

#include "storage/event_files.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta::cli {

// Exit statuses of every command.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

struct Invocation {
    std::filesystem::path dataDir; // always set: --data DIR or the program's folder
    std::vector<std::string> args; // the words after the command name
    std::ostream& out;
    std::ostream& err;
};

// Prints "cronovolta-cli: MESSAGE" on standard error and returns kFailed.
int fail(const Invocation& inv, const std::string& message);
// Prints the usage line of a command on standard error and returns kUsage.
int usage(const Invocation& inv, const std::string& synopsis);

// Whole decimal number with nothing else around it.
std::optional<long> parseInteger(const std::string& text);
// A whole number 1..32767 (events, series, participants).
std::optional<int> parsePositive(const std::string& word);
// A programme type from `lowest` to 4, given by its number or its series prefix (LLR, OFC,
// SPP, CRS) in any case.
std::optional<ProgrammeType> parseProgramType(const std::string& word, ProgrammeType lowest);
// "KEY=VALUE" split at the first "="; nullopt without one.
std::optional<std::pair<std::string, std::string>> splitKeyValue(const std::string& word);

} // namespace cronovolta::cli
