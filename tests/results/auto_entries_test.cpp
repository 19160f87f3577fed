#include "results/auto_entries.h"

#include <gtest/gtest.h>

#include "event_folder.h"

using namespace cronovolta;
using cronovolta::test::EventFolder;

namespace {

using Names = std::vector<std::string>;

Names numbered(int n) {
    Names out;
    for (int i = 1; i <= n; ++i) {
        out.push_back((i < 10 ? "P0" : "P") + std::to_string(i));
    }
    return out;
}

ParticipantList readList(const fs::path& file) {
    auto list = readParticipantList(file);
    EXPECT_TRUE(list);
    return list.value_or(ParticipantList{});
}

} // namespace

TEST(AutomaticProgression, AnEventGoesFromOfficialPracticeToTheFinal) {
    // Ten participants on four lanes: 6 go straight to the semi-finals, 2 repechages.
    EventFolder f(4, "8 8\n10, 6\nbad line\n");
    const int lanes = 4;
    ASSERT_EQ(f.addSeries(ProgrammeType::OfficialPractice), 1);
    Names ofc = {"P03", "P01", "P02", "P04", "P05", "P06", "P07", "P08", "P09", "P10"};
    f.writeOneHeat(ProgrammeType::OfficialPractice, 1, ofc, std::vector<float>(10, 20.0f),
                   {3.03f, 3.01f, 3.02f, 3.04f, 3.05f, 3.06f, 3.07f, 3.08f, 3.09f, 3.10f}, lanes);

    int appended = 0;
    auto append = [&]() -> std::expected<int, std::string> {
        ++appended;
        return f.addSeries(ProgrammeType::Race);
    };
    auto stage = placeAutomaticEntries(f.data(), 1, append);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kQualifyingRace);
    Names start = {"P10", "P08", "P06", "P04", "P02", "P01", "P03", "P05", "P07", "P09"};
    EXPECT_EQ(readList(f.event() / "CRS001.PAR").names, start);
    EXPECT_EQ(readList(f.event() / "CRS001.PAR").heatsDone, 0);
    EXPECT_EQ(stage->notes, (Names{"DISTRIBUCIONS04.TXT: 1 line without two whole numbers was "
                                   "skipped"}));

    // Qualifying race: P01 best ... P10 worst.
    std::vector<float> laps;
    for (const auto& name : start) {
        laps.push_back(40.0f - static_cast<float>(std::stoi(name.substr(1))));
    }
    f.writeOneHeat(ProgrammeType::Race, 1, start, laps, std::vector<float>(10, 3.0f), lanes);
    // As the main window does it: the new series is added first, then filled.
    ASSERT_EQ(f.addSeries(ProgrammeType::Race), 2);
    stage = placeAutomaticEntriesInto(f.data(), 1, 2);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kRepechages);
    ASSERT_EQ(stage->created.size(), 2u);
    EXPECT_EQ(stage->created[1].seriesNumber, 3);
    EXPECT_EQ(readList(f.event() / "CRS002.PAR").names, (Names{"P07", "P10"}));
    EXPECT_EQ(readList(f.event() / "CRS003.PAR").names, (Names{"P08", "P09"}));

    f.writeOneHeat(ProgrammeType::Race, 2, {"P07", "P10"}, {4, 5}, {3.0f, 3.0f}, lanes);
    f.writeOneHeat(ProgrammeType::Race, 3, {"P08", "P09"}, {3, 6}, {3.0f, 3.0f}, lanes);
    stage = placeAutomaticEntries(f.data(), 1, append);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kSemiFinals);
    EXPECT_EQ(readList(f.event() / "CRS004.PAR").names, (Names{"P01", "P04", "P05", "P10"}));
    EXPECT_EQ(readList(f.event() / "CRS005.PAR").names, (Names{"P02", "P03", "P06", "P09"}));

    f.writeOneHeat(ProgrammeType::Race, 4, {"P01", "P04", "P05", "P10"}, {34, 33, 32, 31},
                   std::vector<float>(4, 3.0f), lanes);
    f.writeOneHeat(ProgrammeType::Race, 5, {"P02", "P03", "P06", "P09"}, {35, 30, 29, 28},
                   std::vector<float>(4, 3.0f), lanes);
    stage = placeAutomaticEntries(f.data(), 1, append);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kFinal);
    ASSERT_EQ(stage->created.size(), 1u);
    EXPECT_EQ(stage->created[0].seriesNumber, 6);
    EXPECT_EQ(readList(f.event() / "CRS006.PAR").names, (Names{"P02", "P01", "P04", "P03"}));

    // After the final the organiser goes on by hand.
    stage = placeAutomaticEntries(f.data(), 1, append);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kNoProgression);
    EXPECT_EQ(appended, 4);
}

TEST(AutomaticProgression, NothingIsPlacedWithoutTableLineOrEnoughParticipants) {
    EventFolder noTable(4);
    int appended = 0;
    auto append = [&]() -> std::expected<int, std::string> { return ++appended; };
    auto r = placeAutomaticEntries(noTable.data(), 1, append);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->stage, kNoProgression);

    EventFolder few(4, "10 6\n");
    ASSERT_EQ(few.addSeries(ProgrammeType::OfficialPractice), 1);
    few.writeOneHeat(ProgrammeType::OfficialPractice, 1, {"A", "B", "C", "D"}, {5, 5, 5, 5},
                     {3.0f, 3.1f, 3.2f, 3.3f}, 4);
    r = placeAutomaticEntries(few.data(), 1, append);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->stage, kNoProgression);

    // A qualifying race of 9 has no line in the table.
    ASSERT_EQ(few.addSeries(ProgrammeType::Race), 1);
    few.writeOneHeat(ProgrammeType::Race, 1, numbered(9), std::vector<float>(9, 5.0f),
                     std::vector<float>(9, 3.0f), 4);
    r = placeAutomaticEntries(few.data(), 1, append);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->stage, kNoProgression);
    EXPECT_EQ(appended, 0);

    // A failing series add is reported and nothing is written.
    few.writeOneHeat(ProgrammeType::Race, 1, numbered(10), std::vector<float>(10, 5.0f),
                     std::vector<float>(10, 3.0f), 4);
    auto refuse = []() -> std::expected<int, std::string> { return std::unexpected("disk full"); };
    r = placeAutomaticEntries(few.data(), 1, refuse);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), "disk full");
}
