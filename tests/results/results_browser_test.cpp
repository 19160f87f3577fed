#include "results/results_browser.h"

#include <gtest/gtest.h>

#include <map>

#include "series_builder.h"

using namespace cronovolta;
using cronovolta::test::SeriesBuilder;
using cronovolta::test::trackWith;

namespace {

// Two race series on two lanes: series 1 ran two heats, series 2 one heat.
std::map<int, SeriesData> twoSeries() {
    SeriesBuilder s1(1, {"Anna", "Bernat"});
    s1.heat({{1, 5, 10.0f, 3.0f, 1, 5, 3.0f}, {2, 6, 11.0f, 2.9f, 2, 6, 2.9f}})
        .heat({{1, 11, 20.0f, 3.0f, 2, 6, 3.0f}, {2, 10, 21.0f, 2.9f, 1, 4, 3.1f}});
    SeriesBuilder s2(2, {" anna ", "Carles"});
    s2.heat({{1, 7, 10.0f, 2.8f, 1, 7, 2.8f}, {2, 3, 11.0f, 3.5f, 2, 3, 3.5f}});
    return {{1, s1.data()}, {2, s2.data()}};
}

ResultsBrowser browserOver(std::map<int, SeriesData> series,
                           ProgrammeType programmeType = ProgrammeType::Race,
                           std::optional<int> preset = std::nullopt) {
    BrowserSetup setup;
    setup.programmeType = programmeType;
    setup.seriesCount = static_cast<int>(series.size());
    setup.activeSeriesNumber = 1;
    setup.track = trackWith(2);
    setup.heatPreset = preset;
    return ResultsBrowser(setup, [series](int s) { return series.at(s); });
}

std::vector<std::string> visible(const ResultsBrowser& b, int col = kColName) {
    std::vector<std::string> out;
    for (int i : b.visibleRows()) {
        const auto& row = b.list().rows()[static_cast<std::size_t>(i)];
        out.push_back(row.cells[static_cast<std::size_t>(col)] +
                      (col == kColName ? "/" + row.cells[kColSeriesNumber] : ""));
    }
    return out;
}

} // namespace

TEST(ResultsBrowser, OpensOnAllSeriesWithEachParticipantsLatestHeat) {
    auto b = browserOver(twoSeries());
    b.open();
    EXPECT_TRUE(b.seriesFilterEnabled());
    EXPECT_EQ(b.entries(ResultsBrowser::kSeries), (std::vector<std::string>{"Totes", "1", "2"}));
    EXPECT_EQ(b.criterion(), kTotalLaps);
    EXPECT_EQ(b.entries(ResultsBrowser::kHeat), (std::vector<std::string>{"Totes", "1", "2"}));
    EXPECT_EQ(b.selected(ResultsBrowser::kHeat), 2);
    // Series 2 ran one heat only and still shows with it.
    EXPECT_EQ(visible(b), (std::vector<std::string>{"Anna/1", "Bernat/1", " anna /2", "Carles/2"}));
    EXPECT_EQ(visible(b, kColRank), (std::vector<std::string>{"1.-", "2.-", "3.-", "4.-"}));
    for (const auto& row : b.list().rows()) {
        EXPECT_EQ(row.colourSlot, row.seriesNumber == 1 ? 4 : 3);
    }
    EXPECT_EQ(b.entries(ResultsBrowser::kParticipant),
              (std::vector<std::string>{"Tots", "Anna", "Bernat", " anna ", "Carles"}));
    EXPECT_EQ(b.seriesOfEntries(), (std::vector<int>{0, 1, 1, 2, 2}));
    EXPECT_EQ(b.numberOfEntries(), (std::vector<int>{0, 1, 2, 1, 2}));

    auto single = twoSeries();
    single.erase(2);
    auto one = browserOver(single, ProgrammeType::OfficialPractice);
    one.open();
    EXPECT_FALSE(one.seriesFilterEnabled());
    EXPECT_EQ(one.criterion(), kFastestLap);
    EXPECT_EQ(visible(one), (std::vector<std::string>{"Bernat/1", "Anna/1"}));
    for (const auto& row : one.list().rows()) {
        EXPECT_EQ(row.colourSlot, 0);
    }
}

TEST(ResultsBrowser, ParticipantFilterMatchesTheNumberOrUnderShiftTheName) {
    auto b = browserOver(twoSeries());
    b.open();
    b.selectHeat(0);
    b.selectParticipant(3); // " anna " of series 2
    EXPECT_EQ(visible(b), (std::vector<std::string>{" anna /2"}));
    b.selectParticipant(3, true);
    EXPECT_EQ(visible(b), (std::vector<std::string>{"Anna/1", " anna /2", "Anna/1"}));
    b.selectParticipant(0);
    EXPECT_EQ(b.visibleRows().size(), 6u);
}

