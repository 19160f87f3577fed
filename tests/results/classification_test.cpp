#include "results/classification.h"
#include "results/laps_text.h"
#include "storage/number_format.h"

#include <gtest/gtest.h>

#include <cmath>

#include "series_builder.h"

using namespace cronovolta;
using cronovolta::test::SeriesBuilder;
using cronovolta::test::trackWith;

namespace {

std::vector<std::string> column(const Classification& c, int col) {
    std::vector<std::string> out;
    for (const auto& row : c.rows()) {
        if (row.visible) {
            out.push_back(row.cells[static_cast<std::size_t>(col)]);
        }
    }
    return out;
}

Classification ranked(const TrackConfig& track, SeriesBuilder& series, int criterion) {
    Classification c(track);
    c.addSeries(series.data(), 0);
    c.finishLoad();
    c.rank(criterion);
    return c;
}

} // namespace

TEST(Classification, EqualLapsAreOrderedByTheTieKeyAndShareARankOnAZeroGap) {
    SeriesBuilder s(1, {"Anna", "Bernat", "Carles", "Dolors"});
    s.heat({{4, 9, 99.0f, 3.3f, 4, 9, 3.3f},
            {3, 10, 101.5f, 3.2f, 3, 10, 3.2f},
            {2, 10, 101.5f, 3.1f, 2, 10, 3.1f},
            {1, 10, 100.0f, 3.0f, 1, 10, 3.0f}});
    auto c = ranked(trackWith(4), s, kTotalLaps);
    EXPECT_EQ(column(c, kColName)[0], "Anna");
    EXPECT_EQ(column(c, kColRank), (std::vector<std::string>{"1.-", "2.-", "2.-", "4.-"}));
    EXPECT_EQ(column(c, kColGapFirst), (std::vector<std::string>{"", "+1.5s", "+1.5s", "-1v"}));
    EXPECT_EQ(column(c, kColGapPrevious), (std::vector<std::string>{"", "", "+0.0s", "-1v"}));
    EXPECT_EQ(column(c, kColTotalTie)[0], "-100.00");

    // Two leaders on the same crossing share rank 1.
    SeriesBuilder t(1, {"Anna", "Bernat"});
    t.heat({{1, 10, 100.0f, 3.0f, 1, 10, 3.0f}, {2, 10, 100.0f, 3.0f, 2, 10, 3.0f}});
    auto d = ranked(trackWith(2), t, kTotalLaps);
    EXPECT_EQ(column(d, kColRank), (std::vector<std::string>{"1.-", "1.-"}));
}

TEST(Classification, LapGapsUseTheTrackResolutionAndCapTimeGaps) {
    SeriesBuilder s(1, {"Anna", "Bernat", "Carles"});
    s.heat({{1, 12, 100.0f, 3.0f, 1, 12, 3.0f},
            {2, 12, 250.0f, 3.0f, 2, 12, 3.0f},
            {3, 10.5f, 90.0f, 3.0f, 3, 10.5f, 3.0f}});
    auto c = ranked(trackWith(3, 3), s, kTotalLaps);
    EXPECT_EQ(column(c, kColTotal), (std::vector<std::string>{"12", "12", "10.500"}));
    EXPECT_EQ(column(c, kColGapFirst), (std::vector<std::string>{"", "+99.9s", "-1.500v"}));
    EXPECT_EQ(column(c, kColGapPrevious)[2], "-1.500v");
}

