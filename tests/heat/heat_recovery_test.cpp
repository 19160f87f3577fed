#include "heat_fixture.h"

#include "storage/resume_file.h"

#include <functional>

namespace cronovolta::test {
namespace {

using Recovery = HeatFixture;

// A race heat on three lanes with fast laps, rejected crossings, a carried time, a pause,
// a lap beyond the counter's range and lap adjustments: every kind of journal record.
std::vector<std::function<void(HeatEngine&)>> scenario(double t0) {
    std::vector<std::function<void(HeatEngine&)>> steps;
    auto cross = [&steps, t0](int lane, double at, float counter) {
        steps.push_back([=](HeatEngine& e) { e.registerCrossing(lane, counter, t0 + at); });
    };
    auto adjust = [&steps](std::string keys) {
        steps.push_back([=](HeatEngine& e) {
            for (char key : keys + '\r') {
                e.handleKey(key, 0.0);
            }
        });
    };
    steps.push_back([t0](HeatEngine& e) { e.handleKey('S', t0); });
    adjust("+1"); // lane 1 before its first crossing
    cross(1, 1.0, 0.0f);
    cross(2, 1.2, 0.0f);
    adjust("-2"); // applies only after lane 2's first lap
    adjust("-2"); // refused: no lap left
    cross(3, 1.5, 0.0f);
    cross(1, 6.1, 5.1f);
    cross(2, 3.0, 1.8f); // too short: carried
    cross(2, 6.3, 3.3f);
    cross(3, 7.0, 5.5f);
    steps.push_back([t0](HeatEngine& e) { e.pauseHeat(t0 + 10.0); });
    steps.push_back([t0](HeatEngine& e) { e.resumePausedHeat(t0 + 20.0); });
    cross(1, 21.0, 4.9f);
    adjust("+3");
    cross(3, 22.0, 0.0f); // manual
    cross(2, 22.5, 1.0f); // too short
    cross(2, 26.0, 4.5f);
    cross(1, 130.0, 9.0f); // beyond 99 s: the PC time
    cross(3, 131.0, 5.0f);
    adjust("+2");
    return steps;
}

struct Scenario {
    std::size_t nextStep = 0; // the first step of the scenario not run before the cut
    std::string journal;
    std::string adjustments;
    std::string resume;
    std::string vav;
    std::string dad;
    std::string par;
    std::vector<std::string> standings;
    std::vector<std::string> lanes;
};

class RecoveryOfCutJournals : public HeatFixture {
protected:
    static constexpr double kEnd = kT0 + 500.0;

