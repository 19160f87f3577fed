#include "heat/lap_lanes.h"
#include "heat_fixture.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

TEST(LapLanesLayout, PanelRowsFontAndScrollBarFollowTheLaneCount) {
    auto eight = lanesLayout(8);
    EXPECT_EQ(eight.panelRows, 1);
    EXPECT_EQ(eight.panelsPerRow, 8);
    EXPECT_EQ(eight.fontSize, 12);
    EXPECT_EQ(eight.gridHeight, 7000);
    EXPECT_EQ(eight.rowStep, 8500);
    EXPECT_FALSE(eight.scrollBarVisible);
    auto twelve = lanesLayout(12);
    EXPECT_EQ(twelve.panelRows, 2);
    EXPECT_EQ(twelve.panelsPerRow, 6);
    EXPECT_EQ(twelve.gridHeight, 3050);
    EXPECT_EQ(twelve.rowStep, 4025);
    EXPECT_FALSE(twelve.scrollBarVisible);
    EXPECT_DOUBLE_EQ(twelve.nameFieldFactor, 8.0 / 6.0);
    auto twentyOne = lanesLayout(21);
    EXPECT_EQ(twentyOne.panelRows, 3);
    EXPECT_EQ(twentyOne.panelsPerRow, 7);
    EXPECT_TRUE(twentyOne.scrollBarVisible);
    EXPECT_EQ(twentyOne.scrollMax, 2);
    auto ten = lanesLayout(10);
    EXPECT_EQ(ten.panelRows, 1);
    EXPECT_EQ(ten.panelsPerRow, 10);
    EXPECT_EQ(ten.fontSize, 10);
    EXPECT_DOUBLE_EQ(ten.scale, 0.8);
    auto all = lanesLayout(64);
    EXPECT_EQ(all.panelRows, 7);
    EXPECT_EQ(all.panelsPerRow, 10);
}

TEST(LapLanesLayout, LaneMissingFromTheOrderHasAHiddenPanel) {
    LapLanes lanes;
    lanes.layOut({5, 1, 3, 4, 5}, "Pista", 14, 15);
    EXPECT_EQ(lanes.highestLane(), 5);
    EXPECT_FALSE(lanes.takesPart(2));
    EXPECT_EQ(lanes.panel(2).position, 0);
    EXPECT_EQ(lanes.panel(3).position, 2);
    EXPECT_EQ(lanes.panel(5).position, 4);
    EXPECT_EQ(lanes.panel(3).gridColour, 15);
    EXPECT_EQ(lanes.panel(4).gridColour, 14);
    EXPECT_EQ(lanes.panel(4).title, "Pista 4");
}

TEST(LapLanesLayout, ScrollBarGoesRoundAndMovesThePanels) {
    LapLanes lanes;
    std::vector<std::int16_t> order{21};
    for (int i = 1; i <= 21; ++i) {
        order.push_back(static_cast<std::int16_t>(i));
    }
    lanes.layOut(order, "Pista", 14, 15);
    EXPECT_EQ(lanes.scrollValue(), 1);
    lanes.advanceScroll();
    EXPECT_EQ(lanes.scrollValue(), 2);
    EXPECT_EQ(lanes.panelAreaTop(), -4025);
    lanes.advanceScroll();
    EXPECT_EQ(lanes.scrollValue(), 1);
}

using LanesOfAProgramme = HeatFixture;

TEST_F(LanesOfAProgramme, AutoScrollStepsWithTheHeatClock) {
    settings.autoScroll = 5;
    std::vector<std::int16_t> order;
    for (int i = 1; i <= 21; ++i) {
        order.push_back(static_cast<std::int16_t>(i));
    }
    setTrack(order);
    writeSeries(ProgrammeType::Race, names(30));
    open();
    start(kT0);
    engine->tick(kT0 + 4.5);
    EXPECT_EQ(engine->lanes().scrollValue(), 1);
    engine->tick(kT0 + 5.0);
    EXPECT_EQ(engine->lanes().scrollValue(), 2);
    EXPECT_EQ(engine->standings().topRow(), 25); // 30 rows: 24 on
    engine->tick(kT0 + 10.0);
    EXPECT_EQ(engine->lanes().scrollValue(), 1);
    EXPECT_EQ(engine->standings().topRow(), 1); // fewer than 24 below: back to the top
}

TEST_F(LanesOfAProgramme, ClosingWithoutAJournalLeavesNone) {
    setTrack({1, 2});
    writeSeries(ProgrammeType::Practice, names(2));
    fs::create_directories(dir.path());
    ASSERT_TRUE(saveTrackConfig(dir.path() / "PISTA.CFG", track));
    open();
    EXPECT_TRUE(engine->closeProgramme());
    EXPECT_FALSE(fs::exists(dir.path() / "VLTAVLT.TMP"));
    open();
    start(kT0);
    cross(1, kT0 + 1.0);
    EXPECT_EQ(engine->driverOnLane(1), 0); // practice: no lane assignment
    EXPECT_FALSE(fs::exists(dir.path() / "ZTR4.TMP"));
    EXPECT_FALSE(engine->closeProgramme()); // not while the heat runs
    engine->handleKey('s', kT0 + 5.0);
    EXPECT_TRUE(fs::exists(dir.path() / "VLTAVLT.TMP"));
    EXPECT_TRUE(engine->closeProgramme());
    EXPECT_FALSE(fs::exists(dir.path() / "VLTAVLT.TMP"));
}

} // namespace
} // namespace cronovolta::test
