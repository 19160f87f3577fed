#include "results/entrants_files.h"
#include "storage/penalty_record.h"

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

EntrantsContext contextFor(const EventFolder& f, ProgrammeType programmeType, int seriesNumber) {
    return f.listContext(programmeType, seriesNumber);
}

ParticipantList readList(const fs::path& file) {
    auto list = readParticipantList(file);
    EXPECT_TRUE(list);
    return list.value_or(ParticipantList{});
}

} // namespace

TEST(EntrantsFiles, ChangingARaceCountRewritesItsHeatsAndPenalties) {
    EventFolder f(4);
    ASSERT_EQ(f.addSeries(ProgrammeType::Race), 2);
    f.writeOneHeat(ProgrammeType::Race, 2, numbered(8), std::vector<float>(8, 5.0f),
                   std::vector<float>(8, 3.0f), 4);
    // A second heat with the participants in another order.
    const auto dad = f.event() / "CRS002.DAD";
    auto heats = readHeatResultFile(dad)->records;
    auto second = heats;
    second[0].lane = 2;
    std::reverse(second.begin() + 1, second.end());
    heats.insert(heats.end(), second.begin(), second.end());
    ASSERT_TRUE(writeHeatResultFile(dad, heats));
    ASSERT_TRUE(writeHeatCounter(f.event() / "CRS002.PAR", 2));
    ASSERT_TRUE(writePenalties(f.event() / "CRS002.PEN",
                               {{2, 1.0f, "sortida"}, {7, 2.0f, "tall"}, {8, 1.0f, "x"}}));

    auto opened = openEntrants(contextFor(f, ProgrammeType::Race, 2));
    ASSERT_TRUE(opened);
    EntrantsModel& m = opened->model;
    EXPECT_EQ(m.lowerBound(), 5);
    EXPECT_EQ(m.applyCount("6"), 6);
    m.setName(1, "  Pere Mas ");
    ASSERT_TRUE(saveEntrants(m));

    auto list = readList(f.event() / "CRS002.PAR");
    EXPECT_EQ(list.heatsDone, 2);
    EXPECT_EQ(list.names.size(), 6u);
    EXPECT_EQ(list.names[0], "Pere Mas");
    auto shrunk = readHeatResultFile(dad)->records;
    ASSERT_EQ(shrunk.size(), 14u);
    EXPECT_EQ(shrunk[0].headerRecordCount(), 6);
    EXPECT_EQ(shrunk[7].headerRecordCount(), 6);
    EXPECT_EQ(shrunk[8].participant, 6); // the reversed heat now starts with participant 6
    auto pens = readPenalties(f.event() / "CRS002.PEN")->records;
    ASSERT_EQ(pens.size(), 1u);
    EXPECT_EQ(pens[0].participant, 2);

    auto again = openEntrants(contextFor(f, ProgrammeType::Race, 2));
    ASSERT_TRUE(again);
    again->model.applyCount("8");
    ASSERT_TRUE(saveEntrants(again->model));
    auto grown = readHeatResultFile(dad)->records;
    ASSERT_EQ(grown.size(), 18u);
    EXPECT_EQ(grown[0].headerRecordCount(), 8);
    EXPECT_EQ(grown[7].participant, 7);
    EXPECT_EQ(grown[8].participant, 8);
    EXPECT_EQ(grown[8].seriesLaps, 0.0f);
    EXPECT_EQ(readPenalties(f.event() / "CRS002.PEN")->records.size(), 1u);
}

TEST(EntrantsFiles, EntrantListsComeFromTheGeneralListAndVanishWhenBlank) {
    EventFolder f(4);
    EntrantsContext general;
    general.dataDir = f.data();
    auto g = openEntrants(general);
    ASSERT_TRUE(g);
    g->model.applyCount("3");
    g->model.setName(1, "Anna");
    g->model.setName(2, "Bernat");
    g->model.setName(3, "Carles");
    ASSERT_TRUE(saveEntrants(g->model));

    auto e = openEntrants(contextFor(f, ProgrammeType::Practice, 1));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->model.sourceCaption(), "Llista de participants (3)");
    e->model.copyFromSource(2, false);
    e->model.applyCount("2");
    ASSERT_TRUE(saveEntrants(e->model));
    EXPECT_EQ(readList(f.event() / "PROVA.PAR").names, (Names{"Carles", ""}));

    // A series takes its names from the entrants, with their race numbers.
    ASSERT_EQ(f.addSeries(ProgrammeType::OfficialPractice), 2);
    auto s = openEntrants(contextFor(f, ProgrammeType::OfficialPractice, 2));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->model.sourceNameHeader(), "Inscrit");
    s->model.copyFromSource(0, true);
    EXPECT_EQ(s->model.names()[0], "#1 Carles");

    // A character the files cannot hold is stored as "?", and said so.
    auto odd = openEntrants(contextFor(f, ProgrammeType::Practice, 1));
    ASSERT_TRUE(odd);
    odd->model.setName(1, "Őrs Kovács");
    auto oddSaved = saveEntrants(odd->model);
    ASSERT_TRUE(oddSaved);
    EXPECT_EQ(readList(f.event() / "PROVA.PAR").names[0], "?rs Kovács");
    ASSERT_EQ(oddSaved->notes.size(), 1u);
    EXPECT_NE(oddSaved->notes[0].find("\"?rs Kovács\""), std::string::npos);

    auto blank = openEntrants(contextFor(f, ProgrammeType::Practice, 1));
    ASSERT_TRUE(blank);
    blank->model.setName(1, "   ");
    auto saved = saveEntrants(blank->model);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->deleted);
    EXPECT_FALSE(fs::exists(f.event() / "PROVA.PAR"));
}
