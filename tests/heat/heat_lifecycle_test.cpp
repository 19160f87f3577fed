#include "heat_fixture.h"

#include "storage/resume_file.h"

#include <algorithm>

namespace cronovolta::test {
namespace {

using Lifecycle = HeatFixture;

TEST_F(Lifecycle, PauseMovesTheHeatStartAndIsJournaled) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
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
    EXPECT_EQ(resume->programmeType, ProgrammeType::Race);
}

TEST_F(Lifecycle, HeatEndsTwoAndAHalfSecondsAfterTheLastEndSignal) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
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
    writeSeries(ProgrammeType::OfficialPractice, names(2));
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
    writeSeries(ProgrammeType::OfficialPractice, names(2));
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
    writeSeries(ProgrammeType::OfficialPractice, names(5));
    open();
    start(kT0);
    EXPECT_EQ(engine->driverOnLane(2), 1);
    EXPECT_EQ(engine->driverOnLane(4), 2);
    EXPECT_EQ(engine->driverOnLane(1), 3);
    EXPECT_EQ(engine->driverOnLane(3), 4);
    EXPECT_EQ(lane(2).pilot, "Pilot 1");
    EXPECT_EQ(cell(1, col::Lane), "2");
    EXPECT_EQ(cell(5, col::Lane), "E3"); // enters at position 1 next heat
    EXPECT_EQ(engine->panel().caption, " - Entrenaments oficials (1 #1) <1>");
    endHeat(kT0 + 60);
    start(kT0 + 100);
    EXPECT_EQ(engine->driverOnLane(2), 2);
    EXPECT_EQ(engine->driverOnLane(3), 5);
}

TEST_F(Lifecycle, HeatCountsAndEntryMarksOfFiveParticipantsOnFourLanes) {
    setTrack({1, 2, 3, 4});
    writeSeries(ProgrammeType::Race, names(5));
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

TEST_F(Lifecycle, LapFractionPolicyOfTwoPassesAndTheRaceLimit) {
    settings.lapFractionPolicy = 2;
    setTrack({1, 2, 3, 4});
    writeSeries(ProgrammeType::Race, names(6));
    open();
    std::vector<LapFractionEntry> seen;
    for (int h = 1; h <= 12; ++h) {
        start(kT0 + h * 100.0);
        ASSERT_TRUE(engine->heatRunning()) << h;
        endHeat(kT0 + h * 100.0 + 50.0);
        seen.push_back(engine->pendingLapFractionEntry());
        if (engine->lapFractionMode()) {
            EXPECT_EQ(engine->handleKey('S', kT0 + h * 100.0 + 60.0), HeatCommand::None);
            EXPECT_FALSE(engine->heatRunning()); // no heat while the comes are entered
            engine->lapFractionEntryClosed();
        }
    }
    std::vector<LapFractionEntry> expected(9, LapFractionEntry::None);
    expected.push_back(LapFractionEntry::LastLaneOnly);
    expected.push_back(LapFractionEntry::LastLaneOnly);
    expected.push_back(LapFractionEntry::Full);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(observer.lapFraction.size(), 3u);
    start(kT0 + 2000.0);
    EXPECT_FALSE(engine->heatRunning());
    EXPECT_EQ(engine->heatNumber(), 12);
    EXPECT_TRUE(engine->panel().buttonVisible[0]);
}

TEST_F(Lifecycle, CancelledHeatIsOverwrittenWhenRunAgain) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(3));
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
    writeSeries(ProgrammeType::OfficialPractice, names(3));
    open();
    auto snapshot = [&] {
        std::vector<std::string> texts;
        for (int r = 1; r <= engine->standings().rowCount(); ++r) {
            for (int c : {col::Rank, col::RaceNumber, col::Fastest, col::GapLeader, col::Lane,
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
    writeSeries(ProgrammeType::Race, names(3));
    writeBytes(seriesPath(".DAD"), std::string(150, 'x'));
    open();
    EXPECT_FALSE(fs::exists(seriesPath(".DAD")));
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(engine->standings().text(r, col::RaceNumber), std::to_string(r));
        EXPECT_EQ(engine->standings().text(r, col::OrderTime), std::to_string(-r));
        EXPECT_EQ(engine->standings().text(r, col::Rank), "");
    }
}

TEST_F(Lifecycle, ResultsFileShortOfTheHeatStillShowsEveryParticipant) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(3), 1, 2);
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
    writeSeries(ProgrammeType::Race, names(3), 1, 3);
    open();
    ASSERT_FALSE(observer.problems.empty());
    EXPECT_NE(observer.problems.back().find("no conté la màniga 3"), std::string::npos);
    EXPECT_EQ(engine->standings().rowCount(), 3);
    EXPECT_EQ(row(1), 1);
    EXPECT_EQ(cell(2, col::Name), "Pilot 2");
}

