#pragma once

// Runs the built cronovolta-cli for the end-to-end tests (every test program is given its
// path as CRONOVOLTA_CLI).

#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace cronovolta::test {

struct CliRun {
    int status = -1; // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// `cronovolta-cli --data DATA ARGS...`; its output goes through files in `scratch`.
inline CliRun runCli(const std::filesystem::path& data, const std::vector<std::string>& args,
                     const std::filesystem::path& scratch) {
    std::string command = shellQuoted(CRONOVOLTA_CLI) + " --data " + shellQuoted(data.string());
    for (const auto& arg : args) {
        command += " " + shellQuoted(arg);
    }
    const auto out = scratch / "cli.out";
    const auto err = scratch / "cli.err";
    command += " >" + shellQuoted(out.string()) + " 2>" + shellQuoted(err.string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readBytes(out), readBytes(err)};
}

} // namespace cronovolta::test