    // Each run starts from an empty data folder.
    void prepare() {
        engine.reset();
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            fs::remove_all(entry.path());
        }
        setTrack({1, 2, 3}, 3.0f);
        writeSeries(ProgrammeType::Race, names(4));
    }
    std::string file(const fs::path& p) const {
        return fs::exists(p) ? readBytes(p) : std::string("<none>");
    }
    std::vector<std::string> standingsTexts() const {
        std::vector<std::string> out;
        const auto& g = engine->standings();
        for (int r = 1; r <= g.rowCount(); ++r) {
            for (int c = 0; c < col::Count; ++c) {
                out.push_back(g.text(r, c));
            }
        }
        return out;
    }
    std::vector<std::string> laneTexts() const {
        std::vector<std::string> out;
        for (int l = 1; l <= 3; ++l) {
            for (const auto& row : lane(l).rows) {
                out.push_back(row);
            }
            out.push_back("|" + lane(l).fastestLap);
        }
        for (const auto& e : engine->panel().errors) {
            out.push_back(e.substr(0, 8)); // the clock part depends on when the tick ran
        }
        return out;
    }
    // Runs the first `count` steps of the scenario (all of them when count is larger), keeps
    // what a program killed then would leave, and ends the heat with S.
    Scenario reference(std::size_t count) {
        prepare();
        open();
        auto steps = scenario(kT0);
        Scenario s;
        for (; s.nextStep < std::min(count, steps.size()); ++s.nextStep) {
            steps[s.nextStep](*engine);
        }
        s.journal = file(eventDir() / "VLTAVLT.TMP");
        s.adjustments = file(eventDir() / "VLTAVLT.AJS");
        s.resume = file(dir.path() / "ZTR4.TMP");
        s.standings = standingsTexts();
        s.lanes = laneTexts();
        engine->handleKey('S', kEnd);
        s.vav = file(seriesPath(".VAV"));
        s.dad = file(seriesPath(".DAD"));
        s.par = file(seriesPath(".PAR"));
        return s;
    }
    // A fresh folder holding what a killed program left, recovered, given the crossings
    // from step `resumeAt` on, and ended with S.
    Scenario recovered(const std::string& journalBytes, const std::string& adjustmentBytes,
                       const std::string& resume,
                       RecoveryOutcome expected = RecoveryOutcome::Resumed,
                       std::size_t resumeAt = 1000) {
        prepare();
        writeBytes(eventDir() / "VLTAVLT.TMP", journalBytes);
        if (adjustmentBytes != "<none>") {
            writeBytes(eventDir() / "VLTAVLT.AJS", adjustmentBytes);
        }
        writeBytes(dir.path() / "ZTR4.TMP", resume);
        auto state = readResumeFile(dir.path() / "ZTR4.TMP");
        EXPECT_TRUE(state);
        fs::remove(dir.path() / "ZTR4.TMP"); // consumed by the start-up question
        open();
        EXPECT_EQ(engine->recoverHeat(state->heatStart, kT0 + 400.0), expected);
        Scenario s;
        s.standings = standingsTexts();
        s.lanes = laneTexts();
        auto steps = scenario(kT0);
        for (std::size_t i = resumeAt; i < steps.size(); ++i) {
            steps[i](*engine);
        }
        engine->handleKey('S', kEnd);
        s.vav = file(seriesPath(".VAV"));
        s.dad = file(seriesPath(".DAD"));
        s.par = file(seriesPath(".PAR"));
        return s;
    }
};

// Killed after any step that wrote a record to the lap journal or the adjustment journal,
// or in the middle of writing the next one.
TEST_F(RecoveryOfCutJournals, EveryCutEndsWithTheLapsOfAnUninterruptedRun) {
    Scenario full = reference(1000);
    ASSERT_EQ(full.journal.size() / kLapRecordSize, 15u); // header, 13 crossings, 1 pause
    ASSERT_EQ(full.adjustments.size() / kLapAdjustmentSize, 4u);
    Scenario before;
    for (std::size_t k = 1; k <= full.nextStep; ++k) {
        Scenario ref = reference(k);
        if (k > 1 && ref.journal == before.journal && ref.adjustments == before.adjustments) {
            continue; // nothing written: a pause, or a refused adjustment
        }
        before = ref;
        Scenario next = reference(k + 1);
        bool lapNext = next.journal.size() > ref.journal.size();
        std::size_t recordSize = lapNext ? kLapRecordSize : kLapAdjustmentSize;
        for (std::size_t extra : {std::size_t{0}, std::size_t{1}, recordSize / 2, recordSize - 1}) {
            std::string journal = ref.journal;
            std::string adjustments = ref.adjustments;
            if (extra > 0 && k < full.nextStep) {
                if (lapNext) {
                    journal += next.journal.substr(journal.size(), extra);
                } else {
                    adjustments = (adjustments == "<none>" ? "" : adjustments) +
                                  next.adjustments.substr(
                                      adjustments == "<none>" ? 0 : adjustments.size(), extra);
                }
            } else if (extra > 0) {
                continue;
            }
            Scenario rec = recovered(journal, adjustments, ref.resume);
            SCOPED_TRACE("steps " + std::to_string(k) + " + " + std::to_string(extra));
            EXPECT_EQ(rec.lanes, ref.lanes);
            EXPECT_EQ(rec.standings, ref.standings);
            EXPECT_EQ(rec.vav, ref.vav);
            EXPECT_EQ(rec.dad, ref.dad);
            EXPECT_EQ(rec.par, ref.par);
            EXPECT_FALSE(fs::exists(eventDir() / "VLTAVLT.BAK"));
            // The heat goes on after the recovery: every later crossing arrives as before,
            // and the heat is stored as if nothing had happened.
            Scenario cont =
                recovered(journal, adjustments, ref.resume, RecoveryOutcome::Resumed, ref.nextStep);
            EXPECT_EQ(cont.vav, full.vav);
            EXPECT_EQ(cont.dad, full.dad);
        }
    }
}

TEST_F(RecoveryOfCutJournals, HeatThatHadEndedIsStoredFromItsJournal) {
    Scenario full = reference(1000);
    // Killed after the end record, before the series files: the journal is complete.
    prepare();
    open();
    for (auto& step : scenario(kT0)) {
        step(*engine);
    }
    std::string resume = file(dir.path() / "ZTR4.TMP");
    engine->handleKey('S', kEnd);
    std::string endedJournal = file(eventDir() / "VLTAVLT.TMP");
    Scenario rec = recovered(endedJournal, file(eventDir() / "VLTAVLT.AJS"), resume,
                             RecoveryOutcome::Completed);
    EXPECT_EQ(rec.vav, full.vav);
    EXPECT_EQ(rec.dad, full.dad);
    EXPECT_EQ(rec.par, full.par);
}

TEST_F(RecoveryOfCutJournals, HeatStoredJustBeforeTheCrashIsNotRunAgain) {
    Scenario full = reference(1000);
    engine.reset();
    std::string journal = file(eventDir() / "VLTAVLT.TMP");
    // The resume file was still there: start-up offers the recovery of heat 1.
    writeBytes(dir.path() / "ZTR4.TMP", full.resume);
    auto state = readResumeFile(dir.path() / "ZTR4.TMP");
    ASSERT_TRUE(state);
    open();
    EXPECT_EQ(engine->recoverHeat(state->heatStart, kEnd + 10), RecoveryOutcome::AlreadyStored);
    EXPECT_FALSE(engine->heatRunning());
    EXPECT_EQ(engine->heatNumber(), 1);
    EXPECT_EQ(file(seriesPath(".VAV")), full.vav);
    EXPECT_EQ(file(seriesPath(".DAD")), full.dad);
    EXPECT_EQ(file(eventDir() / "VLTAVLT.TMP"), journal);
}

TEST_F(Recovery, ReplayRestoresLapListsFastestLapAndRejections) {
    setTrack({1, 2}, 3.0f);
    writeSeries(ProgrammeType::OfficialPractice, names(2));
    open();
    start(kT0);
    cross(2, kT0 + 1.0);
    cross(2, kT0 + 6.0, 5.0f);
    cross(2, kT0 + 7.0, 1.0f); // rejected
    cross(2, kT0 + 11.5, 4.5f);
    auto lanesBefore = lane(2);
    auto resume = readResumeFile(dir.path() / "ZTR4.TMP");
    ASSERT_TRUE(resume);
    engine.reset(); // the program is killed
    open();
    EXPECT_EQ(engine->recoverHeat(resume->heatStart, kT0 + 20.0), RecoveryOutcome::Resumed);
    EXPECT_TRUE(engine->heatRunning());
    EXPECT_EQ(lane(2).rows, (std::vector<std::string>{"3", "+1", "5.0000", "5.5000"}));
    EXPECT_EQ(lane(2).fastestLap, "5.0000");
    EXPECT_EQ(lane(2).highlighted, lanesBefore.highlighted);
    ASSERT_EQ(engine->panel().errors.size(), 1u);
    EXPECT_EQ(engine->panel().errors[0], "-2  (1)  0:00:07");
    EXPECT_EQ(engine->lanes().flagLane(), 2);
    int p = engine->driverOnLane(2);
    EXPECT_EQ(cell(p, col::HeatLaps), "3");
    EXPECT_EQ(cell(p, col::Fastest), "5.0000");
    // The resume file is written again, so a second crash can be recovered too.
    EXPECT_TRUE(fs::exists(dir.path() / "ZTR4.TMP"));
    // The heat goes on: the next lap counts from the last crossing of the journal.
    cross(2, kT0 + 16.0);
    EXPECT_EQ(lane(2).rows.back(), "4.5000");
}

TEST_F(Recovery, JournalOfAnInterruptedRecoveryIsTakenFromItsBackup) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::OfficialPractice, names(2));
    open();
    start(kT0);
    cross(1, kT0 + 1.0);
    cross(1, kT0 + 6.0, 5.0f);
    std::string whole = readBytes(eventDir() / "VLTAVLT.TMP");
    auto resume = readResumeFile(dir.path() / "ZTR4.TMP");
    engine.reset();
    // A recovery was killed after renaming the journal and writing part of the new one.
    fs::rename(eventDir() / "VLTAVLT.TMP", eventDir() / "VLTAVLT.BAK");
    writeBytes(eventDir() / "VLTAVLT.TMP", whole.substr(0, 30));
    open();
    engine->recoverHeat(resume->heatStart, kT0 + 10.0);
    EXPECT_EQ(lane(1).rows[0], "2");
    EXPECT_FALSE(fs::exists(eventDir() / "VLTAVLT.BAK"));
    EXPECT_EQ(readBytes(eventDir() / "VLTAVLT.TMP"), whole);
}