TEST_F(Lifecycle, KeysOfTheIdlePanelFollowTheButtonCaptions) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
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

TEST_F(Lifecycle, ATrackWithMoreLanesThanTheProgramHandlesIsRefusedAsSuch) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    std::string bytes = readBytes(eventDir() / "PISTA.CFG");
    bytes[29] = static_cast<char>(200); // the stored lane count
    writeBytes(eventDir() / "PISTA.CFG", bytes);
    engine = std::make_unique<HeatEngine>(settings);
    auto opened = engine->openProgramme({dir.path(), 1, ProgrammeType::Race, 1, 1, ""});
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().kind, OpenProgrammeError::Kind::TooManyLanes);
    EXPECT_FALSE(engine->programmeOpen());
}

TEST_F(Lifecycle, ShiftEscapeOpensTheNextSeriesOrClosesAfterTheLast) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2), 1);
    writeSeries(ProgrammeType::Race, names(3), 2);
    open(1, 2);
    ASSERT_TRUE(engine->openNextSeries());
    EXPECT_TRUE(engine->programmeOpen());
    EXPECT_EQ(engine->programme().seriesNumber, 2);
    EXPECT_EQ(engine->participantCount(), 3);
    ASSERT_TRUE(engine->openNextSeries());
    EXPECT_FALSE(engine->programmeOpen());
}

TEST_F(Lifecycle, RaceLapAdjustmentChangesLapsOfTheLane) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    open();
    start(kT0);
    cross(1, kT0 + 1);
    cross(1, kT0 + 11, 10.0f);
    int p = engine->driverOnLane(1);
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
    writeSeries(ProgrammeType::Race, names(2));
    open();
    engine->setStartLight(StartLight::Red);
    EXPECT_EQ(engine->panel().background, StartLight::Red);
    EXPECT_FALSE(engine->panel().buttonVisible[0]);
    engine->setStartLight(StartLight::Green);
    EXPECT_EQ(engine->panel().background, StartLight::Green);
    engine->setStartLight(StartLight::Normal);
    engine->startHeat(kT0);
    engine->setStartLight(StartLight::Red); // ignored while running
    EXPECT_EQ(engine->panel().background, StartLight::Normal);
    engine->pauseHeat(kT0 + 5);
    engine->setRestartLight(RestartLight::Red);
    EXPECT_FALSE(engine->panel().elapsedLabelVisible);
    engine->tick(kT0 + 6); // no blinking while the restart lights show
    EXPECT_TRUE(engine->panel().pauseLabelVisible);
    engine->setRestartLight(RestartLight::Green);
    EXPECT_EQ(engine->panel().pauseColour, 10);
    engine->resumePausedHeat(kT0 + 8);
    EXPECT_TRUE(engine->panel().elapsedLabelVisible);
}

TEST_F(Lifecycle, AbsoluteFastestLapComesFromEverySeriesOfTheType) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::OfficialPractice, names(2), 1);
    writeSeries(ProgrammeType::OfficialPractice, {"Xavi", "Yara"}, 2);
    auto runSeries = [&](int seriesNumber, float lap, double at) {
        open(seriesNumber, 2);
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
    int p = engine->driverOnLane(1);
    EXPECT_EQ(engine->standings().cellColour(row(p), col::LastLap), 12);
}

TEST_F(Lifecycle, FreePracticeRunsHeatOneWithoutSeriesFiles) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::FreePractice, names(2));
    open();
    start(kT0);
    EXPECT_EQ(engine->heatNumber(), 1);
    auto resume = readResumeFile(dir.path() / "ZTR4.TMP");
    ASSERT_TRUE(resume);
    EXPECT_EQ(resume->programmeType, ProgrammeType::FreePractice);
    cross(1, kT0 + 1.0);
    cross(1, kT0 + 9.0, 8.0f);
    EXPECT_EQ(engine->driverOnLane(1), 0);
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
    writeSeries(ProgrammeType::Race, names(2));
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
    const std::string name = "VLTAVLT.CRS001.M001.100000";
    auto kept = readLapFile(engine->workFolder() / name);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->records.size(), 4u); // header, two crossings, end
    EXPECT_TRUE(engine->closeProgramme());
    EXPECT_TRUE(fs::exists(engine->workFolder() / name));

    // With the folder out of the way the same heat runs again as heat 1.
    fs::remove(seriesPath(".VAV"));
    open();
    start(kT0 + 100.0);
    cross(2, kT0 + 105.0);
    endHeat(kT0 + 110.0);
    EXPECT_EQ(heatCounter(), 1);
    EXPECT_FALSE(lapFile().empty());
}

