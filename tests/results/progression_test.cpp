#include "results/progression.h"
#include "storage/event_files.h"

#include <gtest/gtest.h>

using namespace cronovolta;

namespace {

using Names = std::vector<std::string>;

std::vector<RankedEntry> ranked(int seriesNumber, int count, const std::string& prefix = "P") {
    std::vector<RankedEntry> out;
    for (int i = 1; i <= count; ++i) {
        out.push_back({seriesNumber, prefix + std::to_string(i)});
    }
    return out;
}

} // namespace

TEST(Progression, QualifyingRaceStartsTheWorstFirstAndTheBestInTheMiddle) {
    EXPECT_EQ(qualifyingStartOrder(ranked(1, 10)),
              (Names{"P10", "P8", "P6", "P4", "P2", "P1", "P3", "P5", "P7", "P9"}));
    // Every listed row gets a place, with no gap, whatever the list's participant count.
    EXPECT_EQ(qualifyingStartOrder(ranked(1, 5)), (Names{"P5", "P3", "P1", "P2", "P4"}));
    // A driver listed in two official-practice series starts once, with the better result.
    auto twice = ranked(1, 5);
    twice.push_back({2, "p2 "});
    EXPECT_EQ(qualifyingStartOrder(twice), (Names{"P5", "P3", "P1", "P2", "P4"}));
    EXPECT_TRUE(qualifyingStartOrder({}).empty());
}

TEST(Progression, SerpentineTurnsAtEachEnd) {
    Serpentine two(2);
    Serpentine three(3);
    Serpentine one(1);
    for (std::string n : {"A", "B", "C", "D", "E", "F", "G"}) {
        two.place(n);
        three.place(n);
        one.place(n);
    }
    EXPECT_EQ(two.columns(), (std::vector<Names>{{"A", "D", "E"}, {"B", "C", "F", "G"}}));
    EXPECT_EQ(three.columns(), (std::vector<Names>{{"A", "F", "G"}, {"B", "E"}, {"C", "D"}}));
    EXPECT_EQ(one.columns(), (std::vector<Names>{{"A", "B", "C", "D", "E", "F", "G"}}));
}

TEST(Progression, RepechagesTakeTheQualifyingRaceBelowTheDirectPlaces) {
    // Four lanes, two repechages: places 1 to 6 go straight to the semi-finals.
    auto reps = repechageLists(ranked(1, 13), 4, 2);
    ASSERT_EQ(reps.size(), 2u);
    EXPECT_EQ(reps[0], (Names{"P7", "P10", "P11"}));
    EXPECT_EQ(reps[1], (Names{"P8", "P9", "P12", "P13"}));
    EXPECT_TRUE(repechageLists(ranked(1, 5), 4, 2)[0].empty());
    EXPECT_TRUE(repechageLists(ranked(1, 13), 4, 0).empty());
}

TEST(Progression, SemiFinalsTakeTheBestOfEachRepechageInCombinedOrder) {
    // Four lanes, two repechages, table says 6 direct: 8 places, 6 from the qualifying race.
    auto qualifying = ranked(1, 12, "Q");
    std::vector<RankedEntry> combined = {
        {1, "Q1"}, {3, "R2a"}, {2, "R1a"}, {3, "R2b"}, {1, "Q2"}, {2, "R1b"},
    };
    auto semis = semiFinalLists(qualifying, combined, 4, 2, 6);
    EXPECT_EQ(semis[0], (Names{"Q1", "Q4", "Q5", "R1a"}));
    EXPECT_EQ(semis[1], (Names{"Q2", "Q3", "Q6", "R2a"}));

    // A repechage with no classified participant sends nobody: its place stays empty.
    std::vector<RankedEntry> onlyFirst = {{1, "Q1"}, {2, "R1a"}, {2, "R1b"}};
    semis = semiFinalLists(qualifying, onlyFirst, 4, 2, 6);
    EXPECT_EQ(semis[0].size() + semis[1].size(), 7u);

    // Without repechages the semi-finals follow the qualifying race directly.
    semis = semiFinalLists(qualifying, qualifying, 4, 0, 8);
    EXPECT_EQ(semis[0], (Names{"Q1", "Q4", "Q5", "Q8"}));
    EXPECT_EQ(semis[1], (Names{"Q2", "Q3", "Q6", "Q7"}));
}

TEST(Progression, FinalTakesHalfTheLanesFromEachSemiFinal) {
    // Two repechages: the semi-finals are race series 4 and 5.
    std::vector<RankedEntry> combined = {
        {4, "S1a"}, {1, "Q1"},  {4, "S1b"}, {4, "S1c"}, {5, "S2a"}, {4, "S1d"},
        {5, "S2b"}, {5, "S2c"}, {2, "R1"},  {5, "S2d"}, {5, "S2e"},
    };
    EXPECT_EQ(finalList(combined, 4, 2), (Names{"S1a", "S1b", "S2a", "S2b"}));
    // Five lanes: 2.5 places each, so the semi-final ranked higher in the list gets three.
    EXPECT_EQ(finalList(combined, 5, 2), (Names{"S1a", "S1b", "S1c", "S2a", "S2b"}));
    // Too few semi-finalists leave the later places empty.
    EXPECT_EQ(finalList({{4, "S1a"}, {5, "S2a"}}, 4, 2), (Names{"S1a", "S2a"}));
}

TEST(Progression, DistributionTableAndStageSelection) {
    auto table =
        parseDistributionTable("10 6\r\n12,5\n\nnonsense\n14;7;1\n 16\t10 \n-3 x\n18 -1000\n0 4\n");
    ASSERT_EQ(table.lines.size(), 3u);
    EXPECT_EQ(table.skippedLines, 5);
    EXPECT_FALSE(lookupDistribution(table, 18)); // would be 1008 repechages
    EXPECT_EQ(distributionTableName(8), "DISTRIBUCIONS08.TXT");

    auto d = lookupDistribution(table, 12);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->direct, 5);
    EXPECT_EQ(d->repechages, 3);
    EXPECT_EQ(lookupDistribution(table, 16)->repechages, 0); // 8 - 10 is below 0
    EXPECT_FALSE(lookupDistribution(table, 11));

    Distribution two{6, 2};
    EXPECT_EQ(stageForNewSeries(0, two), kQualifyingRace);
    EXPECT_EQ(stageForNewSeries(1, two), kRepechages);
    EXPECT_EQ(stageForNewSeries(2, two), kNoProgression);
    EXPECT_EQ(stageForNewSeries(3, two), kSemiFinals);
    EXPECT_EQ(stageForNewSeries(5, two), kFinal);
    EXPECT_EQ(stageForNewSeries(6, two), kNoProgression);
    Distribution none{8, 0};
    EXPECT_EQ(stageForNewSeries(1, none), kSemiFinals);
    EXPECT_EQ(stageForNewSeries(3, none), kFinal);
}