TEST_F(Recovery, MissingOrForeignJournalStartsTheHeatWithAFreshHeader) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::OfficialPractice, names(2));
    open();
    EXPECT_EQ(engine->recoverHeat(static_cast<float>(kT0), kT0 + 5.0), RecoveryOutcome::Resumed);
    auto j = journal();
    ASSERT_EQ(j.size(), 1u);
    EXPECT_FLOAT_EQ(j[0].crossingTime, static_cast<float>(kT0));
    EXPECT_FLOAT_EQ(j[0].lapTime, 1.0f);
    engine->handleKey('S', kT0 + 10.0);
    // A journal of heat 7 is not replayed into heat 2.
    LapRecord header;
    header.lapTime = 7.0f;
    LapRecord lap{1, 1, 3.0f, 5.0f, 0, 2, 0.0f, 0.0f};
    std::string foreign = encodeLapFile({header, lap});
    writeBytes(eventDir() / "VLTAVLT.TMP", foreign);
    open();
    observer.problems.clear();
    engine->recoverHeat(static_cast<float>(kT0 + 100.0), kT0 + 105.0);
    EXPECT_EQ(engine->heatNumber(), 2);
    EXPECT_EQ(journal().size(), 1u);
    EXPECT_EQ(lane(1).rows[0], "");
    ASSERT_FALSE(observer.problems.empty());
    // Its laps are not thrown away, and not where the next recovery would take them from.
    EXPECT_NE(observer.problems[0].find("VLTAVLT.007"), std::string::npos);
    EXPECT_EQ(readBytes(eventDir() / "VLTAVLT.007"), foreign);
    EXPECT_FALSE(fs::exists(eventDir() / "VLTAVLT.BAK"));
    // A header whose heat number is out of any range names no heat.
    engine->handleKey('S', kT0 + 110.0);
    header.lapTime = 1e30f;
    std::string damaged = encodeLapFile({header, lap});
    writeBytes(eventDir() / "VLTAVLT.TMP", damaged);
    open();
    engine->recoverHeat(static_cast<float>(kT0 + 200.0), kT0 + 205.0);
    EXPECT_EQ(engine->heatNumber(), 3);
    EXPECT_EQ(readBytes(eventDir() / "VLTAVLT.000"), damaged);
}