TEST(Classification, PenaltiesAreSubtractedFromEveryRowOfTheParticipant) {
    SeriesBuilder s(1, {"Anna", "Bernat"});
    s.heat({{1, 15, 50.0f, 3.0f, 1, 15, 3.0f}, {2, 14, 50.0f, 3.0f, 2, 14, 3.0f}})
        .heat({{1, 30, 100.0f, 3.0f, 2, 15, 3.0f}, {2, 29, 100.0f, 3.0f, 1, 15, 3.0f}})
        .penalty(1, 1.0f)
        .penalty(1, 2.0f); // the last record of a participant counts
    Classification c(trackWith(2));
    c.addSeries(s.data(), 0);
    c.finishLoad();
    c.rank(kTotalLaps);
    std::vector<std::string> anna;
    for (const auto& row : c.rows()) {
        if (row.participant == 1) {
            anna.push_back(row.cells[kColTotal] + "/" + row.cells[kColPenalty]);
        } else {
            EXPECT_EQ(row.cells[kColPenalty], "");
        }
    }
    EXPECT_EQ(anna, (std::vector<std::string>{"28/-2", "13/-2"}));
    EXPECT_TRUE(c.penaltiesPresent());
    EXPECT_EQ(c.columnWidth(kColPenalty), 500);
    c.rank(kFastestLap);
    EXPECT_EQ(c.columnWidth(kColPenalty), 0);
    EXPECT_EQ(c.columnWidth(kColFastest), 1000);
    EXPECT_EQ(c.columnWidth(kColTotal), 0);

    // A half-lap penalty on a track without comes is not rounded away.
    SeriesBuilder h(1, {"Anna", "Bernat"});
    h.heat({{1, 30, 100.0f, 3.0f, 1, 30, 3.0f}, {2, 29, 90.0f, 3.0f, 2, 29, 3.0f}})
        .penalty(1, 1.5f);
    auto d = ranked(trackWith(2), h, kTotalLaps);
    EXPECT_EQ(column(d, kColName), (std::vector<std::string>{"Bernat", "Anna"}));
    EXPECT_EQ(column(d, kColTotal), (std::vector<std::string>{"29", "28.5"}));
    EXPECT_EQ(column(d, kColPenalty)[1], "-1.5");
    EXPECT_EQ(column(d, kColGapFirst)[1], "-0.5v");

    // A stored penalty that is not above 0 adds no laps.
    SeriesBuilder bad(1, {"Anna", "Bernat"});
    bad.heat({{1, 30, 100.0f, 3.0f, 1, 30, 3.0f}, {2, 29, 90.0f, 3.0f, 2, 29, 3.0f}})
        .penalty(1, -2.0f)
        .penalty(2, std::nanf(""));
    auto e = ranked(trackWith(2), bad, kTotalLaps);
    EXPECT_EQ(column(e, kColTotal), (std::vector<std::string>{"30", "29"}));
    EXPECT_EQ(column(e, kColPenalty), (std::vector<std::string>{"", ""}));
    EXPECT_FALSE(e.penaltiesPresent());

    SeriesBuilder none(1, {"Anna", "Bernat"});
    none.heat({{1, 3, 10.0f, 3.0f, 1, 3, 3.0f}});
    EXPECT_EQ(ranked(trackWith(2), none, kTotalLaps).columnWidth(kColPenalty), 0);
}

TEST(Classification, RowsWithoutADrivenHeatOrWithoutLapsAreDropped) {
    SeriesBuilder s(1, {"Anna", "Bernat", ""});
    s.heat({{1, 5, 10.0f, 3.2f, 1, 5, 3.2f},
            {2, 0, 0.0f, 0.0f, 0, 0, 0.0f},        // waited: no row, no heat
            {3, 5, 10.0f, 3.2f, 2, 5, 3.2f}})      // empty name
        .heat({{2, 0, 0.0f, 99.9999f, 2, 0, 0.0f}, // drove without laps: counted, not listed
               {1, 9, 20.0f, 3.1f, 0, 4, 99.95f}}) // lane 0, no heat lap: dropped
        .heat({{2, 4, 30.0f, 3.3f, 1, 4, 3.3f},
               {7, 4, 30.0f, 3.3f, 1, 4, 3.3f}, // no such entrant
               {-2, 4, 30.0f, 3.3f, 1, 4, 3.3f}});
    Classification c(trackWith(2));
    c.addSeries(s.data(), 0);
    c.finishLoad();
    ASSERT_EQ(c.rows().size(), 2u);
    // Rows of participants the list does not hold are left out, but said.
    ASSERT_EQ(c.issues().size(), 1u);
    EXPECT_EQ(c.issues()[0].kind, LoadIssue::UnknownParticipants);
    EXPECT_EQ(c.issues()[0].count, 2);
    EXPECT_EQ(c.issues()[0].participant, 7);
    EXPECT_EQ(c.issues()[0].heat, 3);
    for (const auto& row : c.rows()) {
        EXPECT_EQ(row.cells[kColHeat], row.participant == 1 ? "1" : "2") << row.name;
    }
    EXPECT_EQ(c.maxHeat(), 2);
}

