#include "results/auto_entries.h"

#include "results/entrants_files.h"
#include "results/results_source.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"

#include <memory>
#include <utility>

namespace cronovolta {
namespace {

std::vector<RankedEntry> rankedRows(const ResultsBrowser& browser) {
    std::vector<RankedEntry> out;
    for (int i : browser.visibleRows()) {
        const auto& row = browser.list().rows()[static_cast<std::size_t>(i)];
        out.push_back({row.seriesNumber, row.name});
    }
    return out;
}

// Participants of the loaded series: the named entries of the participant filter.
int participantCount(const ResultsBrowser& browser) {
    return static_cast<int>(browser.entries(ResultsBrowser::kParticipant).size()) - 1;
}

class Stage {
public:
    Stage(const EventFiles& files, const AppendRaceSeries& append, ProgressionOutcome& outcome)
        : m_files(files), m_append(append), m_outcome(outcome),
          m_problems(std::make_shared<std::vector<std::string>>()) {}

    // The results browser of a programme as it opens: default criterion, latest heats.
    ResultsBrowser open(ProgrammeType programmeType) {
        ResultsBrowser b = makeResultsBrowser(m_files, programmeType, 1, m_problems);
        b.open();
        return b;
    }

    void noteProblems(const ResultsBrowser& b) {
        for (auto& p : describeProblems(b, *m_problems, -1)) {
            m_outcome.notes.push_back(std::move(p));
        }
        m_problems->clear();
    }

    std::expected<void, std::string> create(std::vector<std::string> names) {
        auto seriesNumber = m_append();
        if (!seriesNumber) {
            return std::unexpected(seriesNumber.error());
        }
        ParticipantList list;
        list.names = names;
        auto saved = saveSeriesList(m_files.eventDir, ProgrammeType::Race, *seriesNumber, list, 0);
        if (!saved) {
            return std::unexpected(saved.error());
        }
        m_outcome.created.push_back({*seriesNumber, std::move(names)});
        return {};
    }

private:
    const EventFiles& m_files;
    const AppendRaceSeries& m_append;
    ProgressionOutcome& m_outcome;
    FileProblems m_problems;
};

std::expected<void, std::string> qualifyingRace(Stage& stage, ProgressionOutcome& outcome) {
    ResultsBrowser practice = stage.open(ProgrammeType::OfficialPractice);
    stage.noteProblems(practice);
    const int n = participantCount(practice);
    auto order = qualifyingStartOrder(rankedRows(practice));
    if (n < 5 || order.empty()) {
        outcome.notes.push_back("the official practice has " + std::to_string(n < 5 ? n : 0) +
                                " classified participants; the qualifying race needs 5");
        return {};
    }
    outcome.stage = kQualifyingRace;
    return stage.create(std::move(order));
}

std::expected<void, std::string> laterStage(Stage& stage, ProgressionOutcome& outcome,
                                            const DistributionTable& table, int before, int lanes) {
    ResultsBrowser race = stage.open(ProgrammeType::Race);
    race.selectSeries(1);
    const int n = participantCount(race);
    auto d = lookupDistribution(table, n);
    if (!d) {
        outcome.notes.push_back("the lane-distribution table has no line for " + std::to_string(n) +
                                " participants");
        return {};
    }
    const auto qualifying = rankedRows(race);
    const ProgressionStage which = stageForNewSeries(before, *d);
    if (which == kNoProgression) {
        return {};
    }
    race.selectSeries(0);
    stage.noteProblems(race);
    const auto combined = rankedRows(race);
    outcome.stage = which;
    std::expected<void, std::string> done;
    if (which == kRepechages) {
        for (auto& names : repechageLists(qualifying, lanes, d->repechages)) {
            if (done = stage.create(std::move(names)); !done) {
                break;
            }
        }
    } else if (which == kSemiFinals) {
        auto semis = semiFinalLists(qualifying, combined, lanes, d->repechages, d->direct);
        done = stage.create(std::move(semis[0]));
        if (done) {
            done = stage.create(std::move(semis[1]));
        }
    } else {
        done = stage.create(finalList(combined, lanes, d->repechages));
    }
    return done;
}

// The stage that follows `before` race series; new series come from `append`.
std::expected<ProgressionOutcome, std::string> runProgression(EventFiles files, int before,
                                                              const AppendRaceSeries& append) {
    ProgressionOutcome outcome;
    outcome.notes = files.problems;
    const auto tableFile = files.dataDir / distributionTableName(files.track.lanes);
    std::error_code ec;
    if (!fs::exists(tableFile, ec)) {
        return outcome;
    }
    auto bytes = readFileBytes(tableFile);
    if (!bytes) {
        outcome.notes.push_back(bytes.error());
        return outcome;
    }
    const DistributionTable table = parseDistributionTable(*bytes);
    if (table.skippedLines > 0) {
        const bool one = table.skippedLines == 1;
        outcome.notes.push_back(tableFile.filename().string() + ": " +
                                std::to_string(table.skippedLines) +
                                (one ? " line without two whole numbers was skipped"
                                     : " lines without two whole numbers were skipped"));
    }
    files.seriesCounts[index(ProgrammeType::Race)] = before; // the classifications read end there
    Stage stage(files, append, outcome);
    auto done = before == 0 ? qualifyingRace(stage, outcome)
                            : laterStage(stage, outcome, table, before, files.track.lanes);
    if (!done) {
        return std::unexpected(done.error());
    }
    return outcome;
}

} // namespace

std::expected<ProgressionOutcome, std::string>
placeAutomaticEntries(const fs::path& dataDir, int event,
                      const AppendRaceSeries& appendRaceSeries) {
    auto files = openEventFiles(dataDir, event);
    if (!files) {
        return std::unexpected(files.error());
    }
    const int before = files->seriesCounts[index(ProgrammeType::Race)];
    return runProgression(std::move(*files), before, appendRaceSeries);
}

std::expected<ProgressionOutcome, std::string> placeAutomaticEntriesInto(const fs::path& dataDir,
                                                                         int event, int added) {
    auto files = openEventFiles(dataDir, event);
    if (!files) {
        return std::unexpected(files.error());
    }
    bool first = true;
    AppendRaceSeries append = [&]() -> std::expected<int, std::string> {
        if (first) {
            first = false;
            return added;
        }
        auto next = EventManager(dataDir).addSeries(event, ProgrammeType::Race);
        if (!next) {
            return std::unexpected(next.error().message);
        }
        return *next;
    };
    return runProgression(std::move(*files), added - 1, append);
}

} // namespace cronovolta
