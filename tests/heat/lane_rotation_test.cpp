#include "heat/lane_rotation.h"

#include <gtest/gtest.h>

#include <map>

namespace cronovolta {
namespace {

std::vector<std::int16_t> order(std::vector<std::int16_t> lanes) {
    std::int16_t highest = 0;
    for (auto l : lanes) {
        highest = std::max(highest, l);
    }
    lanes.insert(lanes.begin(), highest);
    return lanes;
}

// participant by lane
std::map<int, int> byLane(const std::vector<LanePlacement>& placements) {
    std::map<int, int> m;
    for (const auto& p : placements) {
        m[p.lane] = p.participant;
    }
    return m;
}

TEST(LaneRotation, FiveParticipantsOnFourLanesMoveOnePositionPerHeat) {
    auto o = order({1, 2, 3, 4});
    EXPECT_EQ(byLane(heatPlacements(1, 5, o, false)),
              (std::map<int, int>{{4, 1}, {3, 2}, {2, 3}, {1, 4}}));
    EXPECT_EQ(byLane(heatPlacements(2, 5, o, false)),
              (std::map<int, int>{{4, 2}, {3, 3}, {2, 4}, {1, 5}}));
    EXPECT_EQ(byLane(heatPlacements(5, 5, o, false)),
              (std::map<int, int>{{4, 5}, {3, 1}, {2, 2}, {1, 3}}));
    EXPECT_EQ(byLane(heatPlacements(6, 5, o, false)), byLane(heatPlacements(1, 5, o, false)));
    // The set-up walks from the last position down.
    EXPECT_EQ(heatPlacements(1, 5, o, false).front().position, 4);
}

TEST(LaneRotation, OrderOfLanesDecidesWherePositionsAre) {
    auto placed = byLane(heatPlacements(1, 5, order({3, 1, 4, 2}), false));
    EXPECT_EQ(placed, (std::map<int, int>{{2, 1}, {4, 2}, {1, 3}, {3, 4}}));
}

TEST(LaneRotation, SuperPolePutsOneDriverOnEveryLane) {
    auto placed = heatPlacements(8, 6, order({1, 2, 3, 4}), true);
    ASSERT_EQ(placed.size(), 4u);
    for (const auto& p : placed) {
        EXPECT_EQ(p.participant, 2);
    }
}

TEST(LaneRotation, OnePassGivesEveryParticipantEveryLaneOnce) {
    for (int participants : {4, 5, 7, 12}) {
        auto o = order({2, 4, 1, 3});
        std::map<int, std::map<int, int>> driven; // participant -> lane -> count
        for (int h = 1; h <= participants; ++h) {
            for (const auto& p : heatPlacements(h, participants, o, false)) {
                ++driven[p.participant][p.lane];
            }
        }
        for (int r = 1; r <= participants; ++r) {
            EXPECT_EQ(driven[r].size(), 4u) << participants << " " << r;
            for (auto [lane, count] : driven[r]) {
                EXPECT_EQ(count, 1) << participants << " " << r << " lane " << lane;
            }
        }
    }
}

TEST(LaneRotation, HeatCountsFollowTheRotation) {
    EXPECT_EQ(heatsDriven(1, 5, 4, 5), 4);
    EXPECT_EQ(heatsDriven(5, 5, 4, 5), 4);
    EXPECT_EQ(heatsDriven(1, 6, 4, 5), 5);
    EXPECT_EQ(heatsDriven(4, 6, 4, 5), 5);
    EXPECT_EQ(heatsDriven(5, 6, 4, 5), 4);
    // Against a count of the placements themselves, over several passes.
    for (auto [lanes, participants] : {std::pair{4, 5}, {2, 10}, {4, 9}, {6, 7}, {1, 3}}) {
        std::vector<std::int16_t> o(static_cast<std::size_t>(lanes) + 1);
        for (int i = 1; i <= lanes; ++i) {
            o[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
        }
        o[0] = static_cast<std::int16_t>(lanes);
        std::map<int, int> count;
        for (int h = 1; h <= 3 * participants; ++h) {
            for (const auto& p : heatPlacements(h, participants, o, false)) {
                ++count[p.participant];
            }
            for (int r = 1; r <= participants; ++r) {
                EXPECT_EQ(heatsDriven(r, h, lanes, participants), count[r])
                    << "N=" << lanes << " P=" << participants << " H=" << h << " r=" << r;
            }
        }
    }
}

TEST(LaneRotation, EntryMarkNamesWhoEntersNextAndWhere) {
    auto o = order({3, 1, 4, 2});
    auto before = entryMarks(0, 5, o, false, "E");
    ASSERT_EQ(before.size(), 4u);
    EXPECT_EQ(before[0].participant, 1);
    EXPECT_EQ(before[0].text, "E2"); // position 4
    EXPECT_EQ(before[3].text, "E3"); // participant 4 at position 1
    auto after6 = entryMarks(6, 5, order({1, 2, 3, 4}), false, "E");
    ASSERT_EQ(after6.size(), 1u);
    EXPECT_EQ(after6[0].participant, 5);
    EXPECT_EQ(after6[0].text, "E1");
    // The marked participant is the one at position 1 of the next heat.
    for (int h = 1; h < 12; ++h) {
        auto mark = entryMarks(h, 7, o, false, "E");
        ASSERT_EQ(mark.size(), 1u);
        EXPECT_EQ(heatPlacements(h + 1, 7, o, false).back().participant, mark[0].participant);
    }
    EXPECT_TRUE(entryMarks(3, 4, o, false, "E").empty()); // N >= P: nobody
    auto spp = entryMarks(6, 6, o, true, "E");
    ASSERT_EQ(spp.size(), 1u);
    EXPECT_EQ(spp[0].participant, 1);
    EXPECT_EQ(spp[0].text, "E");
}

TEST(LaneRotation, LapFractionPolicyOfTwoPassesWithSixParticipantsOnFourLanes) {
    for (int h = 1; h <= 9; ++h) {
        EXPECT_EQ(lapFractionEntryAfterHeat(2, h, 6, 4), LapFractionEntry::None) << h;
    }
    EXPECT_EQ(lapFractionEntryAfterHeat(2, 10, 6, 4), LapFractionEntry::LastLaneOnly);
    EXPECT_EQ(lapFractionEntryAfterHeat(2, 11, 6, 4), LapFractionEntry::LastLaneOnly);
    EXPECT_EQ(lapFractionEntryAfterHeat(2, 12, 6, 4), LapFractionEntry::Full);
    EXPECT_TRUE(raceHeatAllowed(2, 12, 6));
    EXPECT_FALSE(raceHeatAllowed(2, 13, 6));
    EXPECT_TRUE(raceHeatAllowed(0, 500, 6));
    EXPECT_EQ(lapFractionEntryAfterHeat(-1, 1, 6, 4), LapFractionEntry::Full);
    EXPECT_EQ(lapFractionEntryAfterHeat(0, 12, 6, 4), LapFractionEntry::None);
}

} // namespace
} // namespace cronovolta