TEST(Classification, PassesCountTheTurnsOfAParticipantOnALane) {
    SeriesBuilder s(1, {"Anna", "Bernat"});
    for (int h = 1; h <= 4; ++h) {
        const int laneA = h % 2 == 1 ? 1 : 2;
        s.heat({{1, 5.0f * h, 10.0f * h, 3.0f, laneA, 5, 3.0f},
                {2, 4.0f * h, 10.0f * h, 3.1f, 3 - laneA, 4, 3.1f}});
    }
    // Its first row follows Bernat's last turn on lane 2 in the pass numbering.
    SeriesBuilder other(2, {"", "Carles"});
    other.heat({{2, 5, 10.0f, 3.0f, 2, 5, 3.0f}});
    Classification c(trackWith(2));
    c.addSeries(s.data(), 4);
    c.addSeries(other.data(), 3);
    c.finishLoad();
    std::vector<std::string> anna;
    for (const auto& row : c.rows()) {
        if (row.seriesNumber == 1 && row.participant == 1) {
            anna.push_back(row.cells[kColHeat] + ":" + row.cells[kColLane] + ":" +
                           row.cells[kColPass]);
        }
        if (row.seriesNumber == 2) {
            EXPECT_EQ(row.cells[kColPass], "1"); // a new series starts a new turn
            EXPECT_EQ(row.colourSlot, 3);
        }
    }
    // finishLoad leaves the list ordered by pass
    EXPECT_EQ(anna, (std::vector<std::string>{"1:1:1", "2:2:1", "3:1:2", "4:2:2"}));
    EXPECT_EQ(c.lanes(), (std::vector<int>{1, 2}));
    EXPECT_EQ(c.passes(), (std::vector<int>{1, 2}));
    EXPECT_EQ(c.maxHeat(), 4);
}

TEST(Classification, LapTimeCriteriaSortAscendingWithMissingLapsLast) {
    SeriesBuilder s(1, {"Anna", "Bernat", "Carles"});
    s.heat({{1, 10, 60.0f, 3.1f, 1, 10, 3.25f, 70.0f},
            {2, 11, 50.0f, 0.0f, 2, 11, 0.0f},
            {3, 9, 50.0f, 3.1f, 3, 9, 3.25f}});
    auto c = ranked(trackWith(3), s, kFastestLap);
    EXPECT_EQ(column(c, kColName), (std::vector<std::string>{"Carles", "Anna", "Bernat"}));
    EXPECT_EQ(column(c, kColFastest)[2], "99.9999");
    EXPECT_EQ(column(c, kColRank), (std::vector<std::string>{"1.-", "1.-", "3.-"}));
    EXPECT_EQ(column(c, kColGapFirst), (std::vector<std::string>{"", "+0.0000", "+96.8999"}));

    // The heat key is field 14 when set: Anna's 70 loses to Carles's 50.
    c.rank(kHeatFastestLap);
    EXPECT_EQ(column(c, kColName), (std::vector<std::string>{"Carles", "Anna", "Bernat"}));
    EXPECT_EQ(column(c, kColHeatFastestTie), (std::vector<std::string>{"50.00", "70.00", "50.00"}));

    c.rank(kHeatLaps);
    EXPECT_EQ(column(c, kColName), (std::vector<std::string>{"Bernat", "Anna", "Carles"}));
    EXPECT_EQ(column(c, kColGapFirst), (std::vector<std::string>{"", "-1v", "-2v"}));
}

