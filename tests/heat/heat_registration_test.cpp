#include "heat_fixture.h"

#include "storage/number_format.h"

namespace cronovolta::test {
namespace {

using Registration = HeatFixture;

TEST_F(Registration, TooShortLapIsRejectedAndItsTimeCarriedIntoTheNextLap) {
    setTrack({1, 2, 3, 4}, 3.0f);
    writeSeries(ProgrammeType::OfficialPractice, names(4));
    open();
    start();
    cross(2, kT0 + 10.0, 7.7f);
    EXPECT_EQ(lane(2).rows[1], "+1");
    EXPECT_EQ(lane(2).rows[0], "1");
    cross(2, kT0 + 11.2, 1.2f);
    EXPECT_EQ(lane(2).rows[0], "1");
    ASSERT_EQ(engine->panel().errors.size(), 1u);
    EXPECT_EQ(engine->panel().errors[0], "-2  (1)  0:00:00");
    EXPECT_TRUE(engine->panel().errorsVisible);
    cross(2, kT0 + 15.2, 4.0f);
    EXPECT_EQ(lane(2).rows[0], "2");
    ASSERT_EQ(lane(2).rows.size(), 3u);
    EXPECT_EQ(lane(2).rows[2], "5.2000");

    auto j = journal();
    ASSERT_EQ(j.size(), 4u);
    EXPECT_EQ(j[1].lapTime, 99.9999f);
    EXPECT_EQ(j[1].laps, 1);
    EXPECT_EQ(j[2].laps, 0);
    EXPECT_FLOAT_EQ(j[2].lapTime, 1.2f);
    EXPECT_EQ(j[3].laps, 2);
    EXPECT_EQ(formatSingle(j[3].lapTime, "0.0000"), "5.2000");
    EXPECT_EQ(j[3].fastestFlag, -1);
    EXPECT_EQ(j[3].participant, engine->driverOnLane(2));
}

TEST_F(Registration, RejectionsAreNumberedPerLaneWithTheClockShown) {
    setTrack({1, 2, 3}, 3.0f);
    writeSeries(ProgrammeType::Race, names(3));
    open();
    start();
    cross(3, kT0 + 1);
    cross(1, kT0 + 1);
    engine->tick(kT0 + 83.2);
    cross(3, kT0 + 83.5, 0.5f);
    cross(1, kT0 + 83.6, 0.5f);
    cross(3, kT0 + 83.7, 0.2f);
    EXPECT_EQ(
        engine->panel().errors,
        (std::vector<std::string>{"-3  (1)  0:01:23", "-1  (1)  0:01:23", "-3  (2)  0:01:23"}));
    EXPECT_EQ(engine->panel().selectedError, 2);
}

TEST_F(Registration, LapTimeFromTheCounterOrFromThePcClock) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::OfficialPractice, names(2));
    open();
    start();
    cross(1, kT0 + 5.0);
    cross(1, kT0 + 105.5, 12.3456f); // beyond 99 s: the counter's seconds wrapped
    EXPECT_EQ(lane(1).rows.back(), "100.5000");
    cross(1, kT0 + 117.0); // a manual press: the PC time since the previous crossing
    EXPECT_EQ(lane(1).rows.back(), "11.5000");
    cross(1, kT0 + 129.0, 12.3456f);
    EXPECT_EQ(lane(1).rows.back(), "12.3456");
}

// The first report after a lost link: the lap counts with the PC's time, which no best lap
// takes, however short it is.
TEST_F(Registration, UntrustedCounterTimeCountsTheLapButNeverMakesABestLap) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    open();
    start(kT0);
    cross(1, kT0 + 1.0);
    cross(1, kT0 + 6.0, 5.0f);
    cross(1, kT0 + 7.5, kCounterTimeUntrusted);
    cross(1, kT0 + 13.0, 5.5f);
    EXPECT_EQ(lane(1).rows, (std::vector<std::string>{"4", "+1", "5.0000", "1.5000", "5.5000"}));
    EXPECT_EQ(lane(1).fastestLap, "5.0000");
    EXPECT_EQ(lane(1).highlighted, (std::vector<bool>{false, false, true, false, false}));
    const int p = engine->driverOnLane(1);
    EXPECT_EQ(cell(p, col::HeatLaps), "4");
    EXPECT_EQ(cell(p, col::HeatFastest), "5.0000");
    EXPECT_EQ(cell(p, col::Fastest), "5.0000");
    EXPECT_EQ(engine->absoluteFastestLap().time, "5.0000");
    EXPECT_EQ(engine->journalRecords()[3].fastestFlag, 0);
}

TEST_F(Registration, EqualFastestLapMovesTheMarkToTheNewerLap) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::OfficialPractice, names(2));
    open();
    start();
    cross(1, kT0 + 1.0);
    cross(1, kT0 + 11.5, 10.5f);
    cross(1, kT0 + 22.0, 10.5f);
    cross(1, kT0 + 33.0, 11.0f);
    EXPECT_EQ(lane(1).fastestLap, "10.5000");
    EXPECT_EQ(lane(1).highlighted, (std::vector<bool>{false, false, true, true, false}));
    auto j = journal();
    EXPECT_EQ(j[2].fastestFlag, -1);
    EXPECT_EQ(j[3].fastestFlag, -1);
    EXPECT_EQ(j[4].fastestFlag, 0);
    EXPECT_EQ(engine->lanes().flagLane(), 1);
}

