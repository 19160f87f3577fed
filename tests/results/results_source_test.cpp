#include "results/results_source.h"
#include "storage/penalty_record.h"

#include <gtest/gtest.h>

#include "event_folder.h"

using namespace cronovolta;
using cronovolta::test::EventFolder;

namespace {

using Names = std::vector<std::string>;

} // namespace

TEST(ResultsSource, ATruncatedHeatFileKeepsTheRowsBeforeTheCut) {
    EventFolder f(2);
    f.writeOneHeat(ProgrammeType::Race, 1, {"Anna", "Bernat"}, {5, 4}, {3.0f, 3.1f}, 2);
    const auto dad = f.event() / "CRS001.DAD";
    auto heats = readHeatResultFile(dad)->records;
    heats.push_back(heats[0]);
    heats.back().lane = 2;
    heats.push_back(heats[1]);
    ASSERT_TRUE(writeHeatResultFile(dad, heats));
    ASSERT_TRUE(writeHeatCounter(f.event() / "CRS001.PAR", 2));
    auto bytes = test::readBytes(dad);
    test::writeBytes(dad, bytes.substr(0, bytes.size() - 30)); // inside heat 2's only record

    auto files = openEventFiles(f.data(), 1);
    ASSERT_TRUE(files);
    auto problems = std::make_shared<std::vector<std::string>>();
    auto b = makeResultsBrowser(*files, ProgrammeType::Race, 1, problems);
    b.open();
    b.selectHeat(0);
    EXPECT_EQ(b.visibleRows().size(), 2u);
    auto described = describeProblems(b, *problems, -1);
    ASSERT_EQ(described.size(), 1u);
    EXPECT_EQ(described[0], "CRS001.DAD ends inside heat 2; the rows read so far are shown");
}

TEST(ResultsSource, APenaltyNotAboveZeroIsReportedAndNotApplied) {
    EventFolder f(2);
    f.writeOneHeat(ProgrammeType::Race, 1, {"Anna", "Bernat"}, {5, 4}, {3.0f, 3.1f}, 2);
    ASSERT_TRUE(writePenalties(f.event() / "CRS001.PEN", {{2, -1.5f, "?"}}));
    std::vector<std::string> problems;
    auto data = loadSeriesData(f.event(), ProgrammeType::Race, 1, problems);
    EXPECT_EQ(data.penalties.size(), 1u);
    EXPECT_EQ(problems, (Names{"CRS001.PEN holds a penalty of -1.5 laps for participant 2; it "
                               "is not applied"}));
}