TEST(Classification, TieCellsAreTheNumberFormatOfTheKeyAndOfItsNegation) {
    // Keys that round to zero, to an even half and across the sign.
    const float keys[] = {0.004f, -0.004f, 12.345f, -3.5f, 99.995f, 0.0f, 36000.125f, 2.675f};
    SeriesBuilder s(1, {"Anna"});
    for (float key : keys) {
        s.heat({{1, 5, key, 3.0f, 1, 5, 3.0f, key == 0.0f ? 0.0f : -key}});
    }
    auto c = ranked(trackWith(1), s, kTotalLaps);
    ASSERT_EQ(c.rows().size(), std::size(keys));
    for (const auto& row : c.rows()) {
        const float key = keys[row.heat - 1];
        const float key2 = key == 0.0f ? key : -key;
        EXPECT_EQ(row.cells[kColTotalTie], formatSingle(-key, "0.00")) << key;
        EXPECT_EQ(row.cells[kColFastestTie], formatSingle(key, "0.00")) << key;
        EXPECT_EQ(row.cells[kColHeatLapsTie], formatSingle(-key2, "0.00")) << key;
        EXPECT_EQ(row.cells[kColHeatFastestTie], formatSingle(key2, "0.00")) << key;
        EXPECT_EQ(row.values[kColTotalTie], cellValue(formatSingle(-key, "0.00"))) << key;
    }
}

TEST(Classification, ABrokenHeatFileKeepsTheRowsReadBeforeTheBreak) {
    auto base = [] {
        SeriesBuilder s(3, {"Anna", "Bernat"});
        s.heat({{1, 5, 10.0f, 3.0f, 1, 5, 3.0f}, {2, 4, 10.0f, 3.1f, 2, 4, 3.1f}})
            .heat({{1, 9, 20.0f, 3.0f, 2, 4, 3.0f}, {2, 9, 21.0f, 3.1f, 1, 5, 3.1f}});
        return s;
    };
    struct Case {
        const char* what;
        void (*damage)(SeriesData&);
        LoadIssue::Kind kind;
        int heat;
        std::size_t rows;
    };
    const Case cases[] = {
        {"ends before a heat", [](SeriesData& d) { d.participants.heatsDone = 3; },
         LoadIssue::HeatMissing, 3, 4},
        {"ends inside a heat", [](SeriesData& d) { d.heats.pop_back(); }, LoadIssue::RecordsMissing,
         2, 3},
        {"header in a heat", [](SeriesData& d) { d.heats[2] = HeatResultRecord{}; },
         LoadIssue::UnexpectedRecord, 1, 1},
        {"wrong heat number", [](SeriesData& d) { d.heats[3].lane = 5; }, LoadIssue::WrongHeader, 2,
         2},
        {"counted more records", [](SeriesData& d) { d.heats[0].adjustments = 3; },
         LoadIssue::UnexpectedRecord, 1, 2},
        {"missing file",
         [](SeriesData& d) {
             d.heats.clear();
             d.heatFileMissing = true;
         },
         LoadIssue::HeatFileMissing, 1, 0},
        {"negative heat counter", [](SeriesData& d) { d.participants.heatsDone = -4; },
         LoadIssue::NegativeHeatCounter, -4, 0},
        {"no participant list", [](SeriesData& d) { d.participants = ParticipantList{}; },
         LoadIssue::NoParticipants, 0, 0},
        {"participant not in the list", [](SeriesData& d) { d.heats[1].participant = 32767; },
         LoadIssue::UnknownParticipants, 1, 3},
        {"participant twice in a heat", [](SeriesData& d) { d.heats[5].participant = 1; },
         LoadIssue::RepeatedRows, 2, 3},
    };
    for (const auto& k : cases) {
        auto s = base();
        k.damage(s.data());
        Classification c(trackWith(2));
        c.addSeries(s.data(), 0);
        c.finishLoad();
        c.rank(kTotalLaps);
        EXPECT_EQ(c.rows().size(), k.rows) << k.what;
        ASSERT_EQ(c.issues().size(), 1u) << k.what;
        EXPECT_EQ(c.issues()[0].kind, k.kind) << k.what;
        EXPECT_EQ(c.issues()[0].heat, k.heat) << k.what;
        EXPECT_EQ(c.issues()[0].seriesNumber, 3) << k.what;
        EXPECT_FALSE(describeLoadIssue(c.issues()[0], "CRS003.DAD", 0).empty());
        EXPECT_FALSE(describeLoadIssue(c.issues()[0], "CRS003.DAD", 1).empty());
    }
    SeriesData unknown = base().data();
    unknown.heats[1].participant = 32767;
    unknown.heats[5].participant = -2;
    Classification c(trackWith(2));
    c.addSeries(unknown, 0);
    ASSERT_EQ(c.issues().size(), 1u);
    EXPECT_EQ(describeLoadIssue(c.issues()[0], "CRS003.DAD"),
              "CRS003.DAD holds 2 rows of participants that CRS003.PAR does not list (the first: "
              "participant 32767 in heat 1); they are left out");
}