TEST_F(Recovery, ADamagedHeaderNumberIsStoredAsTheHeatItWasTakenFor) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    LapRecord header;
    header.crossingTime = static_cast<float>(kT0);
    header.lapTime = 1.00002f;
    LapRecord lap{1, 1, static_cast<float>(kT0 + 3.0), 3.0f, 0, 1, 0.0f, 0.0f};
    writeBytes(eventDir() / "VLTAVLT.TMP", encodeLapFile({header, lap}));
    open();
    EXPECT_EQ(engine->recoverHeat(static_cast<float>(kT0), kT0 + 5.0), RecoveryOutcome::Resumed);
    endHeat(kT0 + 6.0);
    auto laps = lapFile();
    ASSERT_FALSE(laps.empty());
    EXPECT_EQ(laps.front().lapTime, 1.0f);
    EXPECT_TRUE(lapBlockStart(laps, 2).has_value());
}

} // namespace
} // namespace cronovolta::test

namespace cronovolta::test {
namespace {

// A recovery killed early left heat 1's journal as "VLTAVLT.BAK"; heat 1 was run again and
// stored, then heat 2 was interrupted. The old backup belongs to neither and is never
// taken for heat 2's journal, whether its heat number or only its start differs.
TEST_F(Recovery, BackupOfAnotherHeatIsKeptAsideAndNeverReplayed) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Race, names(2));
    for (bool sameNumber : {false, true}) {
        SCOPED_TRACE(sameNumber ? "same heat number" : "earlier heat");
        fs::remove_all(eventDir() / "VLTAVLT.001");
        open();
        start(kT0);
        cross(1, kT0 + 1.0);
        cross(1, kT0 + 5.0, 4.0f);
        const std::string abandoned = readBytes(eventDir() / "VLTAVLT.TMP");
        engine.reset();
        fs::rename(eventDir() / "VLTAVLT.TMP", eventDir() / "VLTAVLT.BAK");
        fs::remove(dir.path() / "ZTR4.TMP"); // consumed by the killed recovery's start-up

        open();
        if (!sameNumber) {
            start(kT0 + 500.0); // heat 1 again, stored this time
            cross(1, kT0 + 501.0);
            engine->handleKey('S', kT0 + 510.0);
        }
        // Heat 1 runs again from the start, or heat 2 runs; then a crash.
        start(kT0 + 1000.0);
        cross(2, kT0 + 1001.0);
        cross(2, kT0 + 1007.0, 6.0f);
        cross(2, kT0 + 1013.0, 6.0f);
        const auto resume = readResumeFile(dir.path() / "ZTR4.TMP");
        ASSERT_TRUE(resume);
        const int heat = engine->heatNumber();
        engine.reset();
        open();
        observer.problems.clear();
        EXPECT_EQ(engine->recoverHeat(resume->heatStart, kT0 + 1020.0), RecoveryOutcome::Resumed);
        EXPECT_EQ(engine->heatNumber(), heat);
        EXPECT_EQ(lane(2).rows, (std::vector<std::string>{"3", "+1", "6.0000", "6.0000"}));
        EXPECT_EQ(lane(1).rows[0], "");
        // Kept aside under its heat's number, and the organiser is told where.
        const std::string aside = "VLTAVLT.001";
        EXPECT_FALSE(fs::exists(eventDir() / "VLTAVLT.BAK"));
        EXPECT_EQ(readBytes(eventDir() / aside), abandoned);
        ASSERT_EQ(observer.problems.size(), 1u);
        EXPECT_NE(observer.problems[0].find(aside), std::string::npos);
        EXPECT_NE(observer.problems[0].find("màniga 1 (començada a les 10:00:00)"),
                  std::string::npos)
            << observer.problems[0];
        engine->handleKey('S', kT0 + 1030.0);
        ASSERT_FALSE(engine->heatRunning());
        engine->closeProgramme();
        writeSeries(ProgrammeType::Race, names(2)); // back to heat 0 for the second case
        fs::remove(seriesPath(".VAV"));
        fs::remove(seriesPath(".DAD"));
    }
}

TEST_F(Recovery, JournalHeatStartFollowsItsPauses) {
    LapRecord header;
    header.crossingTime = 86390.0f;
    LapRecord pause{-1, 0, 12.0f, 15.5f, 0, 1, 0.0f, 0.0f};
    LapRecord lap{1, 1, 20.0f, 5.0f, 0, 2, 0.0f, 0.0f};
    EXPECT_FLOAT_EQ(journalHeatStart({header, lap}), 86390.0f);
    // Past midnight, as the resume file's lines go.
    EXPECT_FLOAT_EQ(journalHeatStart({header, pause, lap, pause}), 21.0f);
}

} // namespace
} // namespace cronovolta::test
