#include "heat_fixture.h"

#include "results/classification.h"
#include "results/results_source.h"
#include "storage/penalty_record.h"

namespace cronovolta::test {
namespace {

using StandingsPenalties = HeatFixture;

// A race's standings rank by the laps less the penalty laps, as the classification does,
// from the moment the penalties are stored; the heat rows keep the laps driven.
TEST_F(StandingsPenalties, RaceStandingsAndClassificationNameTheSameLeader) {
    setTrack({1, 2, 3, 4});
    writeSeries(ProgrammeType::Race, names(4));
    open();
    start(kT0);
    // Stored while the heat runs, as from the penalties screen.
    const int penalised = engine->driverOnLane(1);
    ASSERT_GT(penalised, 0);
    ASSERT_TRUE(writePenalties(seriesPath(".PEN"),
                               {{static_cast<std::int16_t>(penalised), 2.0f, "Sortida avançada"}}));
    engine->reloadPenalties();
    const int crossings[] = {7, 6, 4, 3}; // lanes 1 to 4
    for (int lap = 0; lap < 7; ++lap) {
        for (int l = 1; l <= 4; ++l) {
            if (lap < crossings[l - 1]) {
                cross(l, kT0 + 1.0 + lap * 6.0 + l * 0.5);
            }
        }
    }
    endHeat(kT0 + 60.0);
    ASSERT_EQ(heatCounter(), 1);

    const StandingsGrid& grid = engine->standings();
    std::vector<std::string> shown;
    std::vector<int> order;
    for (int r = 1; r <= 4; ++r) {
        shown.push_back(grid.shownText(r, col::SeriesLaps) + " " + grid.text(r, col::GapLeader));
        order.push_back(static_cast<int>(grid.value(r, col::RaceNumber)));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"6 ", "5 -1v", "4 -2v", "3 -3v"}));
    EXPECT_EQ(order[1], penalised);
    EXPECT_EQ(grid.text(2, col::SeriesLaps), "7");

    for (const auto& r : resultBlock(resultFile(), 1).value_or(std::vector<HeatResultRecord>{})) {
        if (r.participant == penalised) {
            EXPECT_FLOAT_EQ(r.seriesLaps, 7.0f);
        }
    }
    std::vector<std::string> problems;
    Classification classification(track);
    SeriesData data = loadSeriesData(eventDir(), ProgrammeType::Race, 1, problems);
    data.seriesNumber = 1;
    classification.addSeries(data, 0);
    classification.finishLoad();
    classification.rank(kTotalLaps);
    std::vector<int> ranked;
    for (const auto& row : classification.rows()) {
        ranked.push_back(row.participant);
    }
    EXPECT_EQ(ranked, order);

    // Taking the penalty back restores the order of the laps driven.
    ASSERT_TRUE(writePenalties(seriesPath(".PEN"), {}));
    engine->reloadPenalties();
    EXPECT_EQ(static_cast<int>(grid.value(1, col::RaceNumber)), penalised);
    EXPECT_EQ(grid.shownText(1, col::SeriesLaps), "7");
}

} // namespace
} // namespace cronovolta::test