// Laps of a participant in the stored heats of the lap file, first crossings included.
std::vector<int> storedLapsOf(const std::vector<LapRecord>& laps, int heats, int participants) {
    std::vector<int> out(static_cast<std::size_t>(participants) + 1, 0);
    for (int h = 1; h <= heats; ++h) {
        auto start = lapBlockStart(laps, h);
        if (!start) {
            ADD_FAILURE() << "no block of heat " << h;
            return out;
        }
        for (int i = 1; i < laps[*start].laps; ++i) {
            const LapRecord& r = laps[*start + static_cast<std::size_t>(i)];
            if (r.lane > 0 && r.laps > 0 && r.participant >= 1 && r.participant <= participants) {
                ++out[static_cast<std::size_t>(r.participant)];
            }
        }
    }
    return out;
}

std::vector<std::string> keptFiles(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.starts_with("VLTAVLT.") && name != "VLTAVLT.TMP" && name != "VLTAVLT.AJS") {
            out.push_back(name);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Every heat that could not be stored keeps its own journal, under a name
// that says series, heat and start, and the organiser is told that name in the language of
// the settings.
TEST_F(Lifecycle, JournalsOfHeatsThatCannotBeStoredNeverReplaceEachOther) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    fs::create_directories(seriesPath(".VAV"));
    open();
    const double starts[] = {kT0, kT0 + 100.0, kT0 + 200.0, kT0};
    std::vector<std::string> journals;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const double t = starts[i];
        start(t);
        for (int lap = 0; lap <= i; ++lap) {
            cross(1, t + 5.0 + 5.0 * lap);
        }
        journals.push_back(readBytes(eventDir() / "VLTAVLT.TMP"));
        observer.problems.clear();
        endHeat(t + 50.0);
        EXPECT_EQ(heatCounter(), 0);
        EXPECT_EQ(engine->heatNumber(), 0);
        EXPECT_FALSE(engine->holdsHeat());
        EXPECT_EQ(observer.ended.back(), 1); // the heat that ended, not the counter
    }
    EXPECT_EQ(engine->heatsNotStored(), 4);
    const std::vector<std::string> expected = {
        "VLTAVLT.CRS001.M001.100000", "VLTAVLT.CRS001.M001.100000-2", "VLTAVLT.CRS001.M001.100140",
        "VLTAVLT.CRS001.M001.100320"};
    ASSERT_EQ(keptFiles(eventDir()), expected);
    const std::string byStart[] = {expected[0], expected[2], expected[3], expected[1]};
    for (int i = 0; i < 4; ++i) {
        auto kept = readLapFile(eventDir() / byStart[i]);
        ASSERT_TRUE(kept);
        // Header, the laps, the end record: all of that heat and no other.
        EXPECT_EQ(kept->records.size(), static_cast<std::size_t>(i + 3)) << byStart[i];
        EXPECT_EQ(readBytes(eventDir() / byStart[i]).substr(24, 24 * (i + 1)),
                  journals[static_cast<std::size_t>(i)].substr(24, 24 * (i + 1)));
    }
    // The last message: the file problem and the kept file, both in Catalan.
    ASSERT_GE(observer.problems.size(), 2u);
    EXPECT_NE(observer.problems[0].find("No s'ha pogut gravar l'arxiu"), std::string::npos)
        << observer.problems[0];
    EXPECT_EQ(observer.problems[0].find("cannot write"), std::string::npos);
    EXPECT_NE(observer.problems.back().find("Les voltes de la màniga 1 no s'han pogut gravar"),
              std::string::npos)
        << observer.problems.back();
    EXPECT_NE(observer.problems.back().find(expected[1]), std::string::npos);
}