TEST(ResultsBrowser, HeatLaneAndPassFiltersRankTheRowsTheyKeep) {
    auto b = browserOver(twoSeries());
    b.open();
    b.selectHeat(1);
    EXPECT_EQ(visible(b), (std::vector<std::string>{" anna /2", "Bernat/1", "Anna/1", "Carles/2"}));
    EXPECT_EQ(visible(b, kColRank), (std::vector<std::string>{"1.-", "2.-", "3.-", "4.-"}));

    b.selectHeat(0);
    ASSERT_EQ(b.entries(ResultsBrowser::kLane), (std::vector<std::string>{"Totes", "1", "2"}));
    b.selectLane(1);
    b.selectCriterion(kHeatLaps);
    // Heat laps on lane 1: anna 7, Anna 5, Bernat 4.
    EXPECT_EQ(visible(b), (std::vector<std::string>{" anna /2", "Anna/1", "Bernat/1"}));
    EXPECT_EQ(visible(b, kColGapFirst), (std::vector<std::string>{"", "-2v", "-3v"}));

    b.selectLane(0);
    b.selectPass(1);
    EXPECT_EQ(b.visibleRows().size(), 6u); // nobody drove a lane twice
}

// The last entry shows each participant's latest heat; that heat asked for by number shows
// only the rows of that heat, and keeps doing so when the criterion changes.
TEST(ResultsBrowser, AHeatAskedForByNumberIsThatHeatEvenWhenItIsTheLastEntry) {
    auto b = browserOver(twoSeries());
    b.open();
    const std::vector<std::string> latest{"Anna/1", "Bernat/1", " anna /2", "Carles/2"};
    EXPECT_EQ(visible(b), latest);
    b.selectExactHeat(2);
    EXPECT_EQ(visible(b), (std::vector<std::string>{"Anna/1", "Bernat/1"}));
    b.selectCriterion(kFastestLap);
    EXPECT_EQ(visible(b), (std::vector<std::string>{"Bernat/1", "Anna/1"}));
    b.selectExactHeat(1);
    auto same = browserOver(twoSeries());
    same.open();
    same.selectHeat(1);
    same.selectCriterion(kFastestLap);
    EXPECT_EQ(visible(b), visible(same));
    b.selectHeat(2);
    b.selectCriterion(kTotalLaps);
    EXPECT_EQ(visible(b), latest);
}

TEST(ResultsBrowser, QuadrantPrintNeedsTheProgrammesCriterionAndOneHeatOfEveryone) {
    auto b = browserOver(twoSeries());
    b.open();
    EXPECT_TRUE(b.quadrantEnabled());
    b.selectCriterion(kFastestLap);
    EXPECT_FALSE(b.quadrantEnabled());
    b.selectCriterion(kTotalLaps);
    b.selectParticipant(1);
    EXPECT_FALSE(b.quadrantEnabled());
    b.selectParticipant(0);
    b.selectLane(2);
    EXPECT_FALSE(b.quadrantEnabled());
    b.selectLane(0);
    b.selectHeat(0);
    EXPECT_FALSE(b.quadrantEnabled());

    auto ofc = browserOver(twoSeries(), ProgrammeType::OfficialPractice);
    ofc.open();
    EXPECT_TRUE(ofc.quadrantEnabled());
}

TEST(ResultsBrowser, HeatPresetAppliesOnceAndEveryActionFiltersOnce) {
    auto b = browserOver(twoSeries(), ProgrammeType::Race, 1);
    b.open();
    EXPECT_EQ(b.filterRuns(), 1);
    EXPECT_EQ(b.selected(ResultsBrowser::kHeat), 1);
    b.selectSeries(1);
    EXPECT_EQ(b.filterRuns(), 2);
    EXPECT_EQ(b.selected(ResultsBrowser::kHeat), 2);
    EXPECT_EQ(b.selected(ResultsBrowser::kParticipant), 0);
    b.selectCriterion(kHeatLaps);
    b.selectPass(0);
    EXPECT_EQ(b.filterRuns(), 4);

    auto beyond = browserOver(twoSeries(), ProgrammeType::Race, 9);
    beyond.open();
    EXPECT_EQ(beyond.selected(ResultsBrowser::kHeat), 2);
}

TEST(ResultsBrowser, NamesMatchIgnoringCaseAccentsCapitalisedAndBlanks) {
    EXPECT_TRUE(sameParticipantName("  Àlex Núñez ", "àlex núñez"));
    EXPECT_FALSE(sameParticipantName("Alex", "Àlex"));
    EXPECT_TRUE(sameParticipantName("", "   "));
}
