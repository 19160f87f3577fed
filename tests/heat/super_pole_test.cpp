#include "heat_fixture.h"

#include "storage/resume_file.h"

namespace cronovolta::test {
namespace {

class SuperPole : public HeatFixture {
protected:
    void SetUp() override {
        setTrack({1, 2, 3, 4, 5, 6});
        track.splitTiming = true;
        track.partialLane = 5;
        track.speedLane = 6;
        track.speedDistance = 40;
        writeSeries(ProgrammeType::SuperPole, names(3));
        fs::create_directories(dir.path() / "INFOGRAF");
        writeBytes(dir.path() / "INFOGRAF" / "0000.GIF", "GIF89a");
        writeBytes(dir.path() / "INFOGRAF" / "4000.GIF", "GIF89a");
        open();
    }
    const SuperPoleModel& sp() const { return engine->superPole(); }
};

TEST_F(SuperPole, OneDriverAtATimeWithRunsSplitsAndSpeed) {
    EXPECT_EQ(engine->panel().tickIntervalMs, 50);
    EXPECT_EQ(sp().images[0], dir.path() / "INFOGRAF" / "0000.GIF");
    EXPECT_EQ(sp().nextDriver, "E - Pilot 1");
    start(kT0);
    EXPECT_EQ(sp().onTrack, "Pilot 1");
    EXPECT_EQ(sp().nextDriver, "E - Pilot 2");
    EXPECT_EQ(cell(1, col::Lane), "0");
    EXPECT_EQ(cell(2, col::Lane), "E");
    for (int l = 1; l <= 6; ++l) {
        EXPECT_EQ(engine->driverOnLane(l), 1);
    }
    cross(5, kT0 + 0.5); // no run yet: nothing to time
    EXPECT_EQ(journal().size(), 1u);

    cross(2, kT0 + 1.0);
    cross(3, kT0 + 2.0); // another lane than the driver's: ignored
    ASSERT_EQ(sp().timing.size(), 2u);
    EXPECT_EQ(sp().timing[1][spcol::Name], "Pilot 1");
    EXPECT_EQ(sp().timing[1][spcol::Lane], "2");
    engine->tick(kT0 + 3.0);
    EXPECT_EQ(sp().timing[1][spcol::Lap], "2.0");

    cross(5, kT0 + 4.0);
    cross(5, kT0 + 7.0);
    cross(6, kT0 + 7.05);
    cross(5, kT0 + 8.0);
    EXPECT_EQ(sp().timing[1][spcol::Split1], "3.00");
    EXPECT_EQ(sp().timing[1][spcol::Split2], "6.00");
    EXPECT_EQ(sp().timing[1][spcol::Speed], "28.80");
    EXPECT_EQ(sp().splits[1][2].text, "28.80");
    EXPECT_EQ(sp().splits[1][0].colour, -1); // first run: nothing to compare with
    auto j = journal();
    ASSERT_EQ(j.size(), 6u);
    EXPECT_EQ(j[2].splitKind, 1.0f);
    EXPECT_FLOAT_EQ(j[2].splitValue, 3.0f);
    EXPECT_EQ(j[2].laps, 1);
    EXPECT_EQ(j[3].splitKind, 2.0f);
    EXPECT_EQ(j[4].splitKind, 13.0f);
    EXPECT_NEAR(j[4].splitValue, 28.8f, 0.01f);
    EXPECT_EQ(j[5].splitKind, 100.0f);

    cross(2, kT0 + 11.0, 10.0f);
    ASSERT_EQ(sp().timing.size(), 3u);
    EXPECT_EQ(sp().timing[1][spcol::Lap], "10.0000");
    EXPECT_EQ(cell(1, col::Fastest), "10.0000");
    EXPECT_EQ(cell(1, col::Lane), "2");

    cross(5, kT0 + 13.9); // faster first sector: best of all, its picture shown
    EXPECT_EQ(sp().splits[2][0].text, "2.90");
    EXPECT_EQ(sp().splits[2][0].colour, 12);
    EXPECT_EQ(sp().images[1], dir.path() / "INFOGRAF" / "4000.GIF");
    // Two crossings of the speed input frame the trap; the counter's time is the finer.
    cross(6, kT0 + 15.0);
    cross(6, kT0 + 15.05, 0.04f);
    EXPECT_EQ(sp().splits[2][2].text, "36.00");
    EXPECT_EQ(sp().splits[2][2].colour, 12);
    EXPECT_EQ(journal().back().splitKind, 13.0f);
    cross(5, kT0 + 17.5); // slower second sector: second best
    EXPECT_EQ(sp().splits[2][1].colour, 11);
    EXPECT_EQ(sp().reference[1][0], "2.90");
    EXPECT_EQ(sp().reference[2][0], "3.00");
    EXPECT_EQ(sp().reference[1][2], "36.00");
    endHeat(kT0 + 30.0);

    start(kT0 + 100.0);
    EXPECT_EQ(sp().onTrack, "Pilot 2");
    EXPECT_EQ(sp().timing.size(), 1u);
    EXPECT_EQ(engine->driverOnLane(4), 2);
    EXPECT_EQ(sp().reference[1][0], "2.90"); // the references stay for the next drivers
    endHeat(kT0 + 130.0);
    // and for the same series opened again.
    ASSERT_TRUE(engine->closeProgramme());
    open();
    EXPECT_EQ(sp().reference[1][0], "2.90");
    EXPECT_EQ(sp().reference[2][0], "3.00");
    EXPECT_EQ(sp().reference[1][2], "36.00");
}

TEST_F(SuperPole, CancelledHeatIsNoLongerASectorReference) {
    start(kT0);
    cross(2, kT0 + 1.0);
    cross(5, kT0 + 3.9);
    endHeat(kT0 + 20.0);
    EXPECT_EQ(sp().reference[1][0], "2.90");
    ASSERT_TRUE(engine->cancelLastHeat());
    EXPECT_EQ(sp().reference[1][0], "");
    start(kT0 + 100.0);
    cross(2, kT0 + 101.0);
    cross(5, kT0 + 104.5);
    cross(2, kT0 + 111.0, 10.0f);
    cross(5, kT0 + 114.2);
    EXPECT_EQ(sp().splits[2][0].colour, 12); // best first sector of the series as it stands
}

TEST_F(SuperPole, RecoveredRunKeepsItsRowsAndSplits) {
    start(kT0);
    cross(2, kT0 + 1.0);
    cross(5, kT0 + 4.0);
    cross(2, kT0 + 11.0, 10.0f);
    cross(5, kT0 + 14.5);
    auto timing = sp().timing;
    auto resume = readResumeFile(dir.path() / "ZTR4.TMP");
    ASSERT_TRUE(resume);
    engine.reset();
    open();
    engine->recoverHeat(resume->heatStart, kT0 + 20.0);
    EXPECT_EQ(sp().timing, timing);
    EXPECT_EQ(sp().splits[2][0].text, "3.50");
    cross(3, kT0 + 21.0); // the active lane is still lane 2
    cross(2, kT0 + 21.5, 10.5f);
    EXPECT_EQ(sp().timing[2][spcol::Lap], "10.5000");
}

} // namespace
} // namespace cronovolta::test
