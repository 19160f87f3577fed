// cronovolta-cli: the command-line companion. Works on a data folder without windows.
#include "cli_commands.h"

#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/platform.h"
#include "storage/startup.h"
#include "storage/user_folders.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iostream>
#include <string_view>

namespace cronovolta::cli {
namespace {

struct Command {
    std::string_view name;
    int (*run)(const Invocation&);
    std::string_view synopsis;
    std::string_view help;
};

constexpr Command kCommands[] = {
    {"events", cmdEvents, "events", "list the events of the data folder"},
    {"event", cmdEvent, "event create|modify|delete", "create, rename or delete an event"},
    {"series", cmdSeries, "series add|delete", "add or delete a series of an event"},
    {"track", cmdTrack, "track show|set", "show or change the track configuration"},
    {"settings", cmdSettings, "settings show|set", "show or change the program settings"},
    {"simulate", cmdSimulate, "simulate --model NAME ...",
     "play a lap counter, or write a capture"},
    {"replay", cmdReplay, "replay EVENT TYPE SERIES CAPTURE [--recover|--discard]",
     "run heats from a byte capture"},
    {"announce", cmdAnnounce, "announce EVENT TYPE SERIES CAPTURE [--wav FILE]",
     "the spoken announcements of a capture's heats"},
    {"entrants", cmdEntrants, "entrants show|set EVENT", "the entrants of an event"},
    {"participants", cmdParticipants, "participants show|set ...", "the participants of a series"},
    {"classify", cmdClassify, "classify EVENT TYPE SERIES|all", "the classification"},
    {"serve", cmdServe, "serve [--port P] [--address A] [--event N] [--type T] [--series S|all]",
     "the live-results page and its JSON over the data folder"},
    {"archive", cmdArchive, "archive EVENT FILE [--force]", "pack an event into a .prb file"},
    {"unarchive", cmdUnarchive, "unarchive FILE", "rebuild a .prb file as a new event"},
    {"export", cmdExport, "export EVENT FILE [OPTION...]",
     "the results as a text file; --separate-grids, --force"},
    {"result-tables", cmdResultTables, "result-tables EVENT",
     "ENTRENAMENTS.TXT and the race tables"},
    {"correct", cmdCorrect, "correct EVENT TYPE SERIES HEAT ...", "correct laps and fastest laps"},
    {"comes", cmdLapFractions, "comes EVENT CRS SERIES HEAT ...", "enter the comes of a race heat"},
    {"penalty", cmdPenalty, "penalty show|set EVENT SERIES ...", "the penalties of a race series"},
    {"laps", cmdLaps, "laps EVENT TYPE SERIES HEAT|--dump", "list the laps of a heat"},
    {"print", cmdPrint, "print REPORT EVENT TYPE SERIES", "a printed report as a PDF file"},
};

void printUsage(std::ostream& os) {
    os << "usage: cronovolta-cli [--data DIR] COMMAND [ARGS...]\n"
          "       cronovolta-cli --version\n\n"
          "Without --data the data folder is the program's folder, or ~/Cronovolta when the\n"
          "program's folder cannot hold data.\n\ncommands:\n";
    for (const auto& c : kCommands) {
        std::string synopsis(c.synopsis);
        synopsis.resize(std::max<std::size_t>(synopsis.size() + 2, 34), ' ');
        os << "  " << synopsis << c.help << "\n";
    }
}

} // namespace

int fail(const Invocation& inv, const std::string& message) {
    inv.err << "cronovolta-cli: " << message << "\n";
    return kFailed;
}

int usage(const Invocation& inv, const std::string& synopsis) {
    inv.err << "usage: cronovolta-cli [--data DIR] " << synopsis << "\n";
    return kUsage;
}

std::optional<long> parseInteger(const std::string& text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size()) {
        return std::nullopt;
    }
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') {
            return std::nullopt;
        }
    }
    return std::stol(text);
}

std::optional<int> parsePositive(const std::string& word) {
    auto n = parseInteger(word);
    if (!n || *n < 1 || *n > 32767) {
        return std::nullopt;
    }
    return static_cast<int>(*n);
}

std::optional<ProgrammeType> parseProgramType(const std::string& word, ProgrammeType lowest) {
    std::string upper;
    for (char c : word) {
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    for (ProgrammeType t : kProgrammeTypes) {
        if (t >= lowest &&
            (upper == std::to_string(index(t)) || (!upper.empty() && upper == seriesPrefix(t)))) {
            return t;
        }
    }
    return std::nullopt;
}

std::optional<std::pair<std::string, std::string>> splitKeyValue(const std::string& word) {
    auto eq = word.find('=');
    if (eq == std::string::npos || eq == 0) {
        return std::nullopt;
    }
    return std::make_pair(word.substr(0, eq), word.substr(eq + 1));
}

} // namespace cronovolta::cli

int main(int argc, char** argv) {
    using namespace cronovolta::cli;
    cronovolta::platform::useBinaryStandardStreams();
    std::vector<std::string> words = cronovolta::platform::commandLineArguments(argc, argv);
    std::filesystem::path data;
    std::size_t i = 0;
    while (i < words.size() && words[i].starts_with("--")) {
        if (words[i] == "--data" && i + 1 < words.size()) {
            data = cronovolta::platform::pathFromUtf8(words[i + 1]);
            i += 2;
        } else if (words[i] == "--version") {
            std::cout << "cronovolta-cli " CRONOVOLTA_VERSION "\n";
            return kOk;
        } else if (words[i] == "--help") {
            printUsage(std::cout);
            return kOk;
        } else {
            printUsage(std::cerr);
            return kUsage;
        }
    }
    if (i >= words.size()) {
        printUsage(std::cerr);
        return kUsage;
    }
    if (data.empty()) {
        // Unlike a folder named by --data, the user's own folder is made on first use.
        auto folder = cronovolta::prepareDataFolder(cronovolta::defaultDataFolder(
            cronovolta::platform::programFolder(), cronovolta::platform::homeFolder()));
        if (!folder) {
            std::cerr << "cronovolta-cli: " << folder.error() << "\n";
            return kFailed;
        }
        data = *folder;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(data, ec)) {
        std::cerr << "cronovolta-cli: the data folder " << data.string() << " does not exist\n";
        return kFailed;
    }
    if (auto left = cronovolta::EventManager(data).finishInterruptedDeletion()) {
        std::cerr << "cronovolta-cli: warning: " << cronovolta::describeInterruptedDeletion(*left)
                  << "\n";
    }
    for (const auto& c : kCommands) {
        if (c.name == words[i]) {
            Invocation inv{data,
                           {words.begin() + static_cast<long>(i) + 1, words.end()},
                           std::cout,
                           std::cerr};
            return c.run(inv);
        }
    }
    printUsage(std::cerr);
    return kUsage;
}
