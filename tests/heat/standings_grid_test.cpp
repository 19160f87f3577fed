#include "heat/standings_grid.h"
#include "heat/standings_records.h"

#include <gtest/gtest.h>

namespace cronovolta {
namespace {

struct GridFixture : ::testing::Test {
    StandingsGrid grid;
    TrackConfig config = defaultTrackConfig();

    void row(int r, int raceNumber, std::initializer_list<std::pair<int, const char*>> cells) {
        grid.setText(r, col::RaceNumber, std::to_string(raceNumber));
        grid.setText(r, col::Name, "P" + std::to_string(raceNumber));
        for (auto [c, t] : cells) {
            grid.setText(r, c, t);
        }
    }
    void resort(ProgrammeType programmeType, int current = 0) {
        grid.resort({programmeType, &config, {}, current});
    }
    std::vector<std::string> column(int c) {
        std::vector<std::string> out;
        for (int r = 1; r <= grid.rowCount(); ++r) {
            out.push_back(grid.text(r, c));
        }
        return out;
    }
};

using V = std::vector<std::string>;

TEST_F(GridFixture, RaceOrdersByLapsThenEarlierCrossingWithLapAndTimeGaps) {
    grid.reset(3);
    row(1, 3, {{col::SeriesLaps, "9"}, {col::OrderTime, "-280.00"}});
    row(2, 2, {{col::SeriesLaps, "10"}, {col::OrderTime, "-300.60"}});
    row(3, 1, {{col::SeriesLaps, "10"}, {col::OrderTime, "-300.10"}});
    resort(ProgrammeType::Race);
    EXPECT_EQ(column(col::RaceNumber), (V{"1", "2", "3"}));
    EXPECT_EQ(column(col::Rank), (V{"1", "2", "3"}));
    EXPECT_EQ(column(col::GapLeader), (V{"", "+0.5s", "-1v"}));
    EXPECT_EQ(column(col::GapPrevious), (V{"", "", "-1v"}));
}

TEST_F(GridFixture, RaceGapsFollowChangesAndCapAtNinetyNineSeconds) {
    grid.reset(3);
    row(1, 1, {{col::SeriesLaps, "10"}, {col::OrderTime, "-100.00"}});
    row(2, 2, {{col::SeriesLaps, "10"}, {col::OrderTime, "-250.00"}});
    row(3, 3, {{col::SeriesLaps, "7"}, {col::OrderTime, "-90.00"}});
    resort(ProgrammeType::Race);
    EXPECT_EQ(column(col::GapLeader), (V{"", "+99.9s", "-3v"}));
    EXPECT_EQ(column(col::GapPrevious), (V{"", "", "-3v"}));
    // The leader crosses again: every gap to it changes.
    grid.setText(1, col::SeriesLaps, "11");
    grid.setText(1, col::OrderTime, "-110.00");
    resort(ProgrammeType::Race);
    EXPECT_EQ(column(col::GapLeader), (V{"", "-1v", "-4v"}));
    grid.setText(2, col::SeriesLaps, "11");
    grid.setText(2, col::OrderTime, "-111.30");
    resort(ProgrammeType::Race);
    EXPECT_EQ(column(col::GapLeader), (V{"", "+1.3s", "-4v"}));
}

TEST_F(GridFixture, RaceParticipantsWithoutLapsKeepEntryOrderAndNoRank) {
    grid.reset(3);
    for (int i = 1; i <= 3; ++i) {
        row(i, i, {{col::OrderTime, std::to_string(-i).c_str()}});
    }
    grid.setText(3, col::SeriesLaps, "1");
    grid.setText(3, col::OrderTime, "-12.00");
    resort(ProgrammeType::Race);
    EXPECT_EQ(column(col::RaceNumber), (V{"3", "1", "2"}));
    EXPECT_EQ(column(col::Rank), (V{"1", "", ""}));
    EXPECT_EQ(column(col::GapLeader), (V{"", "", ""}));
}

TEST_F(GridFixture, OfficialPracticeRanksByFastestLapWithGaps) {
    grid.reset(4);
    row(1, 1, {{col::OrderTime, "1"}});
    row(2, 2, {{col::OrderTime, "0"}, {col::Fastest, "5.5000"}, {col::FastestTime, "30"}});
    row(3, 3, {{col::OrderTime, "0"}, {col::Fastest, "5.2000"}, {col::FastestTime, "50"}});
    row(4, 4, {{col::OrderTime, "0"}, {col::Fastest, "5.4000"}, {col::FastestTime, "20"}});
    resort(ProgrammeType::OfficialPractice);
    EXPECT_EQ(column(col::RaceNumber), (V{"3", "4", "2", "1"}));
    EXPECT_EQ(column(col::Rank), (V{"1", "2", "3", ""}));
    EXPECT_EQ(column(col::GapLeader), (V{"", "+0.2000", "+0.3000", ""}));
    EXPECT_EQ(column(col::GapPrevious), (V{"", "", "+0.1000", ""}));
}

TEST_F(GridFixture, EqualFastestLapsAreOrderedByWhenTheyWereSet) {
    grid.reset(2);
    row(1, 1, {{col::OrderTime, "0"}, {col::Fastest, "5.2000"}, {col::FastestTime, "80.5"}});
    row(2, 2, {{col::OrderTime, "0"}, {col::Fastest, "5.2000"}, {col::FastestTime, "40.25"}});
    resort(ProgrammeType::OfficialPractice);
    EXPECT_EQ(column(col::RaceNumber), (V{"2", "1"}));
    EXPECT_EQ(column(col::GapLeader), (V{"", "+0.0000"}));
}

TEST_F(GridFixture, HeatRanksFromTheHeatKeys) {
    grid.reset(4);
    // Race: key 1 is 1 - heat laps, key 2 the crossing time; numbering stops at a 0.
    row(1, 1, {{col::SeriesLaps, "5"}, {col::HeatKey1, "-4"}, {col::HeatKey2, "60"}});
    row(2, 2, {{col::SeriesLaps, "6"}, {col::HeatKey1, "-5"}, {col::HeatKey2, "70"}});
    row(3, 3, {{col::SeriesLaps, "5"}, {col::HeatKey1, "-4"}, {col::HeatKey2, "55"}});
    row(4, 4, {{col::SeriesLaps, "1"}, {col::HeatRank, "9"}});
    resort(ProgrammeType::Race);
    EXPECT_EQ(grid.text(grid.findParticipant(2), col::HeatRank), "1");
    EXPECT_EQ(grid.text(grid.findParticipant(3), col::HeatRank), "2");
    EXPECT_EQ(grid.text(grid.findParticipant(1), col::HeatRank), "3");
    EXPECT_EQ(grid.text(grid.findParticipant(4), col::HeatRank), "");
    // Official practice: rows without a heat time are passed over.
    grid.reset(3);
    row(1, 1, {{col::HeatKey1, "5.3"}, {col::HeatKey2, "10"}});
    row(2, 2, {});
    row(3, 3, {{col::HeatKey1, "5.1"}, {col::HeatKey2, "10"}});
    resort(ProgrammeType::OfficialPractice);
    EXPECT_EQ(grid.text(grid.findParticipant(3), col::HeatRank), "1");
    EXPECT_EQ(grid.text(grid.findParticipant(1), col::HeatRank), "2");
    EXPECT_EQ(grid.text(grid.findParticipant(2), col::HeatRank), "");
}

TEST_F(GridFixture, ColoursCompareTheTextsShown) {
    ColourSlots slots = ColourSlots::from({12, 10, 15, 14, 11});
    grid.reset(3);
    row(1, 1, {{col::Fastest, "5.2000"}, {col::LastLap, "5.2000"}, {col::HeatFastest, "5.2000"}});
    row(2, 2, {{col::Fastest, "5.3000"}, {col::LastLap, "5.4000"}, {col::HeatFastest, "5.3000"}});
    row(3, 3, {{col::Fastest, "5.1000"}, {col::LastLap, "5.6000"}, {col::HeatFastest, "5.6000"}});
    grid.colour(slots, "5.2000");
    EXPECT_EQ(grid.background(1), 14); // odd rows slot 4
    EXPECT_EQ(grid.background(2), 15);
    EXPECT_EQ(grid.cellColour(1, col::LastLap), 12);
    EXPECT_EQ(grid.cellColour(1, col::HeatFastest), 12);
    EXPECT_EQ(grid.cellColour(1, col::Fastest), 12);
    EXPECT_EQ(grid.cellColour(2, col::LastLap), 15);     // no match: the row's colour
    EXPECT_EQ(grid.cellColour(2, col::HeatFastest), 11); // equals VRàpida: slot 5
    EXPECT_EQ(grid.cellColour(2, col::Fastest), 11);
    EXPECT_EQ(grid.cellColour(3, col::LastLap), 10); // equals the heat's best: slot 2
    EXPECT_EQ(grid.cellColour(3, col::HeatFastest), 10);
    EXPECT_EQ(grid.cellColour(3, col::Fastest), 14);
    // Same time, other text: no match.
    grid.setText(3, col::LastLap, "5.1");
    grid.colour(slots, "");
    EXPECT_EQ(grid.cellColour(3, col::LastLap), 14);
}

TEST_F(GridFixture, LastCrossingIsKeptInView) {
    grid.reset(40);
    for (int r = 1; r <= 40; ++r) {
        row(r, r, {});
    }
    grid.setText(30, col::Lane, "7");
    grid.keepInView(7);
    EXPECT_EQ(grid.topRow(), 22);
    grid.keepInView(7); // already in view
    EXPECT_EQ(grid.topRow(), 22);
    grid.setText(5, col::Lane, "8");
    grid.keepInView(8);
    EXPECT_EQ(grid.topRow(), 1);
    grid.scrollPage();
    EXPECT_EQ(grid.topRow(), 25);
    grid.scrollPage(); // 15 rows remain below: back to the top
    EXPECT_EQ(grid.topRow(), 1);
}

TEST_F(GridFixture, StoredRecordsComeBackAsTheSameTexts) {
    grid.reset(1);
    HeatResultRecord rec;
    rec.participant = 4;
    rec.seriesLaps = 23;
    rec.crossingTime = 301.25f;
    rec.fastestLap = 5.1234f;
    rec.fastestLane = 3;
    rec.lastLaneRank = -2;
    rec.lane = 3;
    rec.heatLaps = 12;
    rec.adjustments = -1;
    rec.lastLap = 1.0f;
    rec.heatFastestLap = 5.1234f;
    rec.heatRank = 2;
    rec.sortKey1 = -11;
    rec.sortKey2 = 301.25f;
    fillStandingsRow(grid, 1, rec, "Anna", ProgrammeType::Race, config);
    EXPECT_EQ(grid.text(1, col::OrderTime), "-301.25");
    EXPECT_EQ(grid.text(1, col::LastLap), "+1");
    EXPECT_EQ(grid.text(1, col::Adjustments), "-1");
    EXPECT_EQ(grid.text(1, col::Fastest), "5.1234");
    EXPECT_EQ(grid.text(1, col::HeatRank), "2");
    EXPECT_TRUE(grid.marker(1));
    EXPECT_EQ(recordFromStandingsRow(grid, 1, ProgrammeType::Race, 3), rec);
    // A blank cell reads 0; a rank of the lane that crossed last is stored negated.
    rec.adjustments = 0;
    rec.lastLap = 0;
    fillStandingsRow(grid, 1, rec, "Anna", ProgrammeType::Race, config);
    EXPECT_EQ(grid.text(1, col::Adjustments), " ");
    EXPECT_EQ(grid.text(1, col::LastLap), " ");
    auto back = recordFromStandingsRow(grid, 1, ProgrammeType::Race, 5);
    EXPECT_EQ(back.lastLaneRank, 2);
    EXPECT_EQ(back.lastLap, 0.0f);
    // Other programmes keep the time the fastest lap was set, rounded as shown.
    fillStandingsRow(grid, 1, rec, "Anna", ProgrammeType::OfficialPractice, config);
    EXPECT_EQ(grid.text(1, col::OrderTime), "0");
    EXPECT_EQ(grid.text(1, col::FastestTime), "301.25");
}

} // namespace
} // namespace cronovolta