TEST_F(Registration, CrossingsOfLanesOutsideTheHeatAreIgnored) {
    setTrack({1, 3}); // lane 2 has no position
    writeSeries(ProgrammeType::OfficialPractice, names(2));
    open();
    cross(1, kT0); // no heat running
    start();
    cross(2, kT0 + 1);
    cross(4, kT0 + 1);
    cross(0, kT0 + 1);
    cross(-3, kT0 + 1);
    EXPECT_EQ(journal().size(), 1u);
    EXPECT_FALSE(engine->lanes().takesPart(2));
    EXPECT_EQ(engine->lanes().panel(3).title, "Pista 3");
}

TEST_F(Registration, FirstCrossingCountsAsLapOneAndShowsPlusOne) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    open();
    start();
    cross(2, kT0 + 3.25);
    int p = engine->driverOnLane(2);
    EXPECT_EQ(cell(p, col::SeriesLaps), "1");
    EXPECT_EQ(cell(p, col::HeatLaps), "1");
    EXPECT_EQ(cell(p, col::LastLap), "+1");
    EXPECT_EQ(cell(p, col::HeatFastest), "");
    EXPECT_EQ(cell(p, col::OrderTime), "-3.25");
    EXPECT_TRUE(engine->standings().marker(row(p)));
    endHeat(kT0 + 20);
    auto dad = resultFile();
    ASSERT_EQ(dad.size(), 3u);
    const auto& stored = dad[static_cast<std::size_t>(row(p))];
    EXPECT_EQ(stored.participant, p);
    EXPECT_EQ(stored.lastLap, 1.0f);
    EXPECT_FLOAT_EQ(stored.crossingTime, 3.25f);
    EXPECT_EQ(stored.lastLaneRank, 0); // one lap: no heat rank yet
}

TEST_F(Registration, RaceStandingsSortByLapsThenCrossingAndStoreTheHeatRank) {
    setTrack({1, 2, 3});
    writeSeries(ProgrammeType::Race, names(3));
    open();
    start();
    // heat 1: participant 1 on lane 3, 2 on lane 2, 3 on lane 1
    for (int l = 1; l <= 3; ++l) {
        cross(l, kT0 + 1.0 + l * 0.1);
    }
    for (int lap = 1; lap <= 9; ++lap) {
        cross(3, kT0 + 1.3 + lap * 30.0, 30.0f);
        cross(2, kT0 + 1.8 + lap * 30.0, 30.0f);
        if (lap < 9) {
            cross(1, kT0 + 2.1 + lap * 30.0, 30.0f);
        }
    }
    EXPECT_EQ(cell(1, col::Rank), "1");
    EXPECT_EQ(cell(1, col::SeriesLaps), "10");
    EXPECT_EQ(cell(2, col::GapLeader), "+0.5s");
    EXPECT_EQ(cell(2, col::GapPrevious), "");
    EXPECT_EQ(cell(3, col::GapLeader), "-1v");
    EXPECT_EQ(cell(3, col::GapPrevious), "-1v");
    EXPECT_EQ(cell(1, col::HeatRank), "1");
    EXPECT_EQ(cell(3, col::HeatRank), "3");
    EXPECT_EQ(cell(1, col::HeatKey1), "-9");
    // Lane 2 crossed last: its participant's rank is stored negated.
    endHeat(kT0 + 300);
    auto dad = resultFile();
    ASSERT_EQ(dad.size(), 4u);
    EXPECT_EQ(dad[0].lane, 1);
    EXPECT_EQ(dad[0].adjustments, 3);
    EXPECT_EQ(dad[1].participant, 1);
    EXPECT_EQ(dad[2].participant, 2);
    EXPECT_EQ(dad[2].lastLaneRank, -2);
    EXPECT_EQ(dad[1].lastLaneRank, 1);
    EXPECT_FLOAT_EQ(dad[2].crossingTime, 271.8f);
    EXPECT_FLOAT_EQ(dad[3].seriesLaps, 9.0f);
}