TEST_F(Lifecycle, TheKeptJournalIsToldInCastilianToo) {
    settings.language = 1;
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    fs::create_directories(seriesPath(".VAV"));
    open();
    start(kT0);
    cross(1, kT0 + 5.0);
    endHeat(kT0 + 10.0);
    ASSERT_GE(observer.problems.size(), 2u);
    EXPECT_NE(observer.problems[0].find("No se ha podido grabar el archivo"), std::string::npos)
        << observer.problems[0];
    EXPECT_NE(observer.problems.back().find("Las vueltas de la manga 1 no se han podido grabar"),
              std::string::npos)
        << observer.problems.back();
    EXPECT_NE(observer.problems.back().find("VLTAVLT.CRS001.M001.100000"), std::string::npos);
}

// The standings of a heat that was not stored go back to those of the
// stored heats, so the next stored heat's totals follow from the stored laps alone.
TEST_F(Lifecycle, AHeatThatWasNotStoredDoesNotCarryIntoTheNextStoredOne) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    fs::create_directories(seriesPath(".VAV"));
    open();
    start(kT0);
    for (int lap = 0; lap < 8; ++lap) {
        cross(1, kT0 + 5.0 + 5.0 * lap);
        cross(2, kT0 + 6.0 + 5.0 * lap);
    }
    EXPECT_EQ(cell(1, col::SeriesLaps), "8");
    endHeat(kT0 + 60.0);
    EXPECT_EQ(heatCounter(), 0);
    // Back to the entry order of a series that has run no heat.
    EXPECT_EQ(cell(1, col::SeriesLaps), "");
    EXPECT_EQ(cell(2, col::SeriesLaps), "");
    fs::remove(seriesPath(".VAV"));
    for (int heat = 1; heat <= 2; ++heat) {
        const double t = kT0 + 100.0 * heat;
        start(t);
        for (int lap = 0; lap < 3 + heat; ++lap) {
            cross(1, t + 5.0 + 5.0 * lap);
            cross(2, t + 6.0 + 5.0 * lap);
        }
        endHeat(t + 60.0);
    }
    ASSERT_EQ(heatCounter(), 2);
    const auto laps = storedLapsOf(lapFile(), 2, 2);
    auto block = resultBlock(resultFile(), 2);
    ASSERT_TRUE(block);
    ASSERT_EQ(block->size(), 2u);
    for (const auto& row : *block) {
        EXPECT_EQ(row.seriesLaps,
                  static_cast<float>(laps[static_cast<std::size_t>(row.participant)]))
            << "participant " << row.participant;
    }
    EXPECT_EQ(laps[1], 9);
}

// A heat that can be neither stored nor kept is held; no heat starts over
// it; once there is room the next start stores it first.
TEST_F(Lifecycle, AHeatThatCanBeNeitherStoredNorKeptHoldsTheNextStart) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    // Folders under the names the journal, the lap file and the kept copy are written to.
    const fs::path planted[] = {eventDir() / "VLTAVLT.TMP.new",
                                eventDir() / "VLTAVLT.CRS001.M001.100000.tmp~", seriesPath(".VAV")};
    for (const auto& folder : planted) {
        fs::create_directories(folder / "x");
    }
    open();
    start(kT0);
    cross(1, kT0 + 5.0);
    cross(2, kT0 + 6.0);
    cross(1, kT0 + 10.0);
    endHeat(kT0 + 20.0);
    EXPECT_TRUE(engine->holdsHeat());
    EXPECT_EQ(engine->heldHeat(), 1);
    EXPECT_EQ(heatCounter(), 0);
    EXPECT_TRUE(fs::exists(dir.path() / "ZTR4.TMP")); // still an interrupted heat
    ASSERT_FALSE(observer.problems.empty());
    EXPECT_NE(observer.problems.back().find("no s'han pogut gravar ni desar a part"),
              std::string::npos)
        << observer.problems.back();
    // The next start is refused, and says why.
    observer.problems.clear();
    start(kT0 + 100.0);
    EXPECT_FALSE(engine->heatRunning());
    ASSERT_FALSE(observer.problems.empty());
    EXPECT_NE(observer.problems.back().find("No es pot començar una màniga nova"),
              std::string::npos)
        << observer.problems.back();
    // Room again: the held heat is stored first, then heat 2 starts.
    for (const auto& folder : planted) {
        fs::remove_all(folder);
    }
    observer.problems.clear();
    start(kT0 + 200.0);
    EXPECT_FALSE(engine->holdsHeat());
    EXPECT_TRUE(engine->heatRunning());
    EXPECT_EQ(engine->heatNumber(), 2);
    EXPECT_EQ(heatCounter(), 1);
    ASSERT_FALSE(observer.problems.empty());
    EXPECT_NE(observer.problems.front().find("La màniga 1 s'ha gravat ara"), std::string::npos);
    // Two laps on lane 1, one on lane 2, as they were driven.
    const auto laps = storedLapsOf(lapFile(), 1, 2);
    EXPECT_EQ(laps[1] + laps[2], 3);
    EXPECT_EQ(std::max(laps[1], laps[2]), 2);
    for (int participant = 1; participant <= 2; ++participant) {
        EXPECT_EQ(cell(participant, col::SeriesLaps),
                  std::to_string(laps[static_cast<std::size_t>(participant)]));
    }
}

