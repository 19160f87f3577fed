#include "output/result_tables.h"

#include "results/entrants_model.h"
#include "results/results_source.h"
#include "results/results_texts.h"
#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/text_encoding.h"

#include <map>
#include <memory>

namespace cronovolta {
namespace {

std::string joinLines(const std::vector<std::vector<std::string>>& rows, bool finalBreak) {
    std::string out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (c > 0) {
                out += '\t';
            }
            out += rows[r][c];
        }
        if (finalBreak || r + 1 < rows.size()) {
            out += "\r\n";
        }
    }
    return out;
}

int entryIndex(const std::vector<std::string>& entries, int number) {
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (static_cast<int>(numericValue(entries[i])) == number) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

struct StageWords {
    std::string_view catalan;
    std::string_view castilian;
};

std::string stageWord(ProgressionStage stage, int language) {
    static constexpr StageWords kWords[] = {
        {"", ""},
        {"Classificatòria", "Clasificatoria"},
        {"Repesca", "Repesca"},
        {"Semifinal", "Semifinal"},
        {"Final", "Final"},
    };
    const auto& w = kWords[static_cast<int>(stage)];
    return std::string(language == 1 ? w.castilian : w.catalan);
}

} // namespace

std::string trainingTable(ResultsBrowser& b, const TrackConfig& track) {
    const int lanes = std::max<int>(track.lanes, 0);
    const int participants =
        std::max(0, static_cast<int>(b.entries(ResultsBrowser::kParticipant).size()) - 1);
    std::vector<std::vector<std::string>> table(
        static_cast<std::size_t>(2 * participants),
        std::vector<std::string>(static_cast<std::size_t>(lanes) + 2));
    // The pair of rows of each participant, by (series, number).
    std::map<std::pair<int, int>, std::size_t> pairOf;
    std::size_t next = 0;
    for (int i : b.visibleRows()) {
        if (next >= table.size()) {
            break;
        }
        const ClassificationRow& r = b.list().rows()[static_cast<std::size_t>(i)];
        if (!pairOf.emplace(std::make_pair(r.seriesNumber, r.participant), next).second) {
            continue;
        }
        table[next][0] = r.cells[kColRank] + " " + r.name;
        table[next][static_cast<std::size_t>(lanes) + 1] = r.cells[kColFastest];
        next += 2;
    }
    b.selectHeat(0);
    b.selectCriterion(kHeatFastestLap);
    for (int pos = 1; pos <= lanes; ++pos) {
        const int lane = pos < static_cast<int>(track.laneChangeOrder.size())
                             ? track.laneChangeOrder[static_cast<std::size_t>(pos)]
                             : 0;
        const int entry = entryIndex(b.entries(ResultsBrowser::kLane), lane);
        if (entry < 0) {
            continue;
        }
        b.selectLane(entry);
        int rank = 0;
        std::map<std::pair<int, int>, bool> placed;
        for (int i : b.visibleRows()) {
            const ClassificationRow& r = b.list().rows()[static_cast<std::size_t>(i)];
            const auto key = std::make_pair(r.seriesNumber, r.participant);
            auto it = pairOf.find(key);
            if (it == pairOf.end() || !placed.emplace(key, true).second) {
                continue;
            }
            table[it->second][static_cast<std::size_t>(pos)] = std::to_string(++rank);
            table[it->second + 1][static_cast<std::size_t>(pos)] =
                formatNumber(r.values[kColHeatFastest], "0.0000");
        }
    }
    return joinLines(table, false);
}

std::vector<ProgressionStage> raceStages(int seriesCount, const Distribution& distribution) {
    std::vector<ProgressionStage> stages;
    for (int s = 1; s <= seriesCount; ++s) {
        stages.push_back(stageForNewSeries(s - 1, distribution));
    }
    return stages;
}

