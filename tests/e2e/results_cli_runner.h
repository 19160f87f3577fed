#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "support/temp_dir.h"

namespace cronovolta::test {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellWord(const std::string& word) {
    std::string q = "'";
    for (char c : word) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

inline std::vector<std::string> splitCells(const std::string& line) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (auto tab = line.find('\t'); tab != std::string::npos; tab = line.find('\t', start)) {
        out.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
    out.push_back(line.substr(start));
    return out;
}

// Runs the built cronovolta-cli on a data folder; its output goes through files in
// `scratch`.
inline CliRun runCli(const std::filesystem::path& data, const std::filesystem::path& scratch,
                     const std::vector<std::string>& args) {
    std::string command = shellWord(CRONOVOLTA_CLI) + " --data " + shellWord(data);
    for (const auto& a : args) {
        command += " " + shellWord(a);
    }
    const auto out = scratch / "out";
    const auto err = scratch / "err";
    command += " >" + shellWord(out) + " 2>" + shellWord(err);
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(out), readBytes(err)};
}

} // namespace cronovolta::test
