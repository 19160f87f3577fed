// The archive and export commands.
#include "cli_commands.h"

#include "output/archive.h"
#include "output/result_tables.h"
#include "output/text_export.h"
#include "results/results_source.h"
#include "storage/event_files.h"
#include "storage/platform.h"
#include "storage/program_settings.h"
#include "texts/language_tables.h"

#include <algorithm>
#include <iostream>

namespace cronovolta::cli {
namespace {

void warn(const Invocation& inv, const std::vector<std::string>& notes) {
    for (const auto& n : notes) {
        inv.err << "cronovolta-cli: warning: " << n << "\n";
    }
}

// The language of the program settings: refusals read as the screen shows them.
int settingsLanguage(const fs::path& dataDir) {
    auto programConfig = loadProgramSettings(dataDir / "ZENTOR.CFG");
    return programConfig ? programConfig->language : defaultProgramSettings().language;
}

std::expected<EventFiles, std::string> openEvent(const Invocation& inv, const std::string& word) {
    auto event = parsePositive(word);
    if (!event) {
        return std::unexpected("not an event number: " + word);
    }
    auto files = openEventFiles(inv.dataDir, *event);
    if (files) {
        warn(inv, files->problems);
    }
    return files;
}

// EVENT FILE, then options each given at most once; nullopt for anything else.
std::optional<std::vector<std::string>> optionsAfterFile(const std::vector<std::string>& a,
                                                         const std::vector<std::string>& known) {
    if (a.size() < 2 || !parsePositive(a[0])) {
        return std::nullopt;
    }
    std::vector<std::string> given(a.begin() + 2, a.end());
    for (std::size_t i = 0; i < given.size(); ++i) {
        if (std::ranges::find(known, given[i]) == known.end() ||
            std::ranges::find(given.begin(), given.begin() + static_cast<long>(i), given[i]) !=
                given.begin() + static_cast<long>(i)) {
            return std::nullopt;
        }
    }
    return given;
}

bool has(const std::vector<std::string>& options, const std::string& option) {
    return std::ranges::find(options, option) != options.end();
}

// The file screen's rule: a name that does not end in the extension gets it.
// A folder keeps its name, to be refused as one.
fs::path withExtension(const std::string& name, std::string_view extension) {
    const fs::path given = platform::pathFromUtf8(name);
    std::error_code ec;
    if (name.ends_with(extension) || fs::is_directory(given, ec) || !given.has_filename()) {
        return given;
    }
    return platform::pathFromUtf8(name + std::string(extension));
}

// As the file screen asks before it overwrites, the command line wants --force.
std::optional<std::string> overwriteRefusal(const fs::path& target, bool force, int language) {
    std::error_code ec;
    const auto status = fs::symlink_status(target, ec);
    if (!fs::exists(status)) {
        return std::nullopt;
    }
    if (fs::is_directory(status)) {
        return target.string() + " is a folder";
    }
    if (force) {
        return std::nullopt;
    }
    return std::string(messageText(msgkey::kFileExists, language)) + ": " + target.string() +
           " (--force " + (language == kLanguageCastilian ? "lo sobreescribe" : "el sobreescriu") +
           ")";
}

} // namespace

int cmdArchive(const Invocation& inv) {
    auto options = optionsAfterFile(inv.args, {"--force"});
    if (!options) {
        return usage(inv, "archive EVENT FILE [--force]");
    }
    auto event = openEvent(inv, inv.args[0]);
    if (!event) {
        return fail(inv, event.error());
    }
    const fs::path target = withExtension(inv.args[1], ".prb");
    if (auto refused = overwriteRefusal(target, has(*options, "--force"), event->language)) {
        return fail(inv, *refused);
    }
    if (auto done = archiveEvent(event->eventDir, target, event->language); !done) {
        return fail(inv, done.error().message);
    }
    return kOk;
}

int cmdUnarchive(const Invocation& inv) {
    if (inv.args.size() != 1) {
        return usage(inv, "unarchive FILE");
    }
    auto done = unarchiveEvent(platform::pathFromUtf8(inv.args[0]), inv.dataDir,
                               settingsLanguage(inv.dataDir));
    if (!done) {
        return fail(inv, done.error().message);
    }
    if (auto rebuilt = rebuildCatalog(inv.dataDir); !rebuilt) {
        warn(inv, {rebuilt.error()});
    }
    inv.out << done->event << '\t' << done->name << '\n';
    return kOk;
}

int cmdExport(const Invocation& inv) {
    const auto& a = inv.args;
    auto options = optionsAfterFile(a, {"--separate-grids", "--force"});
    if (!options) {
        return usage(inv, "export EVENT FILE [--separate-grids] [--force]");
    }
    auto event = openEvent(inv, a[0]);
    if (!event) {
        return fail(inv, event.error());
    }
    const fs::path target = withExtension(a[1], ".txt");
    if (auto refused = overwriteRefusal(target, has(*options, "--force"), event->language)) {
        return fail(inv, *refused);
    }
    std::vector<std::string> problems;
    auto written = exportEvent(*event, target, has(*options, "--separate-grids"), problems);
    warn(inv, problems);
    if (!written) {
        return fail(inv, written.error());
    }
    return kOk;
}

int cmdResultTables(const Invocation& inv) {
    if (inv.args.size() != 1 || !parsePositive(inv.args[0])) {
        return usage(inv, "result-tables EVENT");
    }
    auto event = openEvent(inv, inv.args[0]);
    if (!event) {
        return fail(inv, event.error());
    }
    std::vector<std::string> problems;
    auto written = writeResultTables(*event, problems);
    warn(inv, problems);
    if (!written) {
        return fail(inv, written.error());
    }
    if (written->empty()) {
        return fail(inv, "the event has no official practice and no race with a "
                         "lane-distribution table");
    }
    for (const fs::path& p : *written) {
        inv.out << p.string() << '\n';
    }
    return kOk;
}

} // namespace cronovolta::cli
