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

} // namespace
} // namespace cronovolta
