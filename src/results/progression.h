#pragma once

#include "storage/event_files.h" // distributionTableName

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// One line of a lane-distribution table: with `participants` in the qualifying race,
// `direct` of them go straight to the semi-finals.
struct DistributionLine {
    int participants = 0;
    int direct = 0;
};

struct DistributionTable {
    std::vector<DistributionLine> lines;
    int skippedLines = 0; // lines that did not hold two integers
};

// Lines of two integers separated by blanks, tabs, commas or semicolons, a participant
// count of at least 1 and a direct count of at least 0; anything else is skipped and
// counted.
DistributionTable parseDistributionTable(std::string_view text);

// What the table says for a qualifying race of n participants: D direct qualifiers and
// R = 8 - D repechages (never below 0).
struct Distribution {
    int direct = 0;
    int repechages = 0;
};
std::optional<Distribution> lookupDistribution(const DistributionTable& table, int participants);

// Result codes of the automatic progression.
enum ProgressionStage : int {
    kNoProgression = 0,
    kQualifyingRace = 1,
    kRepechages = 2,
    kSemiFinals = 3,
    kFinal = 4,
};

// Which stage a new race series starts, given the race series that exist before it.
ProgressionStage stageForNewSeries(int raceSeriesBefore, const Distribution& d);

// A visible row of a ranked list, in list order.
struct RankedEntry {
    int seriesNumber = 0;
    std::string name;
};

// Places names over C columns, row by row, turning at each end ("serpentine"): with two
// columns A B / D C / E F.
class Serpentine {
public:
    explicit Serpentine(int columns);
    void place(std::string name);
    const std::vector<std::vector<std::string>>& columns() const { return m_columns; }

private:
    std::vector<std::vector<std::string>> m_columns;
    int m_column = 0;
    int m_direction = -1;
};

// Start order of the qualifying race from the official-practice ranking (best first):
// the worst starts first, the second worst last, and the best end up in the middle.
// Every ranked name gets a place, whatever the participant count of the list.
std::vector<std::string> qualifyingStartOrder(const std::vector<RankedEntry>& ranked);

// The R repechages from the qualifying-race ranking: the first 2L - R go straight to the
// semi-finals, the others are dealt over the repechages.
std::vector<std::vector<std::string>> repechageLists(const std::vector<RankedEntry>& qualifying,
                                                     int lanes, int repechages);

// The two semi-finals: the best of the qualifying race, then the best of each repechage
// in the order of the combined ranking of all race series.
std::array<std::vector<std::string>, 2> semiFinalLists(const std::vector<RankedEntry>& qualifying,
                                                       const std::vector<RankedEntry>& combined,
                                                       int lanes, int repechages, int direct);

// The final: L places, half from each semi-final, in the order of the combined ranking.
std::vector<std::string> finalList(const std::vector<RankedEntry>& combined, int lanes,
                                   int repechages);

} // namespace cronovolta
