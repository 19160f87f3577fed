#include "storage/formatting.h"

#include <gtest/gtest.h>

using namespace cronovolta;

namespace {

TrackConfig withLargestPartial(int largest) {
    TrackConfig c = defaultTrackConfig();
    c.largestPartial = static_cast<std::int16_t>(largest);
    deriveTrackConfig(c);
    return c;
}

} // namespace

TEST(NumericValue, ReadsCommaOrPointAndStopsAtTheFirstStranger) {
    EXPECT_EQ(numericValue(""), 0.0);
    EXPECT_EQ(numericValue("abc"), 0.0);
    EXPECT_EQ(numericValue("-"), 0.0);
    EXPECT_EQ(numericValue("."), 0.0);
    EXPECT_EQ(numericValue(" 12"), 12.0);
    EXPECT_EQ(numericValue("0,5"), 0.5);
    EXPECT_EQ(numericValue("1.25"), 1.25);
    EXPECT_EQ(numericValue("1,25"), 1.25);
    EXPECT_EQ(numericValue("1,2,3"), 1.2);
    EXPECT_EQ(numericValue("1 2\t3"), 123.0);
    EXPECT_EQ(numericValue("- 7.5s"), -7.5);
    EXPECT_EQ(numericValue("+3"), 3.0);
    EXPECT_EQ(numericValue("12-3"), 12.0);
    EXPECT_EQ(numericValue("1.2.3"), 1.2);
    EXPECT_EQ(numericValue(".75"), 0.75);
    EXPECT_EQ(numericValue("--5"), 0.0);
    EXPECT_EQ(numericValue("1e3"), 1.0);
    EXPECT_EQ(numericValue(std::string(400, '9')), 0.0); // beyond any double: not a number
}

TEST(LapTotals, LapFractionsShowOnlyWhenThereIsAFraction) {
    TrackConfig hundred = withLargestPartial(100);
    EXPECT_EQ(formatLaps("25", false, hundred), "25");
    EXPECT_EQ(formatLaps("25.5", false, hundred), "25.50");
    EXPECT_EQ(formatLaps("25,37", false, hundred), "25.37");
    EXPECT_EQ(formatLaps("25.001", false, hundred), "25"); // rounds to no comes
    EXPECT_EQ(formatLaps("0", false, hundred), "");
    EXPECT_EQ(formatLaps("0", true, hundred), "0");
    EXPECT_EQ(formatLaps("", true, hundred), "0");

    TrackConfig none = withLargestPartial(0);
    EXPECT_EQ(formatLaps("25.5", false, none), "26");
    EXPECT_EQ(formatLaps("25.4", false, none), "25");

    EXPECT_FALSE(lapsAreWhole("12,5", hundred));
    EXPECT_EQ(lapTotalText("12,5", hundred), "12.50");
    EXPECT_TRUE(lapsAreWhole("12", withLargestPartial(9999)));
    EXPECT_EQ(lapTotalText("12", withLargestPartial(9999)), "12.000");
    EXPECT_TRUE(lapsAreWhole("7.25", none));
    EXPECT_EQ(lapTotalText("7.25", none), "7");
}

TEST(LapGap, LapGapOrTimeGapCapped) {
    TrackConfig none = withLargestPartial(0);
    TrackConfig thousand = withLargestPartial(1000);
    EXPECT_EQ(lapGap("10", "8", "-300.1", "-290", none), "-2v");
    EXPECT_EQ(lapGap("12", "10.5", "0", "0", thousand), "-1.500v");
    EXPECT_EQ(lapGap("10", "10", "-300.10", "-300.60", none), "+0.5s");
    EXPECT_EQ(lapGap("10", "10", "150", "0", none), "+99.9s");
    EXPECT_EQ(lapGap("10", "10", "99.94", "0", none), "+99.9s");
    EXPECT_EQ(lapGap("10", "10", "5", "5", none), "+0.0s");
    EXPECT_EQ(lapGap("10", "9", "0", "0", none, {"V", "S"}), "-1V");
}

TEST(TrailingBackslash, AppendsABackslashOnlyWhenMissing) {
    EXPECT_EQ(withTrailingBackslash("C:\\CURSES"), "C:\\CURSES\\");
    EXPECT_EQ(withTrailingBackslash("C:\\CURSES\\"), "C:\\CURSES\\");
    EXPECT_EQ(withTrailingBackslash("/data/"), "/data/");
}

TEST(ScaleWindow, ControlsLinesAndGridsScaleFromTheDesignScreen) {
    EXPECT_FALSE(screenScaleFactors(800, 600).needsScaling());
    ScaleFactors s = screenScaleFactors(1600, 900);
    EXPECT_TRUE(s.needsScaling());
    ControlGeometry c = scaleControl({100, 200, 300, 400, 8.25}, s);
    EXPECT_DOUBLE_EQ(c.left, 200);
    EXPECT_DOUBLE_EQ(c.top, 300);
    EXPECT_DOUBLE_EQ(c.width, 600);
    EXPECT_DOUBLE_EQ(c.height, 600);
    EXPECT_DOUBLE_EQ(c.fontSize, 12.375);
    LineGeometry l = scaleLine({10, 10, 20, 20}, s);
    EXPECT_DOUBLE_EQ(l.x2, 40);
    EXPECT_DOUBLE_EQ(l.y2, 30);

    // 1000 x 600 twips grid with both bars: ex = 1 * 285 / 715, ey = 0.5 * 285 / 315.
    GridFactors both = gridScaleFactors(s, 1000, 600, true, true);
    EXPECT_DOUBLE_EQ(both.column, 2.0 + 285.0 / 715.0);
    EXPECT_DOUBLE_EQ(both.row, 1.5 + 0.5 * 285.0 / 315.0);
    // The columns fill what the grid gained: new width minus the bar.
    EXPECT_NEAR(715.0 * both.column, 2000.0 - 285.0, 1e-9);
    GridFactors none = gridScaleFactors(s, 1000, 600, false, false);
    EXPECT_DOUBLE_EQ(none.column, 2.0);
    EXPECT_DOUBLE_EQ(none.row, 1.5);
    // A grid no taller than its bar does not divide by zero.
    GridFactors flat = gridScaleFactors(s, 285, 285, true, true);
    EXPECT_DOUBLE_EQ(flat.column, 2.0);
    EXPECT_DOUBLE_EQ(flat.row, 1.5);
}
