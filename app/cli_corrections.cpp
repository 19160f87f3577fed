// The correction, comes, penalty and lap listing commands: each saves as its screen does.
#include "cli_commands.h"

#include "corrections/correction_model.h"
#include "corrections/field_limits.h"
#include "corrections/penalties_model.h"
#include "output/lap_listing.h"
#include "results/results_source.h"
#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/text_encoding.h"
#include "texts/language_tables.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace cronovolta::cli {
namespace {

constexpr const char* kCorrectUsage =
    "correct EVENT TYPE SERIES HEAT --lane L [--laps X] [--fastest S] [--lane L ...]  "
    "(TYPE: 2..4 or OFC, SPP, CRS; --laps in a race only)";
constexpr const char* kLapFractionUsage =
    "comes EVENT CRS SERIES HEAT --lane L --comes C [--lane L --comes C ...]";
constexpr const char* kPenaltyUsage =
    "penalty show EVENT SERIES | penalty set EVENT SERIES PARTICIPANT LAPS [REASONS]";
constexpr const char* kLapsUsage =
    "laps EVENT TYPE SERIES HEAT [--participant N] [--lane L] [--sort 1|2|3] | "
    "laps EVENT TYPE SERIES --dump  (TYPE: 0..4 or LLR, OFC, SPP, CRS)";

// A number typed as the screens take it (decimal comma or point), and nothing else.
std::optional<double> parseDecimal(const std::string& text) {
    std::size_t i = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    bool digits = false;
    bool separator = false;
    for (std::size_t k = i; k < text.size(); ++k) {
        const char c = text[k];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if ((c == ',' || c == '.') && !separator) {
            separator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits || text.size() > 16) {
        return std::nullopt;
    }
    return numericValue(text);
}

std::string numberText(double value) {
    return singleToText(static_cast<float>(value));
}

// A count of laps a single-precision field cannot keep to the track's fraction, or that no
// heat gives.
std::optional<std::string> lapCountRefusal(const std::string& typed, double laps, int decimals) {
    const double most = largestLapCount(decimals);
    if (std::abs(laps) <= most) {
        return std::nullopt;
    }
    return "\"" + typed + "\" laps cannot be stored: a heat or a penalty holds at most " +
           numberText(most) + " laps";
}

// What the fastest-lap field rule would turn into "no fastest lap" without a word.
std::optional<std::string> lapTimeRefusal(const std::string& typed, std::optional<double> value,
                                          double minimumLap) {
    if (!value) {
        return "\"" + typed + "\" is not a lap time";
    }
    if (*value == 0.0) {
        return std::nullopt; // no fastest lap, as the screen shows it
    }
    if (*value < 0.0 || *value <= minimumLap || *value > kLongestLap) {
        return "\"" + typed +
               "\" is not a lap time: a fastest lap is above the track's minimum lap (" +
               numberText(minimumLap) + " s) and at most " + numberText(kLongestLap) +
               " s; 0 clears it";
    }
    return std::nullopt;
}

struct Target {
    EventFiles event;
    ProgrammeType programmeType = ProgrammeType::Practice;
    int seriesNumber = 0;
};

std::expected<Target, std::string> openTarget(const Invocation& inv, const std::string& eventWord,
                                              ProgrammeType programmeType,
                                              const std::string& seriesWord) {
    auto event = parsePositive(eventWord);
    auto seriesNumber = parsePositive(seriesWord);
    if (!event || !seriesNumber) {
        return std::unexpected(std::string());
    }
    auto files = openEventFiles(inv.dataDir, *event);
    if (!files) {
        return std::unexpected(files.error());
    }
    for (const auto& p : files->problems) {
        inv.err << "cronovolta-cli: warning: " << p << "\n";
    }
    const int count = files->seriesCounts[static_cast<std::size_t>(index(programmeType))];
    if (programmeType >= ProgrammeType::FreePractice && *seriesNumber > count) {
        return std::unexpected("event " + std::to_string(*event) + " has no series " +
                               std::to_string(*seriesNumber) + " of type " +
                               std::string(seriesPrefix(programmeType)));
    }
    return Target{std::move(*files), programmeType, *seriesNumber};
}

struct LaneChange {
    std::optional<int> lane;
    std::optional<std::string> laps;
    std::optional<std::string> second;
};

// --lane starts a lane's changes; Super Pole may leave it out.
std::optional<std::vector<LaneChange>> parseLaneChanges(const std::vector<std::string>& a,
                                                        const std::string& lapsFlag,
                                                        const std::string& secondFlag,
                                                        bool laneOptional) {
    std::vector<LaneChange> changes;
    for (std::size_t i = 4; i < a.size(); i += 2) {
        if (i + 1 >= a.size()) {
            return std::nullopt;
        }
        const std::string& v = a[i + 1];
        if (a[i] == "--lane") {
            auto lane = parsePositive(v);
            if (!lane) {
                return std::nullopt;
            }
            changes.push_back({*lane, {}, {}});
            continue;
        }
        if (changes.empty()) {
            if (!laneOptional) {
                return std::nullopt;
            }
            changes.push_back({});
        }
        if (!lapsFlag.empty() && a[i] == lapsFlag && !changes.back().laps) {
            changes.back().laps = v;
        } else if (a[i] == secondFlag && !changes.back().second) {
            changes.back().second = v;
        } else {
            return std::nullopt;
        }
    }
    if (changes.empty()) {
        return std::nullopt;
    }
    return changes;
}

int printSaved(const Invocation& inv, const CorrectionModel& model,
               const std::expected<std::vector<int>, std::string>& saved) {
    if (!saved) {
        return fail(inv, saved.error());
    }
    if (saved->empty()) {
        inv.out << seriesBaseName(model.series().programmeType, model.series().seriesNumber)
                << ": heat " << model.selectedHeat() << " unchanged, nothing written\n";
        return kOk;
    }
    inv.out << seriesBaseName(model.series().programmeType, model.series().seriesNumber)
            << ": heat";
    if (saved->size() > 1) {
        inv.out << "s " << saved->front() << " to " << saved->back();
    } else if (!saved->empty()) {
        inv.out << " " << saved->front();
    }
    inv.out << " recomputed\n";
    return kOk;
}

// Opens the heat in the correction screen and applies the lanes' changes with its field
// rules; `check` refuses a value before it is typed.
int correctHeat(const Invocation& inv, CorrectionMode mode, ProgrammeType programmeType,
                const std::vector<LaneChange>& changes, const std::string& usageText) {
    const auto& a = inv.args;
    auto heat = parsePositive(a[3]);
    auto target = openTarget(inv, a[0], programmeType, a[2]);
    if (!target && target.error().empty()) {
        return usage(inv, usageText);
    }
    if (!heat) {
        return usage(inv, usageText);
    }
    if (!target) {
        return fail(inv, target.error());
    }
    auto model =
        CorrectionModel::open(target->event.eventDir, programmeType, target->seriesNumber, mode);
    if (!model) {
        return fail(inv, model.error());
    }
    if (*heat > model->heatCount()) {
        return fail(inv, "heat " + std::to_string(*heat) + " has not been run in " +
                             seriesBaseName(programmeType, target->seriesNumber) + " (heats 1 to " +
                             std::to_string(model->heatCount()) + ")");
    }
    if (mode == CorrectionMode::LapFraction && model->decimals() == 0) {
        return fail(inv, "comes are not used on this track: its laps have no fraction "
                         "(track set largest-partial=...)");
    }
    if (!model->selectHeat(*heat)) {
        return fail(inv, model->problem());
    }
    for (const auto& change : changes) {
        int k = 1;
        if (programmeType != ProgrammeType::SuperPole) {
            k = model->rowOfLane(*change.lane);
        } else if (change.lane && *change.lane != model->row(1).lane) {
            k = 0;
        }
        if (k == 0 || model->row(k).participant == 0) {
            return fail(inv, "heat " + std::to_string(*heat) + " has nobody on lane " +
                                 std::to_string(change.lane.value_or(0)));
        }
        if (change.laps) {
            auto laps = parseDecimal(*change.laps);
            if (!laps || *laps < 0.0) {
                return fail(inv, "\"" + *change.laps + "\" is not a number of laps");
            }
            if (auto refused = lapCountRefusal(*change.laps, *laps, model->decimals())) {
                return fail(inv, *refused);
            }
            model->setLaps(k, *change.laps);
            model->leaveLaps(k);
        }
        if (change.second) {
            auto value = parseDecimal(*change.second);
            if (mode == CorrectionMode::Laps) {
                if (auto refused =
                        lapTimeRefusal(*change.second, value, model->series().track.minimumLap)) {
                    return fail(inv, *refused);
                }
            }
            if (mode == CorrectionMode::LapFraction &&
                (!value || *value < 0.0 || *value != std::floor(*value) ||
                 *value >= std::pow(10.0, model->decimals()))) {
                return fail(inv, "\"" + *change.second + "\" is not a comes value of " +
                                     std::to_string(model->decimals()) + " digits");
            }
            model->setSecond(k, *change.second);
            model->leaveSecond(k);
        }
    }
    return printSaved(inv, *model, model->save());
}

} // namespace

int cmdCorrect(const Invocation& inv) {
    const auto& a = inv.args;
    if (a.size() < 6) {
        return usage(inv, kCorrectUsage);
    }
    auto programmeType = parseProgramType(a[1], ProgrammeType::OfficialPractice);
    if (!programmeType) {
        return usage(inv, kCorrectUsage);
    }
    auto changes =
        parseLaneChanges(a, "--laps", "--fastest", *programmeType == ProgrammeType::SuperPole);
    if (!changes) {
        return usage(inv, kCorrectUsage);
    }
    for (const auto& c : *changes) {
        // The screen offers the laps of a race only.
        if (c.laps && *programmeType != ProgrammeType::Race) {
            return usage(inv, kCorrectUsage);
        }
    }
    return correctHeat(inv, CorrectionMode::Laps, *programmeType, *changes, kCorrectUsage);
}

int cmdLapFractions(const Invocation& inv) {
    const auto& a = inv.args;
    if (a.size() < 8) {
        return usage(inv, kLapFractionUsage);
    }
    auto programmeType = parseProgramType(a[1], ProgrammeType::Race);
    auto changes = parseLaneChanges(a, "", "--comes", false);
    if (!programmeType || !changes) {
        return usage(inv, kLapFractionUsage);
    }
    for (const auto& c : *changes) {
        if (!c.second) {
            return usage(inv, kLapFractionUsage);
        }
    }
    return correctHeat(inv, CorrectionMode::LapFraction, *programmeType, *changes,
                       kLapFractionUsage);
}

int cmdPenalty(const Invocation& inv) {
    const auto& a = inv.args;
    const bool show = a.size() == 3 && a[0] == "show";
    const bool set = (a.size() == 5 || a.size() == 6) && a[0] == "set";
    if (!show && !set) {
        return usage(inv, kPenaltyUsage);
    }
    auto target = openTarget(inv, a[1], ProgrammeType::Race, a[2]);
    if (!target) {
        return target.error().empty() ? usage(inv, kPenaltyUsage) : fail(inv, target.error());
    }
    auto model = PenaltiesModel::open(target->event.eventDir, target->seriesNumber);
    if (!model) {
        return fail(inv, model.error());
    }
    for (const auto& note : model->notes()) {
        inv.err << "cronovolta-cli: warning: " << note << "\n";
    }
    if (show) {
        for (int p = 1; p <= model->participants(); ++p) {
            const PenaltyRow& r = model->row(p);
            if (!r.penalty.empty()) {
                inv.out << p << '\t' << r.name << '\t'
                        << singleToText(static_cast<float>(numericValue(r.penalty))) << '\t'
                        << r.reasons << '\n';
            }
        }
        return kOk;
    }
    auto participant = parsePositive(a[3]);
    if (!participant) {
        return usage(inv, kPenaltyUsage);
    }
    if (*participant > model->participants()) {
        return fail(inv, seriesBaseName(ProgrammeType::Race, target->seriesNumber) +
                             " has no participant " + std::to_string(*participant));
    }
    auto laps = parseDecimal(a[4]);
    if (!laps) {
        return fail(inv, "\"" + a[4] + "\" is not a number of laps");
    }
    const auto decimals = static_cast<int>(target->event.track.decimalsText.size());
    if (auto refused = lapCountRefusal(a[4], *laps, decimals)) {
        return fail(inv, *refused);
    }
    model->select(*participant);
    // Without reasons the stored ones stay; "" given on purpose clears them.
    if (a.size() == 6) {
        const std::string& reasons = a[5];
        // A tab or line break would split the lines and columns of `penalty show`.
        if (std::any_of(reasons.begin(), reasons.end(),
                        [](unsigned char c) { return c < 0x20 || c == 0x7f; })) {
            return fail(inv,
                        "the reasons cannot hold tabs, line breaks or other control characters");
        }
        model->setReasons(reasons);
    }
    model->setValue(a[4]);
    if (auto saved = model->save(); !saved) {
        return fail(inv, saved.error());
    }
    if (a.size() == 6 && !model->row(*participant).penalty.empty() && !fitsWindows1252(a[5])) {
        inv.err << "cronovolta-cli: warning: \"" << a[5] << "\" is stored as \""
                << windows1252ToUtf8(utf8ToWindows1252(a[5]))
                << "\": reasons keep Windows-1252 characters only\n";
    }
    return kOk;
}

namespace {

void warnLapProblems(const Invocation& inv, const LapListing& listing) {
    for (const auto& problem : listing.problems()) {
        inv.err << "cronovolta-cli: warning: " << problem << "\n";
    }
}

// The options after the heat: the listing's participant, lane and sort. An exit status
// when one is refused.
std::optional<int> chooseLapFilters(const Invocation& inv, LapListing& listing, int heat,
                                    const std::string& seriesName) {
    const auto& a = inv.args;
    for (std::size_t i = 4; i < a.size(); i += 2) {
        if (i + 1 >= a.size()) {
            return usage(inv, kLapsUsage);
        }
        const std::string& v = a[i + 1];
        if (a[i] == "--participant") {
            auto n = parsePositive(v);
            const auto& names = listing.entries(LapListing::ParticipantSelector);
            if (!n) {
                return usage(inv, kLapsUsage);
            }
            if (*n >= static_cast<int>(names.size())) {
                return fail(inv, seriesName + " has no participant " + v);
            }
            listing.choose(LapListing::ParticipantSelector, *n);
        } else if (a[i] == "--lane") {
            auto lane = parseInteger(v);
            const auto& lanes = listing.entries(LapListing::LaneSelector);
            auto it = lane ? std::find(lanes.begin() + 1, lanes.end(), std::to_string(*lane))
                           : lanes.end();
            if (!lane) {
                return usage(inv, kLapsUsage);
            }
            if (it == lanes.end()) {
                return fail(inv, "heat " + std::to_string(heat) + " lists no lane " + v);
            }
            listing.choose(LapListing::LaneSelector, static_cast<int>(it - lanes.begin()));
        } else if (a[i] == "--sort") {
            auto option = parsePositive(v);
            if (!option || *option > 3) {
                return usage(inv, kLapsUsage);
            }
            listing.sortBy(*option);
        } else {
            return usage(inv, kLapsUsage);
        }
    }
    return std::nullopt;
}

// What the window shows above its table (the crossings listed and the heat's start), then
// the rows it shows, every column.
void printLapListing(const Invocation& inv, const LapListing& listing, int language) {
    inv.out << "# " << tableCaption("LlistarVoltes", "Contador", 0, language) << ' '
            << listing.visibleCount();
    if (listing.startTimeShown()) {
        inv.out << '\t' << tableCaption("LlistarVoltes", "Contador", 3, language) << ' '
                << listing.startTime();
    }
    inv.out << '\n';
    for (const auto& row : listing.rows()) {
        if (!row.visible) {
            continue;
        }
        for (int c = 0; c < lapcol::Count; ++c) {
            inv.out << (c > 0 ? "\t" : "") << row.cells[static_cast<std::size_t>(c)];
        }
        inv.out << '\n';
    }
}

} // namespace

int cmdLaps(const Invocation& inv) {
    const auto& a = inv.args;
    if (a.size() < 4) {
        return usage(inv, kLapsUsage);
    }
    auto programmeType = parseProgramType(a[1], ProgrammeType::Practice);
    if (!programmeType) {
        return usage(inv, kLapsUsage);
    }
    auto target = openTarget(inv, a[0], *programmeType, a[2]);
    if (!target) {
        return target.error().empty() ? usage(inv, kLapsUsage) : fail(inv, target.error());
    }
    LapListingSetup setup;
    setup.folder = *programmeType == ProgrammeType::Practice ? inv.dataDir : target->event.eventDir;
    setup.programmeType = *programmeType;
    setup.seriesCount = target->event.seriesCounts[static_cast<std::size_t>(index(*programmeType))];
    setup.activeSeriesNumber = target->seriesNumber;
    setup.language = target->event.language;
    LapListing listing(setup);
    listing.load();
    if (a[3] == "--dump") {
        if (a.size() != 4) {
            return usage(inv, kLapsUsage);
        }
        auto written = listing.writeDump();
        warnLapProblems(inv, listing);
        if (!written) {
            return fail(inv, written.error());
        }
        inv.out << written->string() << '\n';
        return kOk;
    }
    auto heat = parsePositive(a[3]);
    if (!heat) {
        return usage(inv, kLapsUsage);
    }
    const int heats = static_cast<int>(listing.entries(LapListing::HeatSelector).size());
    if (*heat > heats) {
        return fail(inv, "heat " + std::to_string(*heat) + " has not been run in " +
                             seriesBaseName(*programmeType, target->seriesNumber));
    }
    listing.choose(LapListing::HeatSelector, *heat - 1);
    if (auto refused = chooseLapFilters(inv, listing, *heat,
                                        seriesBaseName(*programmeType, target->seriesNumber))) {
        return *refused;
    }
    warnLapProblems(inv, listing);
    printLapListing(inv, listing, target->event.language);
    return kOk;
}

} // namespace cronovolta::cli
