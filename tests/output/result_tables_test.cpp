#include "output/result_tables.h"

#include "output/browsers.h"
#include "results/event_folder.h"
#include "results/results_source.h"

#include <gtest/gtest.h>

namespace cronovolta {
namespace {

using test::sourceOf;
using test::twoByTwo;

TEST(ResultTables, TrainingTablePairsRanksAndLapsPerLaneOfTheChangeOrder) {
    // Official practice ranks by fastest lap: Bernat 4.9 before Anna 5.0. On lane 1 Anna
    // (5.1) beats Bernat (5.3); on lane 2 Bernat (4.9) beats Anna (5.0).
    struct Case {
        std::vector<std::int16_t> order;
        std::string expected;
    };
    const Case cases[] = {
        {{2, 1, 2},
         "1.- Bernat\t2\t1\t4.9000\r\n\t5.3000\t4.9000\t\r\n"
         "2.- Anna\t1\t2\t5.0000\r\n\t5.1000\t5.0000\t"},
        {{2, 2, 1},
         "1.- Bernat\t1\t2\t4.9000\r\n\t4.9000\t5.3000\t\r\n"
         "2.- Anna\t2\t1\t5.0000\r\n\t5.0000\t5.1000\t"},
    };
    for (const Case& c : cases) {
        auto browser = sourceOf({{ProgrammeType::OfficialPractice, {twoByTwo()}}},
                                2)(ProgrammeType::OfficialPractice);
        TrackConfig track = test::trackWith(2);
        track.laneChangeOrder = c.order;
        EXPECT_EQ(trainingTable(*browser, track), c.expected);
    }
}

TEST(ResultTables, RaceTablesListEachStageWithItsResults) {
    SeriesData repechage =
        test::SeriesBuilder(2, {"Carla", "Dani"}).heat({{1, 8, 100.0f, 6.0f, 1, 8, 6.0f}}).data();
    auto browser =
        sourceOf({{ProgrammeType::Race, {twoByTwo(), repechage}}}, 2)(ProgrammeType::Race);
    const std::vector<ProgressionStage> stages{kQualifyingRace, kRepechages};
    const std::string heading =
        "Sèrie\tFase\tN.\tParticipant\tPista d'inici\tPosició\tTotal voltes\tVolta ràpida\r\n";
    EXPECT_EQ(raceTable(*browser, stages, true, 0),
              heading + "2\tRepesca\t1\tCarla\t2\t1\t8\t6.0000\r\n2\tRepesca\t2\tDani\t1\r\n");
    const std::string all = raceTable(*browser, stages, false, 0);
    EXPECT_TRUE(all.starts_with(heading + "1\tClassificatòria\t1\tAnna\t2\t1\t19\t5.0000\r\n"
                                          "1\tClassificatòria\t2\tBernat\t1\t2\t18\t4.9000\r\n"));
}

TEST(ResultTables, WritesOnlyWhatTheEventHasIntoItsFolder) {
    test::EventFolder folder(2);
    SeriesData practice = twoByTwo();
    ASSERT_TRUE(
        writeParticipantList(participantFile(folder.event(), ProgrammeType::OfficialPractice, 1),
                             practice.participants));
    ASSERT_TRUE(writeHeatResultFile(folder.event() / "OFC001.DAD", practice.heats));
    auto event = openEventFiles(folder.data(), 1);
    ASSERT_TRUE(event.has_value());
    std::vector<std::string> problems;
    auto written = writeResultTables(*event, problems);
    ASSERT_TRUE(written.has_value()) << written.error();
    // No lane-distribution table: no race tables.
    ASSERT_EQ(written->size(), 1u);
    EXPECT_EQ(written->front(), folder.event() / "ENTRENAMENTS.TXT");
    EXPECT_TRUE(test::readBytes(written->front()).starts_with("1.- Bernat\t2\t1\t4.9000\r\n"));
}

} // namespace
} // namespace cronovolta