// However many heats a damaged file holds, the list stops at its bound and says where.
TEST(Classification, AHostileHeatFileFillsTheListOnlyToItsBound) {
    SeriesData data;
    data.seriesNumber = 1;
    data.participants.heatsDone = 32767;
    data.heatFileMissing = false;
    for (int p = 1; p <= 99; ++p) {
        data.participants.names.push_back("P" + std::to_string(p));
    }
    for (int h = 1; h <= 1000; ++h) {
        HeatResultRecord header;
        header.lane = static_cast<std::int16_t>(h);
        header.adjustments = 99;
        data.heats.push_back(header);
        for (int p = 1; p <= 99; ++p) {
            HeatResultRecord row;
            row.participant = static_cast<std::int16_t>(p);
            row.lane = static_cast<std::int16_t>(p % 8 + 1);
            row.seriesLaps = static_cast<float>(h);
            row.heatLaps = 12.0f;
            row.fastestLap = row.heatFastestLap = 3.25f;
            data.heats.push_back(row);
        }
    }
    Classification c(trackWith(8));
    c.addSeries(data, 0);
    data.seriesNumber = 2;
    c.addSeries(data, 0);
    c.finishLoad();
    c.rank(kTotalLaps);
    EXPECT_EQ(c.rows().size(), kMaxClassificationRows);
    ASSERT_EQ(c.issues().size(), 2u);
    EXPECT_EQ(c.issues()[0].kind, LoadIssue::TooManyRows);
    EXPECT_EQ(c.issues()[0].heat, static_cast<int>(kMaxClassificationRows / 99 + 1));
    EXPECT_EQ(describeLoadIssue(c.issues()[0], "CRS001.DAD"),
              "the classification holds at most 32000 rows; the rows of CRS001.DAD from heat 324 "
              "on are left out");
    EXPECT_EQ(c.issues()[1].seriesNumber, 2);
    EXPECT_EQ(c.issues()[1].heat, 1);
    EXPECT_EQ(c.rows().front().cells[kColTotal], "324");
}

TEST(LapsText, WholeLapsWithoutLapFractionsAndTheResolutionsDecimalsWithThem) {
    auto lapFraction = trackWith(2, 2);
    EXPECT_EQ(lapsText(25, lapFraction, true), "25");
    EXPECT_EQ(lapsText(25.37f, lapFraction, true), "25.37");
    EXPECT_EQ(lapsText(25.5, lapFraction, true), "25.50");
    EXPECT_EQ(lapsText(0, lapFraction, false), "");
    EXPECT_EQ(lapsText(0, lapFraction, true), "0");
    EXPECT_EQ(lapsText(-2, trackWith(2), false), "-2");
    EXPECT_TRUE(gapIsZero("+0.0s"));
    EXPECT_TRUE(gapIsZero("+0.0000"));
    EXPECT_FALSE(gapIsZero("+0.1s"));
    EXPECT_FALSE(gapIsZero("-1v"));
}