TEST_F(Lifecycle, ClosingWhileAHeatIsHeldLeavesItToTheRecovery) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    const fs::path planted[] = {eventDir() / "VLTAVLT.TMP.new",
                                eventDir() / "VLTAVLT.CRS001.M001.100000.tmp~", seriesPath(".VAV")};
    for (const auto& folder : planted) {
        fs::create_directories(folder / "x");
    }
    open();
    start(kT0);
    cross(1, kT0 + 5.0);
    endHeat(kT0 + 20.0);
    ASSERT_TRUE(engine->holdsHeat());
    observer.problems.clear();
    EXPECT_TRUE(engine->closeProgramme());
    EXPECT_FALSE(engine->holdsHeat());
    ASSERT_EQ(observer.problems.empty(), false);
    EXPECT_NE(observer.problems.back().find("no s'ha pogut desar sencera"), std::string::npos)
        << observer.problems.back();
    EXPECT_TRUE(fs::exists(dir.path() / "ZTR4.TMP"));
}

// A kept journal never goes over a file, a folder or a link that has the name already.
TEST_F(Lifecycle, AKeptJournalTakesTheNextFreeName) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    fs::create_directories(seriesPath(".VAV"));
    writeBytes(eventDir() / "VLTAVLT.CRS001.M001.100000", "earlier");
    fs::create_directories(eventDir() / "VLTAVLT.CRS001.M001.100000-2.AJS");
    open();
    start(kT0);
    cross(1, kT0 + 5.0);
    endHeat(kT0 + 20.0);
    EXPECT_FALSE(engine->holdsHeat());
    EXPECT_EQ(readBytes(eventDir() / "VLTAVLT.CRS001.M001.100000"), "earlier");
    auto kept = readLapFile(eventDir() / "VLTAVLT.CRS001.M001.100000-3");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->records.size(), 3u);
    EXPECT_FALSE(fs::exists(eventDir() / "VLTAVLT.TMP"));
}

// A heat start never writes over the journal of an
// interrupted heat whose recovery was declined: it is kept aside, and said so.
TEST_F(Lifecycle, AnInterruptedJournalIsKeptAsideWhenItsRecoveryIsDeclined) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    open();
    start(kT0);
    cross(1, kT0 + 5.0);
    cross(1, kT0 + 10.0);
    const std::string interrupted = readBytes(eventDir() / "VLTAVLT.TMP");
    engine.reset(); // killed
    open();
    // Closing a programme that did not write the journal leaves it alone.
    EXPECT_TRUE(engine->closeProgramme());
    EXPECT_EQ(readBytes(eventDir() / "VLTAVLT.TMP"), interrupted);
    open();
    observer.problems.clear();
    start(kT0 + 100.0);
    EXPECT_TRUE(engine->heatRunning());
    EXPECT_EQ(engine->heatNumber(), 1);
    EXPECT_EQ(readBytes(eventDir() / "VLTAVLT.CRS001.M001.100000"), interrupted);
    ASSERT_EQ(observer.problems.size(), 1u);
    EXPECT_NE(observer.problems[0].find("VLTAVLT.CRS001.M001.100000"), std::string::npos);
    EXPECT_NE(observer.problems[0].find("interrompuda i no recuperada"), std::string::npos)
        << observer.problems[0];
    // The journal of a stored heat is no interrupted heat.
    endHeat(kT0 + 120.0);
    ASSERT_EQ(heatCounter(), 1);
    engine.reset();
    open();
    observer.problems.clear();
    start(kT0 + 200.0);
    EXPECT_TRUE(observer.problems.empty());
    EXPECT_EQ(keptFiles(eventDir()).size(), 1u);
}

} // namespace
} // namespace cronovolta::test