TEST_F(Registration, OfficialPracticeKeepsFastestLapWithItsLaneAndTime) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::OfficialPractice, names(3));
    open();
    start();
    cross(1, kT0 + 1.0);
    cross(1, kT0 + 6.4, 5.4f);
    cross(1, kT0 + 11.6, 5.2f);
    cross(1, kT0 + 17.1, 5.5f);
    int p = engine->driverOnLane(1);
    EXPECT_EQ(cell(p, col::Fastest), "5.2000");
    EXPECT_EQ(cell(p, col::HeatFastest), "5.2000");
    EXPECT_EQ(cell(p, col::LastLap), "5.5000");
    EXPECT_EQ(cell(p, col::FastestLane), "1");
    EXPECT_EQ(cell(p, col::FastestTime), singleToText(11.6f));
    EXPECT_EQ(cell(p, col::OrderTime), "0");
    EXPECT_EQ(cell(p, col::HeatKey1), "5.2000");
    EXPECT_EQ(cell(p, col::Rank), "1");
    EXPECT_EQ(engine->absoluteFastestLap().time, "5.2000");
    EXPECT_EQ(engine->absoluteFastestLap().participant, std::to_string(p));
    EXPECT_EQ(engine->absoluteFastestLap().lane, "1");
    // Participants without a lap stay below, unranked.
    EXPECT_EQ(engine->standings().text(1, col::RaceNumber), std::to_string(p));
    EXPECT_EQ(engine->standings().text(2, col::Rank), "");
}

TEST_F(Registration, CounterResultsGiveLapsAndFastestLapPerLane) {
    setTrack({1, 2}, 5.0f);
    writeSeries(ProgrammeType::Race, names(2));
    open();
    engine->startHeat(kT0);
    engine->armHeatEnd(kT0);
    engine->registerCounterResult(1, 12, 12.3456f, kT0);
    engine->registerCounterResult(2, 10, 99.9999f, kT0);
    EXPECT_EQ(lane(1).rows[1], "12.3456");
    EXPECT_EQ(lane(1).fastestLap, "12.3456");
    EXPECT_EQ(lane(1).rows[0], "12");
    EXPECT_EQ(lane(2).fastestLap, "");
    int p1 = engine->driverOnLane(1);
    int p2 = engine->driverOnLane(2);
    EXPECT_EQ(cell(p1, col::SeriesLaps), "12");
    EXPECT_EQ(cell(p1, col::OrderTime), "-12.3456");
    EXPECT_EQ(cell(p2, col::SeriesLaps), "10");
    EXPECT_EQ(cell(p2, col::Fastest), "");
    EXPECT_EQ(engine->absoluteFastestLap().time, "12.3456");
    engine->finishHeat(kT0);
    EXPECT_EQ(journal().size(), 2u); // header and end only
    EXPECT_EQ(heatCounter(), 1);
}

} // namespace
} // namespace cronovolta::test

namespace cronovolta::test {
namespace {

// The grid the engine keeps up to date crossing by crossing, against a grid built afresh
// from its texts: the memos of ranks, gaps and colours must never show a stale cell.
class IncrementalStandings : public HeatFixture {
protected:
    void expectSameAsFresh() {
        const StandingsGrid& live = engine->standings();
        StandingsGrid fresh;
        fresh.reset(live.rowCount());
        for (int r = 1; r <= live.rowCount(); ++r) {
            for (int c = 0; c < col::Count; ++c) {
                fresh.setText(r, c, live.text(r, c));
            }
        }
        fresh.resort({programmeType,
                      &engine->track(),
                      {engine->texts().lapLetter, engine->texts().secondsLetter},
                      0});
        fresh.colour(ColourSlots::from(settings.colours), engine->absoluteFastestLap().time);
        for (int r = 1; r <= live.rowCount(); ++r) {
            for (int c = 0; c < col::Count; ++c) {
                ASSERT_EQ(live.text(r, c), fresh.text(r, c)) << "row " << r << " column " << c;
                ASSERT_EQ(live.cellColour(r, c), fresh.cellColour(r, c))
                    << "row " << r << " column " << c;
            }
        }
    }

    void runRandomHeats(ProgrammeType type) {
        setTrack({2, 4, 1, 3}, 3.0f);
        writeSeries(type, names(7));
        open();
        std::uint32_t seed = 2024;
        auto next = [&seed](int n) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(n));
        };
        double t = kT0;
        for (int heat = 1; heat <= 5; ++heat) {
            start(t);
            for (int i = 0; i < 120; ++i) {
                t += 0.3 + next(40) / 10.0;
                int l = 1 + next(4);
                // Equal laps now and then, a few too short, some beyond the counter's range.
                float counter = next(10) == 0 ? 0.0f : 2.5f + static_cast<float>(next(8)) * 0.5f;
                cross(l, t, counter);
                if (type == ProgrammeType::Race && next(25) == 0) {
                    engine->handleKey(next(2) ? '+' : '-', t);
                    engine->handleKey('0' + 1 + next(4), t);
                    engine->handleKey(13, t);
                }
                ASSERT_NO_FATAL_FAILURE(expectSameAsFresh()) << "heat " << heat << " step " << i;
            }
            endHeat(t);
            if (heat == 3) {
                ASSERT_TRUE(engine->cancelLastHeat());
                ASSERT_NO_FATAL_FAILURE(expectSameAsFresh()) << "after the cancel";
            }
            t += 30.0;
        }
    }
};

TEST_F(IncrementalStandings, RaceMatchesAFreshResort) {
    runRandomHeats(ProgrammeType::Race);
}

TEST_F(IncrementalStandings, OfficialPracticeMatchesAFreshResort) {
    runRandomHeats(ProgrammeType::OfficialPractice);
}

} // namespace
} // namespace cronovolta::test
