#include "heat_fixture.h"

#include "storage/resume_file.h"

namespace cronovolta::test {
namespace {

using Lifecycle = HeatFixture;

TEST_F(Lifecycle, PauseMovesTheHeatStartAndIsJournaled) {
    setTrack({1, 2});
    writeSeries(4, names(2));
    open();
    start(kT0);
    EXPECT_TRUE(engine->heatRunning());
    EXPECT_TRUE(fs::exists(dir.path() / "ZTR4.TMP"));
    cross(1, kT0 + 5.0);
    engine->handleKey('p', kT0 + 20.0);
    EXPECT_TRUE(engine->heatPaused());
    EXPECT_TRUE(engine->panel().pauseLabelVisible);
    engine->tick(kT0 + 20.5); // the pause label blinks
    EXPECT_FALSE(engine->panel().pauseLabelVisible);
    engine->handleKey('P', kT0 + 50.0);
    EXPECT_FALSE(engine->heatPaused());
    EXPECT_FLOAT_EQ(engine->heatStart(), static_cast<float>(kT0 + 30.0));
    cross(1, kT0 + 60.0);
    auto j = journal();
    ASSERT_EQ(j.size(), 4u);
    EXPECT_EQ(j[2].lane, -1);
    EXPECT_FLOAT_EQ(j[2].lapTime, 30.0f);
    EXPECT_EQ(j[2].laps, 1);
    EXPECT_FLOAT_EQ(j[2].crossingTime, 20.0f);
    EXPECT_FLOAT_EQ(j[3].crossingTime, 30.0f); // 60 s of wall clock less the pause
    EXPECT_EQ(lane(1).rows.back(), "25.0000");
    engine->tick(kT0 + 61.0);
    EXPECT_EQ(engine->panel().clock, "0:00:31");
    auto resume = readResumeFile(dir.path() / "ZTR4.TMP");
    ASSERT_TRUE(resume);
    EXPECT_FLOAT_EQ(resume->heatStart, static_cast<float>(kT0 + 30.0));
    EXPECT_EQ(resume->heat, 1);
    EXPECT_EQ(resume->programa, 4);
}

TEST_F(Lifecycle, HeatEndsTwoAndAHalfSecondsAfterTheLastEndSignal) {
    setTrack({1, 2});
    writeSeries(4, names(2));
    open();
    start(kT0);
    engine->armHeatEnd(kT0 + 300.0);
    engine->armHeatEnd(kT0 + 301.0);
    engine->tick(kT0 + 303.0);
    engine->tick(kT0 + 303.4);
    EXPECT_TRUE(engine->heatRunning());
    engine->tick(kT0 + 303.6);
    EXPECT_FALSE(engine->heatRunning());
    auto laps = lapFile();
    ASSERT_EQ(laps.size(), 2u);
    EXPECT_FLOAT_EQ(laps[1].crossingTime, static_cast<float>(kT0 + 301.0));
    EXPECT_FLOAT_EQ(laps[1].lapTime, 301.0f);
    EXPECT_EQ(laps[0].laps, 1);
    EXPECT_EQ(laps[1].laps, 1);
    EXPECT_FALSE(fs::exists(dir.path() / "ZTR4.TMP"));
    EXPECT_EQ(observer.ended, (std::vector<int>{1}));
    EXPECT_EQ(engine->panel().buttonEnabled,
              (std::array<bool, 6>{true, true, true, true, true, false}));
}

TEST_F(Lifecycle, SKeyEndsTheRunningHeatAtOnceAndAPausedOneAfterItsPauseRecord) {
    setTrack({1, 2});
    writeSeries(2, names(2));
    open();
    start(kT0);
    engine->handleKey('p', kT0 + 10.0);
    engine->handleKey('s', kT0 + 40.0);
    EXPECT_FALSE(engine->heatRunning());
    auto laps = lapFile();
    ASSERT_EQ(laps.size(), 3u);
    EXPECT_EQ(laps[1].lane, -1);
    EXPECT_FLOAT_EQ(laps[2].crossingTime, static_cast<float>(kT0 + 40.0));
    EXPECT_FLOAT_EQ(laps[2].lapTime, 10.0f); // the heat time excludes the pause
}

TEST_F(Lifecycle, EndRecordAndClockCrossMidnight) {
    setTrack({1, 2});
    writeSeries(2, names(2));
    open();
    start(86390.0);
    cross(1, 86395.0);
    cross(1, 3.0, 8.0f);
    engine->tick(5.0);
    EXPECT_EQ(engine->panel().clock, "0:00:15");
    EXPECT_EQ(lane(1).rows.back(), "8.0000");
    engine->armHeatEnd(86399.0);
    engine->tick(1.0);
    EXPECT_TRUE(engine->heatRunning());
    engine->tick(1.6);
    EXPECT_FALSE(engine->heatRunning());
    auto laps = lapFile();
    EXPECT_FLOAT_EQ(laps.back().lapTime, 9.0f);
}

TEST_F(Lifecycle, HeatsRotateParticipantsByTheLaneOrder) {
    setTrack({3, 1, 4, 2});
    writeSeries(2, names(5));
    open();
    start(kT0);
    EXPECT_EQ(engine->pilotOnLane(2), 1);
    EXPECT_EQ(engine->pilotOnLane(4), 2);
    EXPECT_EQ(engine->pilotOnLane(1), 3);
    EXPECT_EQ(engine->pilotOnLane(3), 4);
    EXPECT_EQ(lane(2).pilot, "Pilot 1");
    EXPECT_EQ(cell(1, col::Lane), "2");
    EXPECT_EQ(cell(5, col::Lane), "E3"); // enters at position 1 next heat
    EXPECT_EQ(engine->panel().caption, " - Entrenaments oficials (1 #1) <1>");
    endHeat(kT0 + 60);
    start(kT0 + 100);
    EXPECT_EQ(engine->pilotOnLane(2), 2);
    EXPECT_EQ(engine->pilotOnLane(3), 5);
}

TEST_F(Lifecycle, HeatCountsAndEntryMarksOfFiveParticipantsOnFourLanes) {
    setTrack({1, 2, 3, 4});
    writeSeries(4, names(5));
    open();
    EXPECT_EQ(cell(1, col::Lane), "E4");
    EXPECT_EQ(cell(4, col::Lane), "E1");
    EXPECT_EQ(cell(5, col::Lane), "");
    for (int h = 1; h <= 5; ++h) {
        start(kT0 + h * 100.0);
        endHeat(kT0 + h * 100.0 + 50.0);
    }
    for (int p = 1; p <= 5; ++p) {
        EXPECT_EQ(cell(p, col::Heats), "4") << p;
    }
    start(kT0 + 600.0);
    endHeat(kT0 + 650.0);
    for (int p = 1; p <= 4; ++p) {
        EXPECT_EQ(cell(p, col::Heats), "5") << p;
    }
    EXPECT_EQ(cell(5, col::Heats), "4");
    EXPECT_EQ(cell(5, col::Lane), "E1");
    EXPECT_EQ(cell(1, col::Lane), "4"); // on the track in heat 6, no mark
    EXPECT_EQ(heatCounter(), 6);
    // Reopening rebuilds the same counts and marks from the files.
    ASSERT_TRUE(engine->closeProgramme());
    open();
    EXPECT_EQ(cell(1, col::Heats), "5");
    EXPECT_EQ(cell(5, col::Heats), "4");
    EXPECT_EQ(cell(5, col::Lane), "E1");
}

TEST_F(Lifecycle, ComesPolicyOfTwoPassesAndTheRaceLimit) {
    settings.comesPolicy = 2;
    setTrack({1, 2, 3, 4});
    writeSeries(4, names(6));
    open();
    std::vector<ComesEntry> seen;
    for (int h = 1; h <= 12; ++h) {
        start(kT0 + h * 100.0);
        ASSERT_TRUE(engine->heatRunning()) << h;
        endHeat(kT0 + h * 100.0 + 50.0);
        seen.push_back(engine->pendingComesEntry());
        if (engine->comesMode()) {
            EXPECT_EQ(engine->handleKey('S', kT0 + h * 100.0 + 60.0), HeatCommand::None);
            EXPECT_FALSE(engine->heatRunning()); // no heat while the comes are entered
            engine->comesEntryClosed();
        }
    }
    std::vector<ComesEntry> expected(9, ComesEntry::None);
    expected.push_back(ComesEntry::LastLaneOnly);
    expected.push_back(ComesEntry::LastLaneOnly);
    expected.push_back(ComesEntry::Full);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(observer.comes.size(), 3u);
    start(kT0 + 2000.0);
    EXPECT_FALSE(engine->heatRunning());
    EXPECT_EQ(engine->heatNumber(), 12);
    EXPECT_TRUE(engine->panel().buttonVisible[0]);
}

TEST_F(Lifecycle, CancelledHeatIsOverwrittenWhenRunAgain) {
    setTrack({1, 2});
    writeSeries(4, names(3));
    open();
    for (int h = 1; h <= 3; ++h) {
        start(kT0 + h * 100.0);
        for (int k = 0; k < h; ++k) {
            cross(1, kT0 + h * 100.0 + 1.0 + k);
        }
        endHeat(kT0 + h * 100.0 + 50.0);
    }
    auto afterThree = lapFile();
    auto results = resultFile();
    ASSERT_EQ(results.size(), 12u);
    EXPECT_EQ(engine->cancelQuestion(), "Segur que vols anul·lar la màniga n. 3?");
    EXPECT_EQ(engine->clickButton(4), HeatCommand::AskCancel);
    ASSERT_TRUE(engine->cancelLastHeat());
    EXPECT_EQ(heatCounter(), 2);
    EXPECT_EQ(engine->heatNumber(), 2);
    EXPECT_EQ(lapFile(), afterThree); // left in place until overwritten
    start(kT0 + 1000.0);
    EXPECT_EQ(engine->heatNumber(), 3);
    cross(2, kT0 + 1001.0);
    endHeat(kT0 + 1050.0);
    auto laps = lapFile();
    ASSERT_EQ(laps.size(), afterThree.size());
    // Heat 3's block starts after heat 2's end record: 3 + 4 records before it.
    EXPECT_EQ(laps[7].lane, 0);
    EXPECT_FLOAT_EQ(laps[7].lapTime, 3.0f);
    EXPECT_EQ(laps[8].lane, 2);
    EXPECT_EQ(laps[9].lane, 0); // its end record
    EXPECT_FLOAT_EQ(laps[9].crossingTime, static_cast<float>(kT0 + 1050.0));
    auto again = resultFile();
    ASSERT_EQ(again.size(), 12u);
    EXPECT_EQ(again[8].lane, 3);
    EXPECT_FLOAT_EQ(again[8].crossingTime, static_cast<float>(kT0 + 1000.0));
}

TEST_F(Lifecycle, RebuildAfterCancelShowsTheStandingsOfThePreviousHeat) {
    setTrack({1, 2});
    writeSeries(2, names(3));
    open();
    auto snapshot = [&] {
        std::vector<std::string> texts;
        for (int r = 1; r <= engine->standings().rowCount(); ++r) {
            for (int c : {col::Rank, col::Dorsal, col::Fastest, col::GapLeader, col::Lane,
                          col::HeatLaps, col::HeatFastest}) {
                texts.push_back(engine->standings().text(r, c));
            }
        }
        return texts;
    };
    for (int h = 1; h <= 3; ++h) {
        start(kT0 + h * 100.0);
        cross(1, kT0 + h * 100.0 + 1.0);
        cross(1, kT0 + h * 100.0 + 7.0, 6.0f - 0.25f * h);
        cross(2, kT0 + h * 100.0 + 2.0);
        cross(2, kT0 + h * 100.0 + 8.0, 5.9f);
        endHeat(kT0 + h * 100.0 + 50.0);
        if (h == 2) {
            ASSERT_TRUE(engine->closeProgramme());
            open(); // the rebuilt view of heat 2
        }
    }
    engine->closeProgramme();
    open();
    ASSERT_TRUE(engine->cancelLastHeat());
    auto afterCancel = snapshot();
    ASSERT_TRUE(engine->closeProgramme());
    open();
    EXPECT_EQ(snapshot(), afterCancel);
    EXPECT_EQ(engine->heatNumber(), 2);
}

TEST_F(Lifecycle, RaceBeforeItsFirstHeatShowsEntryOrderAndRemovesOldResults) {
    setTrack({1, 2});
    writeSeries(4, names(3));
    writeBytes(seriesPath(".DAD"), std::string(150, 'x'));
    open();
    EXPECT_FALSE(fs::exists(seriesPath(".DAD")));
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(engine->standings().text(r, col::Dorsal), std::to_string(r));
        EXPECT_EQ(engine->standings().text(r, col::OrderTime), std::to_string(-r));
        EXPECT_EQ(engine->standings().text(r, col::Rank), "");
    }
}

TEST_F(Lifecycle, ResultsFileShortOfTheHeatStillShowsEveryParticipant) {
    setTrack({1, 2});
    writeSeries(4, names(3), 1, 2);
    HeatResultRecord header;
    header.lane = 2;
    header.adjustments = 1;
    HeatResultRecord second;
    second.participant = 2;
    second.seriesLaps = 7.0f;
    second.crossingTime = 60.5f;
    writeBytes(seriesPath(".DAD"), encodeHeatResultFile({header, second}));
    open();
    EXPECT_TRUE(observer.problems.empty());
    EXPECT_EQ(cell(2, col::Rank), "1");
    EXPECT_EQ(cell(2, col::SeriesLaps), "7");
    EXPECT_EQ(row(1), 2);
    EXPECT_EQ(row(3), 3);
    EXPECT_EQ(cell(3, col::Name), "Pilot 3");
    EXPECT_EQ(cell(3, col::OrderTime), "-3");
    // The counter names a heat the file does not hold: said, and the rows are all there.
    writeSeries(4, names(3), 1, 3);
    open();
    ASSERT_FALSE(observer.problems.empty());
    EXPECT_NE(observer.problems.back().find("no heat 3"), std::string::npos);
    EXPECT_EQ(engine->standings().rowCount(), 3);
    EXPECT_EQ(row(1), 1);
    EXPECT_EQ(cell(2, col::Name), "Pilot 2");
}

TEST_F(Lifecycle, KeysOfTheIdlePanelFollowTheButtonCaptions) {
    setTrack({1, 2});
    writeSeries(4, names(2));
    open();
    EXPECT_EQ(engine->handleKey('l', kT0), HeatCommand::None); // not enabled before a heat
    start(kT0);
    EXPECT_EQ(engine->handleKey(27, kT0 + 1), HeatCommand::None); // Esc while running
    endHeat(kT0 + 10);
    EXPECT_EQ(engine->handleKey('l', kT0 + 20), HeatCommand::ListLaps);
    EXPECT_EQ(engine->handleKey('I', kT0 + 20), HeatCommand::Print);
    EXPECT_EQ(engine->handleKey('c', kT0 + 20), HeatCommand::Correct);
    EXPECT_EQ(engine->handleKey('a', kT0 + 20), HeatCommand::AskCancel);
    EXPECT_EQ(engine->handleKey(',', kT0 + 20), HeatCommand::None); // no comes on this track
    EXPECT_EQ(engine->handleKey('x', kT0 + 20), HeatCommand::None);
    EXPECT_EQ(engine->handleKey(27, kT0 + 20), HeatCommand::CloseProgramme);
    engine->handleKey(-1, kT0 + 20);
    EXPECT_EQ(engine->handleKey(27, kT0 + 20), HeatCommand::OpenNextSeries);
    EXPECT_EQ(engine->handleKey(27, kT0 + 20), HeatCommand::CloseProgramme);
}

TEST_F(Lifecycle, ShiftEscapeOpensTheNextSeriesOrClosesAfterTheLast) {
    setTrack({1, 2});
    writeSeries(4, names(2), 1);
    writeSeries(4, names(3), 2);
    open(1, 2);
    ASSERT_TRUE(engine->openNextSeries());
    EXPECT_TRUE(engine->programmeOpen());
    EXPECT_EQ(engine->programme().serie, 2);
    EXPECT_EQ(engine->participantCount(), 3);
    ASSERT_TRUE(engine->openNextSeries());
    EXPECT_FALSE(engine->programmeOpen());
}

TEST_F(Lifecycle, RaceLapAdjustmentChangesLapsOfTheLane) {
    setTrack({1, 2});
    writeSeries(4, names(2));
    open();
    start(kT0);
    cross(1, kT0 + 1);
    cross(1, kT0 + 11, 10.0f);
    int p = engine->pilotOnLane(1);
    for (int key : {int('+'), int('1'), 13}) {
        engine->handleKey(key, kT0 + 12);
    }
    EXPECT_EQ(cell(p, col::SeriesLaps), "3");
    EXPECT_EQ(cell(p, col::HeatLaps), "3");
    EXPECT_EQ(cell(p, col::Adjustments), "+1");
    EXPECT_EQ(lane(1).rows[0], "3");
    EXPECT_FALSE(engine->panel().adjustmentVisible);
    engine->handleKey('-', kT0 + 13);
    EXPECT_EQ(engine->panel().adjustment, "-");
    engine->handleKey('1', kT0 + 13);
    EXPECT_EQ(engine->panel().adjustment, "-1");
    engine->handleKey(13, kT0 + 13);
    engine->handleKey('-', kT0 + 13);
    engine->handleKey('1', kT0 + 13);
    engine->handleKey(13, kT0 + 13);
    EXPECT_EQ(cell(p, col::HeatLaps), "1");
    EXPECT_EQ(cell(p, col::Adjustments), "-1");
    EXPECT_EQ(cell(p, col::HeatKey1), ""); // one lap: no heat time
    engine->handleKey('-', kT0 + 14);
    engine->handleKey('1', kT0 + 14);
    engine->handleKey(13, kT0 + 14);
    engine->handleKey('-', kT0 + 14);
    engine->handleKey('1', kT0 + 14);
    engine->handleKey(13, kT0 + 14); // refused below one lap
    EXPECT_EQ(cell(p, col::HeatLaps), "");
    EXPECT_EQ(cell(p, col::Adjustments), "-2");
    endHeat(kT0 + 20);
    EXPECT_EQ(resultFile()[static_cast<std::size_t>(row(p))].adjustments, -2);
}

TEST_F(Lifecycle, StartLightsAndRestartLightsPaintThePanel) {
    setTrack({1, 2});
    writeSeries(4, names(2));
    open();
    engine->setStartLight(StartLight::Red);
    EXPECT_EQ(engine->panel().background, 12);
    EXPECT_FALSE(engine->panel().buttonVisible[0]);
    engine->setStartLight(StartLight::Green);
    EXPECT_EQ(engine->panel().background, 10);
    engine->setStartLight(StartLight::Normal);
    engine->IniciarManiga(kT0);
    engine->setStartLight(StartLight::Red); // ignored while running
    EXPECT_EQ(engine->panel().background, kDefaultColour);
    engine->PausarManiga(kT0 + 5);
    engine->setRestartLight(RestartLight::Red);
    EXPECT_FALSE(engine->panel().elapsedLabelVisible);
    engine->tick(kT0 + 6); // no blinking while the restart lights show
    EXPECT_TRUE(engine->panel().pauseLabelVisible);
    engine->setRestartLight(RestartLight::Green);
    EXPECT_EQ(engine->panel().pauseColour, 10);
    engine->ReprendreManiga(kT0 + 8);
    EXPECT_TRUE(engine->panel().elapsedLabelVisible);
}

TEST_F(Lifecycle, AbsoluteFastestLapComesFromEverySeriesOfTheType) {
    setTrack({1, 2});
    writeSeries(2, names(2), 1);
    writeSeries(2, {"Xavi", "Yara"}, 2);
    auto runSeries = [&](int serie, float lap, double at) {
        open(serie, 2);
        start(at);
        cross(2, at + 1.0);
        cross(2, at + 1.0 + lap, lap);
        endHeat(at + 30.0);
    };
    runSeries(1, 5.3f, kT0);
    runSeries(2, 5.1f, kT0 + 100.0);
    open(1, 2);
    EXPECT_EQ(engine->absoluteFastestLap().time, "5.1000");
    EXPECT_EQ(engine->absoluteFastestLap().name, "Xavi");
    EXPECT_EQ(engine->absoluteFastestLap().series, "2");
    EXPECT_EQ(engine->absoluteFastestLap().lane, "2");
    // Its colour marks the fastest-lap cells that show the same time.
    start(kT0 + 200.0);
    cross(1, kT0 + 201.0);
    cross(1, kT0 + 206.1, 5.1f);
    int p = engine->pilotOnLane(1);
    EXPECT_EQ(engine->standings().cellColour(row(p), col::LastLap), 12);
}

TEST_F(Lifecycle, FreePracticeRunsHeatOneWithoutSeriesFiles) {
    setTrack({1, 2});
    writeSeries(1, names(2));
    open();
    start(kT0);
    EXPECT_EQ(engine->heatNumber(), 1);
    auto resume = readResumeFile(dir.path() / "ZTR4.TMP");
    ASSERT_TRUE(resume);
    EXPECT_EQ(resume->programa, 1);
    cross(1, kT0 + 1.0);
    cross(1, kT0 + 9.0, 8.0f);
    EXPECT_EQ(engine->pilotOnLane(1), 0);
    EXPECT_EQ(engine->standings().rowCount(), 0);
    engine->handleKey('S', kT0 + 20.0);
    EXPECT_FALSE(fs::exists(seriesPath(".VAV")));
    EXPECT_FALSE(fs::exists(dir.path() / "ZTR4.TMP"));
    EXPECT_EQ(journal().size(), 4u);
    start(kT0 + 30.0);
    EXPECT_EQ(engine->heatNumber(), 1);
    EXPECT_EQ(lane(1).rows[0], "");
    EXPECT_EQ(engine->panel().caption, " - Entrenaments lliures (1 #1)");
}

TEST_F(Lifecycle, AHeatThatCannotBeStoredIsNotCountedAndKeepsItsLaps) {
    setTrack({1, 2});
    writeSeries(4, names(2));
    // A folder where the lap file should be: the block cannot be written.
    fs::create_directories(seriesPath(".VAV"));
    open();
    start(kT0);
    cross(1, kT0 + 5.0);
    cross(1, kT0 + 10.0);
    endHeat(kT0 + 12.0);
    EXPECT_FALSE(engine->heatRunning());
    EXPECT_EQ(heatCounter(), 0);
    EXPECT_FALSE(fs::exists(seriesPath(".DAD")));
    ASSERT_FALSE(observer.problems.empty());
    auto kept = readLapFile(engine->workFolder() / "VLTAVLT.001");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->records.size(), 4u); // header, two crossings, end
    EXPECT_TRUE(engine->closeProgramme());
    EXPECT_TRUE(fs::exists(engine->workFolder() / "VLTAVLT.001"));

    // With the folder out of the way the same heat runs again as heat 1.
    fs::remove(seriesPath(".VAV"));
    open();
    start(kT0 + 100.0);
    cross(2, kT0 + 105.0);
    endHeat(kT0 + 110.0);
    EXPECT_EQ(heatCounter(), 1);
    EXPECT_FALSE(lapFile().empty());
}

} // namespace
} // namespace cronovolta::test
