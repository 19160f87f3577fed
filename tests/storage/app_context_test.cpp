#include "storage/app_context.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace cronovolta;
using cronovolta::test::TempDir;

TEST(AppContext, SelectingAnEventAndASeriesLoadsCountsAndParticipants) {
    TempDir dir;
    AppContext context;
    context.dataDir = dir.path();
    EXPECT_FALSE(loadEventSeriesCounts(context)); // nothing selected

    fs::path event = eventFolder(dir.path(), 2);
    fs::create_directories(event);
    ASSERT_TRUE(writeNewEventHeader(event / kEventHeaderFileName, {{2, -3, 0, 4}, "E", "D"}));
    ASSERT_TRUE(writeParticipantList(event / "CRS003.PAR", {6, {"Anna", "Bel"}, false}));
    context.activeSelection.event = 2;
    ASSERT_TRUE(loadEventSeriesCounts(context));
    EXPECT_EQ(context.seriesCounts, (std::array<std::int16_t, 5>{1, 2, 0, 0, 4}));

    context.activeSelection.programmeType = ProgrammeType::Race;
    context.activeSelection.seriesNumber = 3;
    context.trackConfig.lanes = 4;
    ASSERT_TRUE(loadActiveSeries(context));
    EXPECT_EQ(context.activeSelection.heatsDone, 6);
    EXPECT_EQ(context.activeParticipants.names, (std::vector<std::string>{"Anna", "Bel", "", ""}));

    context.activeSelection.seriesNumber = 4; // no file yet
    ASSERT_TRUE(loadActiveSeries(context));
    EXPECT_EQ(context.activeSelection.heatsDone, 0);
    EXPECT_EQ(context.activeParticipants.names, std::vector<std::string>(4));
}
