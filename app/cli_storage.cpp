// The event and series commands: the event manager's operations on a data folder.
#include "cli_commands.h"

#include "storage/event_manager.h"
#include "storage/platform.h"
#include "storage/text_encoding.h"

#include <ctime>
#include <iostream>

namespace cronovolta::cli {
namespace {

std::string today() {
    const std::tm local = platform::localTime(std::time(nullptr));
    char text[16];
    std::strftime(text, sizeof text, "%d-%m-%Y", &local);
    return text;
}

int reportWarning(const Invocation& inv, const std::string& warning) {
    if (!warning.empty()) {
        inv.err << "cronovolta-cli: warning: " << warning << "\n";
    }
    return kOk;
}

constexpr const char* kEventUsage =
    "event create NAME [DATE] | event modify N NAME DATE | event delete N";
constexpr const char* kSeriesUsage = "series add EVENT TYPE | series delete EVENT TYPE N  "
                                     "(TYPE: 1..4 or LLR, OFC, SPP, CRS)";

} // namespace

int cmdEvents(const Invocation& inv) {
    if (!inv.args.empty()) {
        return usage(inv, "events");
    }
    auto catalog = loadCatalog(inv.dataDir);
    if (!catalog) {
        return fail(inv, catalog.error());
    }
    if (catalog->repaired) {
        reportWarning(inv, "the catalogue PROVES.LLS did not match the event folders and has "
                           "been rebuilt from them");
    }
    for (const auto& problem : catalog->problems) {
        reportWarning(inv, problem);
    }
    int number = 0;
    for (const auto& entry : catalog->entries) {
        inv.out << ++number << '\t' << escapeControls(entry.name) << '\t'
                << escapeControls(entry.date) << '\n';
    }
    return kOk;
}

int cmdEvent(const Invocation& inv) {
    const auto& a = inv.args;
    EventManager manager(inv.dataDir);
    if (a.size() >= 2 && a.size() <= 3 && a[0] == "create") {
        auto created = manager.createEvent(a[1], a.size() == 3 ? a[2] : today());
        if (!created && created.error().kind == EventError::NoTrack) {
            return fail(inv, created.error().message + " (create it with 'track set')");
        }
        if (!created) {
            return fail(inv, created.error().message);
        }
        inv.out << *created << '\n';
        return kOk;
    }
    if (a.size() == 4 && a[0] == "modify") {
        auto event = parsePositive(a[1]);
        if (!event) {
            return usage(inv, kEventUsage);
        }
        auto modified = manager.modifyEvent(*event, a[2], a[3]);
        return modified ? kOk : fail(inv, modified.error().message);
    }
    if (a.size() == 2 && a[0] == "delete") {
        auto event = parsePositive(a[1]);
        if (!event) {
            return usage(inv, kEventUsage);
        }
        auto deleted = manager.deleteEvent(*event);
        return deleted ? reportWarning(inv, *deleted) : fail(inv, deleted.error().message);
    }
    return usage(inv, kEventUsage);
}

int cmdSeries(const Invocation& inv) {
    const auto& a = inv.args;
    bool add = a.size() == 3 && a[0] == "add";
    bool remove = a.size() == 4 && a[0] == "delete";
    if (!add && !remove) {
        return usage(inv, kSeriesUsage);
    }
    auto event = parsePositive(a[1]);
    auto type = parseProgramType(a[2], ProgrammeType::FreePractice);
    auto seriesNumber = remove ? parsePositive(a[3]) : std::optional<int>(1);
    if (!event || !type || !seriesNumber) {
        return usage(inv, kSeriesUsage);
    }
    EventManager manager(inv.dataDir);
    if (add) {
        if (*type == ProgrammeType::Race) {
            if (auto placed = addRaceSeriesByProgression(inv, *event)) {
                return *placed;
            }
        }
        auto added = manager.addSeries(*event, *type);
        if (!added) {
            return fail(inv, added.error().message);
        }
        inv.out << *added << '\n';
        return kOk;
    }
    auto deleted = manager.deleteSeries(*event, *type, *seriesNumber);
    return deleted ? reportWarning(inv, *deleted) : fail(inv, deleted.error().message);
}

} // namespace cronovolta::cli