std::string raceTable(ResultsBrowser& race, const std::vector<ProgressionStage>& stages,
                      bool repechagesOnly, int language) {
    const ResultsTexts& t = resultsTexts(language);
    std::vector<std::vector<std::string>> rows;
    rows.push_back({language == 1 ? "Serie" : "Sèrie", "Fase", t.numberHeader, t.participantHeader,
                    t.startLaneHeader, language == 1 ? "Posición" : "Posició", t.criteria[0],
                    t.criteria[1]});
    for (std::size_t s = 1; s <= stages.size(); ++s) {
        const ProgressionStage stage = stages[s - 1];
        if (repechagesOnly && stage != kRepechages) {
            continue;
        }
        race.selectSeries(static_cast<int>(s));
        race.selectCriterion(kTotalLaps);
        std::map<int, const ClassificationRow*> result;
        for (int i : race.visibleRows()) {
            const ClassificationRow& r = race.list().rows()[static_cast<std::size_t>(i)];
            result.emplace(r.participant, &r);
        }
        const auto& names = race.entries(ResultsBrowser::kParticipant);
        for (std::size_t j = 1; j < names.size(); ++j) {
            const int number = race.numberOfEntries()[j];
            std::vector<std::string> line{
                formatNumber(static_cast<double>(s), "0"), stageWord(stage, language),
                std::to_string(number), names[j],
                std::to_string(startLane(ProgrammeType::Race, number, race.setup().track))};
            if (auto it = result.find(number); it != result.end()) {
                line.push_back(formatNumber(numericValue(it->second->cells[kColRank]), "0"));
                line.push_back(it->second->cells[kColTotal]);
                line.push_back(it->second->cells[kColFastest]);
            }
            rows.push_back(std::move(line));
        }
    }
    return joinLines(rows, true);
}

std::expected<std::vector<fs::path>, std::string>
writeResultTables(const EventFiles& event, std::vector<std::string>& problems) {
    std::vector<fs::path> written;
    auto fileProblems = std::make_shared<std::vector<std::string>>();
    auto write = [&](std::string_view name, const std::string& text) -> IoResult {
        const fs::path path = event.eventDir / name;
        if (auto ok = writeFileAtomic(path, utf8ToWindows1252(text)); !ok) {
            return ok;
        }
        written.push_back(path);
        return {};
    };
    if (event.seriesCounts[index(ProgrammeType::OfficialPractice)] > 0) {
        ResultsBrowser practice =
            makeResultsBrowser(event, ProgrammeType::OfficialPractice, 1, fileProblems);
        practice.open();
        if (auto ok = write("ENTRENAMENTS.TXT", trainingTable(practice, event.track)); !ok) {
            return std::unexpected(ok.error());
        }
    }
    const fs::path tableFile = event.dataDir / distributionTableName(event.track.lanes);
    std::error_code ec;
    if (event.seriesCounts[index(ProgrammeType::Race)] > 0 && fs::exists(tableFile, ec)) {
        auto bytes = readFileBytes(tableFile);
        if (!bytes) {
            return std::unexpected(bytes.error());
        }
        ResultsBrowser race = makeResultsBrowser(event, ProgrammeType::Race, 1, fileProblems);
        race.open();
        race.selectSeries(1);
        const int qualifying =
            static_cast<int>(race.entries(ResultsBrowser::kParticipant).size()) - 1;
        const auto distribution = lookupDistribution(parseDistributionTable(*bytes), qualifying);
        if (!distribution) {
            problems.push_back(tableFile.filename().string() + " has no line for " +
                               std::to_string(qualifying) + " participants");
        } else {
            const auto stages =
                raceStages(event.seriesCounts[index(ProgrammeType::Race)], *distribution);
            for (auto [name, only] : {std::pair{"REPESQUES.TXT", true}, {"CURSA.TXT", false}}) {
                if (auto ok = write(name, raceTable(race, stages, only, event.language)); !ok) {
                    return std::unexpected(ok.error());
                }
            }
        }
    }
    problems.insert(problems.end(), fileProblems->begin(), fileProblems->end());
    return written;
}

} // namespace cronovolta
