// The archive and export commands.
#include "cli_commands.h"

#include "output/archive.h"
#include "output/result_tables.h"
#include "output/text_export.h"
#include "results/results_source.h"
#include "storage/config_prg.h"
#include "storage/event_files.h"

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
    auto prg = loadConfigPrg(dataDir / "ZENTOR.CFG");
    return prg ? prg->language : defaultConfigPrg().language;
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

} // namespace

int cmdArchive(const Invocation& inv) {
    if (inv.args.size() != 2 || !parsePositive(inv.args[0])) {
        return usage(inv, "archive EVENT FILE");
    }
    auto event = openEvent(inv, inv.args[0]);
    if (!event) {
        return fail(inv, event.error());
    }
    if (auto done =
            ArxivarProva(event->eventDir, platform::pathFromUtf8(inv.args[1]), event->language);
        !done) {
        return fail(inv, done.error().message);
    }
    return kOk;
}

int cmdUnarchive(const Invocation& inv) {
    if (inv.args.size() != 1) {
        return usage(inv, "unarchive FILE");
    }
    auto done = DesarxivarProva(platform::pathFromUtf8(inv.args[0]), inv.dataDir,
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
    const bool separate = a.size() == 3 && a[2] == "--separate-grids";
    if ((a.size() != 2 && !separate) || !parsePositive(a[0])) {
        return usage(inv, "export EVENT FILE [--separate-grids]");
    }
    auto event = openEvent(inv, a[0]);
    if (!event) {
        return fail(inv, event.error());
    }
    std::vector<std::string> problems;
    auto written = ExportarProva(*event, a[1], separate, problems);
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
