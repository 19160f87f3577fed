#include "heat/standings_layout.h"

#include <gtest/gtest.h>

namespace cronovolta {
namespace {

TEST(StandingsLayout, RowSizeByTheRowsShown) {
    EXPECT_EQ(standingsRowSize(12).height, 600);
    EXPECT_EQ(standingsRowSize(12).fontSize, 14);
    EXPECT_EQ(standingsRowSize(16).height, 450);
    EXPECT_EQ(standingsRowSize(16).fontSize, 12);
    EXPECT_EQ(standingsRowSize(30).height, 310);
    EXPECT_EQ(standingsRowSize(24).height, 310);
    EXPECT_EQ(standingsRowSize(20).height, 375);
}

TEST(StandingsLayout, ProgrammesShowTheirColumns) {
    auto practice = standingsColumnWidths(2);
    EXPECT_EQ(practice[col::Fastest], 1400);
    EXPECT_EQ(practice[col::Adjustments], 0);
    EXPECT_EQ(practice[col::Dorsal], 0);
    auto race = standingsColumnWidths(4);
    EXPECT_EQ(race[col::SeriesLaps], 1500);
    EXPECT_EQ(race[col::Fastest], 0);
    EXPECT_GT(race[col::Adjustments], 0);
    EXPECT_EQ(race[col::HeatKey1], 0);
}

} // namespace
} // namespace cronovolta
