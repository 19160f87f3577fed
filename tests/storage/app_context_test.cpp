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
    ASSERT_TRUE(writeNewCapcaleraProva(event / kEventHeaderFileName, {{2, -3, 0, 4}, "E", "D"}));
    ASSERT_TRUE(writeParticipantList(event / "CRS003.PAR", {6, {"Anna", "Bel"}, false}));
    context.seleccio.event = 2;
    ASSERT_TRUE(loadEventSeriesCounts(context));
    EXPECT_EQ(context.seriesCounts, (std::array<std::int16_t, 5>{1, 2, 0, 0, 4}));

    context.seleccio.programa = ProgrammeType::Race;
    context.seleccio.serie = 3;
    context.configPista.lanes = 4;
    ASSERT_TRUE(loadActiveSeries(context));
    EXPECT_EQ(context.seleccio.maniguesFetes, 6);
    EXPECT_EQ(context.llistaParticipants.names, (std::vector<std::string>{"Anna", "Bel", "", ""}));

    context.seleccio.serie = 4; // no file yet
    ASSERT_TRUE(loadActiveSeries(context));
    EXPECT_EQ(context.seleccio.maniguesFetes, 0);
    EXPECT_EQ(context.llistaParticipants.names, std::vector<std::string>(4));
}
