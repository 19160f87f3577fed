// The entrant, participant and classification commands.
#include "cli_results.h"
#include "cli_commands.h"

#include "results/auto_entries.h"
#include "results/entrants_files.h"
#include "results/results_source.h"
#include "results/results_texts.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/lap_record.h"
#include "storage/text_encoding.h"
#include "storage/track_config.h"
#include "texts/grid_layout.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <memory>

namespace cronovolta::cli {
namespace {

constexpr const char* kEntrantsUsage = "entrants show EVENT | entrants set EVENT [NAME...]";
constexpr const char* kParticipantsUsage =
    "participants show EVENT TYPE SERIES | participants set EVENT TYPE SERIES [NAME...] | "
    "participants show|set --general [NAME...]  (TYPE: 1..4 or LLR, OFC, SPP, CRS)";
constexpr const char* kClassifyUsage =
    "classify EVENT TYPE SERIES|all [--criterion 1-4] [--participant [S:]N] [--name NAME] "
    "[--lane L|all] [--pass P|all] [--heat H|all]  (TYPE: 2..4 or OFC, SPP, CRS)";

void warn(const Invocation& inv, const std::vector<std::string>& notes) {
    for (const auto& n : notes) {
        inv.err << "cronovolta-cli: warning: " << n << "\n";
    }
}

TrackConfig dataFolderTrack(const fs::path& dataDir) {
    auto track = loadTrackConfig(dataDir / kTrackFileName);
    return track ? *track : defaultTrackConfig();
}

// The screen's context for an event's list (programme 0) or one of its series.
std::expected<EntrantsContext, std::string>
eventContext(const Invocation& inv, int event, ProgrammeType programmeType, int seriesNumber) {
    auto files = openEventFiles(inv.dataDir, event);
    if (!files) {
        return std::unexpected(files.error());
    }
    warn(inv, files->problems);
    if (programmeType != ProgrammeType::Practice &&
        (seriesNumber < 1 ||
         seriesNumber > files->seriesCounts[static_cast<std::size_t>(index(programmeType))])) {
        return std::unexpected("event " + std::to_string(event) + " has no series " +
                               std::to_string(seriesNumber) + " of type " +
                               std::string(seriesPrefix(programmeType)));
    }
    EntrantsContext ctx;
    ctx.dataDir = inv.dataDir;
    ctx.eventDir = files->eventDir;
    ctx.eventName = files->eventName;
    ctx.programmeType = programmeType;
    ctx.seriesNumber = seriesNumber;
    ctx.track = files->track;
    ctx.language = files->language;
    return ctx;
}

int showList(const Invocation& inv, const EntrantsContext& ctx) {
    auto opened = openEntrants(ctx);
    if (!opened) {
        return fail(inv, opened.error());
    }
    warn(inv, opened->notes);
    const EntrantsModel& m = opened->model;
    for (int i = 1; i <= m.storedCount(); ++i) {
        inv.out << i << '\t' << escapeControls(m.names()[static_cast<std::size_t>(i - 1)]);
        if (m.showsStartLanes()) {
            inv.out << '\t' << m.startLaneText(i);
        }
        inv.out << '\n';
    }
    return kOk;
}

// The screen's rules: the count typed first (limits), then the names in the rows.
int setList(const Invocation& inv, const EntrantsContext& ctx,
            const std::vector<std::string>& names) {
    auto opened = openEntrants(ctx);
    if (!opened) {
        return fail(inv, opened.error());
    }
    warn(inv, opened->notes);
    EntrantsModel& m = opened->model;
    const int wanted = static_cast<int>(names.size());
    if (wanted > 99) {
        return fail(inv, "a list holds at most 99 names");
    }
    for (const auto& name : names) {
        // A tab or line break would split the lines and columns of every listing.
        if (std::any_of(name.begin(), name.end(),
                        [](unsigned char c) { return c < 0x20 || c == 0x7f; })) {
            return fail(inv, "a name cannot hold tabs, line breaks or other control characters");
        }
    }
    if (!m.countEnabled() && wanted != m.storedCount()) {
        return fail(inv, "heats have been run: this list keeps its " +
                             std::to_string(m.storedCount()) + " participants");
    }
    const int count = m.applyCount(std::to_string(wanted));
    if (count > wanted && wanted > 0) {
        warn(inv, {"the list needs at least " + std::to_string(count) +
                   " rows; the rows after the names are left empty"});
    }
    for (int i = 0; i < count; ++i) {
        m.setName(i + 1, i < wanted ? names[static_cast<std::size_t>(i)] : std::string());
    }
    auto saved = saveEntrants(m);
    if (!saved) {
        return fail(inv, saved.error());
    }
    warn(inv, saved->notes);
    return kOk;
}

struct ClassifyOptions {
    std::optional<int> criterion;
    std::optional<std::pair<int, int>> participant; // series (0: the chosen one), number
    std::optional<std::string> name;
    std::optional<std::string> lane;
    std::optional<std::string> pass;
    std::optional<std::string> heat;
};

std::optional<ClassifyOptions> parseClassifyOptions(const std::vector<std::string>& a) {
    ClassifyOptions o;
    for (std::size_t i = 3; i < a.size(); i += 2) {
        if (i + 1 >= a.size()) {
            return std::nullopt;
        }
        const std::string& v = a[i + 1];
        if (a[i] == "--criterion") {
            auto c = parsePositive(v);
            if (!c || *c > 4) {
                return std::nullopt;
            }
            o.criterion = *c;
        } else if (a[i] == "--participant") {
            auto colon = v.find(':');
            auto s = colon == std::string::npos ? std::optional<int>(0)
                                                : parsePositive(v.substr(0, colon));
            auto n = parsePositive(colon == std::string::npos ? v : v.substr(colon + 1));
            if (!s || !n) {
                return std::nullopt;
            }
            o.participant = std::make_pair(*s, *n);
        } else if (a[i] == "--name") {
            o.name = v;
        } else if (a[i] == "--lane") {
            o.lane = v;
        } else if (a[i] == "--pass") {
            o.pass = v;
        } else if (a[i] == "--heat") {
            o.heat = v;
        } else {
            return std::nullopt;
        }
    }
    return o;
}

// The entry of a filter showing `value` ("all" is the first entry); nullopt when no row
// has that value.
std::optional<int> entryIndex(const std::vector<std::string>& entries, const std::string& value) {
    if (value == "all") {
        return 0;
    }
    auto n = parseInteger(value);
    for (std::size_t i = 1; n && i < entries.size(); ++i) {
        if (parseInteger(entries[i]) == n) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

// Applies the options as the user would pick them; false when one picks nothing.
bool applyFilters(ResultsBrowser& b, const ClassifyOptions& o, int chosenSeriesNumber) {
    using F = ResultsBrowser::Filter;
    if (o.participant || o.name) {
        std::optional<int> index;
        for (std::size_t i = 1; i < b.seriesOfEntries().size(); ++i) {
            bool match =
                o.name ? sameParticipantName(b.entries(F::kParticipant)[i], *o.name)
                       : b.numberOfEntries()[i] == o.participant->second &&
                             b.seriesOfEntries()[i] == (o.participant->first != 0
                                                            ? o.participant->first
                                                            : std::max(chosenSeriesNumber, 1));
            if (match) {
                index = static_cast<int>(i);
                break;
            }
        }
        if (!index) {
            return false;
        }
        b.selectParticipant(*index, o.name.has_value());
    }
    const std::pair<const std::optional<std::string>*, F> filters[] = {
        {&o.lane, F::kLane}, {&o.pass, F::kPass}, {&o.heat, F::kHeat}};
    for (const auto& [value, filter] : filters) {
        if (!*value) {
            continue;
        }
        auto index = entryIndex(b.entries(filter), **value);
        if (!index) {
            return false;
        }
        const bool shift = o.name.has_value();
        if (filter == F::kLane) {
            b.selectLane(*index, shift);
        } else if (filter == F::kPass) {
            b.selectPass(*index, shift);
        } else {
            // A heat asked for by number is that heat; without the option every
            // participant's latest heat shows.
            b.selectExactHeat(*index, shift);
        }
    }
    if (o.criterion) {
        b.selectCriterion(*o.criterion, o.name.has_value());
    }
    return true;
}

} // namespace

int cmdEntrants(const Invocation& inv) {
    const auto& a = inv.args;
    if (a.size() < 2 || (a[0] != "show" && a[0] != "set") || (a[0] == "show" && a.size() != 2)) {
        return usage(inv, kEntrantsUsage);
    }
    auto event = parsePositive(a[1]);
    if (!event) {
        return usage(inv, kEntrantsUsage);
    }
    auto ctx = eventContext(inv, *event, ProgrammeType::Practice, 1);
    if (!ctx) {
        return fail(inv, ctx.error());
    }
    if (a[0] == "show") {
        return showList(inv, *ctx);
    }
    return setList(inv, *ctx, {a.begin() + 2, a.end()});
}

int cmdParticipants(const Invocation& inv) {
    const auto& a = inv.args;
    if (a.size() < 2 || (a[0] != "show" && a[0] != "set")) {
        return usage(inv, kParticipantsUsage);
    }
    const bool show = a[0] == "show";
    if (a[1] == "--general") {
        if (show && a.size() != 2) {
            return usage(inv, kParticipantsUsage);
        }
        EntrantsContext ctx;
        ctx.dataDir = inv.dataDir;
        ctx.track = dataFolderTrack(inv.dataDir);
        return show ? showList(inv, ctx) : setList(inv, ctx, {a.begin() + 2, a.end()});
    }
    if (a.size() < 4 || (show && a.size() != 4)) {
        return usage(inv, kParticipantsUsage);
    }
    auto event = parsePositive(a[1]);
    auto type = parseProgramType(a[2], ProgrammeType::FreePractice);
    auto seriesNumber = parsePositive(a[3]);
    if (!event || !type || !seriesNumber) {
        return usage(inv, kParticipantsUsage);
    }
    auto ctx = eventContext(inv, *event, *type, *seriesNumber);
    if (!ctx) {
        return fail(inv, ctx.error());
    }
    return show ? showList(inv, *ctx) : setList(inv, *ctx, {a.begin() + 4, a.end()});
}

std::expected<BrowsedResults, int> browseResults(const Invocation& inv,
                                                 const std::vector<std::string>& a,
                                                 const std::string& synopsis) {
    if (a.size() < 3) {
        return std::unexpected(usage(inv, synopsis));
    }
    auto event = parsePositive(a[0]);
    auto type = parseProgramType(a[1], ProgrammeType::OfficialPractice);
    auto seriesNumber = a[2] == "all" ? std::optional<int>(0) : parsePositive(a[2]);
    auto options = parseClassifyOptions(a);
    if (!event || !type || !seriesNumber || !options) {
        return std::unexpected(usage(inv, synopsis));
    }
    auto files = openEventFiles(inv.dataDir, *event);
    if (!files) {
        return std::unexpected(fail(inv, files.error()));
    }
    warn(inv, files->problems);
    const int count = files->seriesCounts[static_cast<std::size_t>(index(*type))];
    if (*seriesNumber > count || count == 0) {
        return std::unexpected(
            fail(inv, "event " + std::to_string(*event) + " has no series " +
                          (*seriesNumber == 0 ? std::string("of type ")
                                              : std::to_string(*seriesNumber) + " of type ") +
                          std::string(seriesPrefix(*type))));
    }
    auto problems = std::make_shared<std::vector<std::string>>();
    ResultsBrowser browser =
        makeResultsBrowser(*files, *type, std::max(*seriesNumber, 1), problems);
    browser.open();
    if (*seriesNumber != 0) {
        problems->clear();
        browser.selectSeries(*seriesNumber);
    }
    warn(inv, describeProblems(browser, *problems, -1));
    const bool anyRow = applyFilters(browser, *options, *seriesNumber);
    return BrowsedResults{std::move(*files), std::move(browser), anyRow};
}

int cmdClassify(const Invocation& inv) {
    auto browsed = browseResults(inv, inv.args, kClassifyUsage);
    if (!browsed) {
        return browsed.error();
    }
    const auto columns = parseGridLayout(resultsTexts(browsed->event.language).listLayout);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        inv.out << (c ? "\t" : "") << columns[c].title;
    }
    inv.out << '\n';
    if (!browsed->anyRow) {
        return kOk; // a filter value that no row has: nothing to list
    }
    for (int i : browsed->browser.visibleRows()) {
        const auto& cells = browsed->browser.list().rows()[static_cast<std::size_t>(i)].cells;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            // The grid's stand-in for "no time" would read as a real lap in a script.
            inv.out << (c ? "\t" : "")
                    << (cells[c] == kNoLapTimeText ? "" : escapeControls(cells[c]));
        }
        inv.out << '\n';
    }
    return kOk;
}

std::optional<int> addRaceSeriesByProgression(const Invocation& inv, int event) {
    EventManager manager(inv.dataDir);
    auto placed =
        placeAutomaticEntries(inv.dataDir, event, [&]() -> std::expected<int, std::string> {
            auto added = manager.addSeries(event, ProgrammeType::Race);
            if (!added) {
                return std::unexpected(added.error().message);
            }
            return *added;
        });
    if (!placed) {
        return fail(inv, placed.error());
    }
    warn(inv, placed->notes);
    if (placed->stage == kNoProgression) {
        return std::nullopt;
    }
    for (const auto& series : placed->created) {
        inv.out << series.seriesNumber;
        for (const auto& name : series.names) {
            inv.out << '\t' << escapeControls(name);
        }
        inv.out << '\n';
    }
    return kOk;
}

} // namespace cronovolta::cli
