#include "results/auto_entries.h"
#include "results/inscrits_files.h"
#include "results/results_source.h"
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

InscritsContext contextFor(const EventFolder& f, int programa, int serie) {
    return f.listContext(programa, serie);
}

ParticipantList readList(const fs::path& file) {
    auto list = readParticipantList(file);
    EXPECT_TRUE(list);
    return list.value_or(ParticipantList{});
}

} // namespace

TEST(InscritsFiles, ChangingARaceCountRewritesItsHeatsAndPenalties) {
    EventFolder f(4);
    ASSERT_EQ(f.addSeries(kRace), 2);
    f.writeOneHeat(kRace, 2, numbered(8), std::vector<float>(8, 5.0f), std::vector<float>(8, 3.0f),
                   4);
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

    auto opened = openInscrits(contextFor(f, kRace, 2));
    ASSERT_TRUE(opened);
    InscritsModel& m = opened->model;
    EXPECT_EQ(m.lowerBound(), 5);
    EXPECT_EQ(m.applyCount("6"), 6);
    m.setName(1, "  Pere Mas ");
    ASSERT_TRUE(saveInscrits(m));

    auto list = readList(f.event() / "CRS002.PAR");
    EXPECT_EQ(list.maniguesFetes, 2);
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

    auto again = openInscrits(contextFor(f, kRace, 2));
    ASSERT_TRUE(again);
    again->model.applyCount("8");
    ASSERT_TRUE(saveInscrits(again->model));
    auto grown = readHeatResultFile(dad)->records;
    ASSERT_EQ(grown.size(), 18u);
    EXPECT_EQ(grown[0].headerRecordCount(), 8);
    EXPECT_EQ(grown[7].participant, 7);
    EXPECT_EQ(grown[8].participant, 8);
    EXPECT_EQ(grown[8].seriesLaps, 0.0f);
    EXPECT_EQ(readPenalties(f.event() / "CRS002.PEN")->records.size(), 1u);
}

TEST(InscritsFiles, EntrantListsComeFromTheGeneralListAndVanishWhenBlank) {
    EventFolder f(4);
    InscritsContext general;
    general.dataDir = f.data();
    auto g = openInscrits(general);
    ASSERT_TRUE(g);
    g->model.applyCount("3");
    g->model.setName(1, "Anna");
    g->model.setName(2, "Bernat");
    g->model.setName(3, "Carles");
    ASSERT_TRUE(saveInscrits(g->model));

    auto e = openInscrits(contextFor(f, kPractice, 1));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->model.sourceCaption(), "Llista de participants (3)");
    e->model.copyFromSource(2, false);
    e->model.applyCount("2");
    ASSERT_TRUE(saveInscrits(e->model));
    EXPECT_EQ(readList(f.event() / "PROVA.PAR").names, (Names{"Carles", ""}));

    // A series takes its names from the entrants, with their race numbers.
    ASSERT_EQ(f.addSeries(kOfficialPractice), 2);
    auto s = openInscrits(contextFor(f, kOfficialPractice, 2));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->model.sourceNameHeader(), "Inscrit");
    s->model.copyFromSource(0, true);
    EXPECT_EQ(s->model.names()[0], "#1 Carles");

    // A character the files cannot hold is stored as "?", and said so.
    auto odd = openInscrits(contextFor(f, kPractice, 1));
    ASSERT_TRUE(odd);
    odd->model.setName(1, "Őrs Kovács");
    auto oddSaved = saveInscrits(odd->model);
    ASSERT_TRUE(oddSaved);
    EXPECT_EQ(readList(f.event() / "PROVA.PAR").names[0], "?rs Kovács");
    ASSERT_EQ(oddSaved->notes.size(), 1u);
    EXPECT_NE(oddSaved->notes[0].find("\"?rs Kovács\""), std::string::npos);

    auto blank = openInscrits(contextFor(f, kPractice, 1));
    ASSERT_TRUE(blank);
    blank->model.setName(1, "   ");
    auto saved = saveInscrits(blank->model);
    ASSERT_TRUE(saved);
    EXPECT_TRUE(saved->deleted);
    EXPECT_FALSE(fs::exists(f.event() / "PROVA.PAR"));
}

TEST(SeriesFiles, ATruncatedHeatFileKeepsTheRowsBeforeTheCut) {
    EventFolder f(2);
    f.writeOneHeat(kRace, 1, {"Anna", "Bernat"}, {5, 4}, {3.0f, 3.1f}, 2);
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
    auto b = makeResultsBrowser(*files, kRace, 1, problems);
    b.open();
    b.selectHeat(0);
    EXPECT_EQ(b.visibleRows().size(), 2u);
    auto described = describeProblems(b, *problems, -1);
    ASSERT_EQ(described.size(), 1u);
    EXPECT_EQ(described[0], "CRS001.DAD ends inside heat 2; the rows read so far are shown");
}

TEST(SeriesFiles, APenaltyNotAboveZeroIsReportedAndNotApplied) {
    EventFolder f(2);
    f.writeOneHeat(kRace, 1, {"Anna", "Bernat"}, {5, 4}, {3.0f, 3.1f}, 2);
    ASSERT_TRUE(writePenalties(f.event() / "CRS001.PEN", {{2, -1.5f, "?"}}));
    std::vector<std::string> problems;
    auto data = loadSeriesData(f.event(), kRace, 1, problems);
    EXPECT_EQ(data.penalties.size(), 1u);
    EXPECT_EQ(problems, (Names{"CRS001.PEN holds a penalty of -1.5 laps for participant 2; it "
                               "is not applied"}));
}

TEST(AutomaticProgression, AnEventGoesFromOfficialPracticeToTheFinal) {
    // Ten participants on four lanes: 6 go straight to the semi-finals, 2 repechages.
    EventFolder f(4, "8 8\n10, 6\nbad line\n");
    const int lanes = 4;
    ASSERT_EQ(f.addSeries(kOfficialPractice), 1);
    Names ofc = {"P03", "P01", "P02", "P04", "P05", "P06", "P07", "P08", "P09", "P10"};
    f.writeOneHeat(kOfficialPractice, 1, ofc, std::vector<float>(10, 20.0f),
                   {3.03f, 3.01f, 3.02f, 3.04f, 3.05f, 3.06f, 3.07f, 3.08f, 3.09f, 3.10f}, lanes);

    int appended = 0;
    auto append = [&]() -> std::expected<int, std::string> {
        ++appended;
        return f.addSeries(kRace);
    };
    auto stage = placeAutomaticEntries(f.data(), 1, append);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kQualifyingRace);
    Names start = {"P10", "P08", "P06", "P04", "P02", "P01", "P03", "P05", "P07", "P09"};
    EXPECT_EQ(readList(f.event() / "CRS001.PAR").names, start);
    EXPECT_EQ(readList(f.event() / "CRS001.PAR").maniguesFetes, 0);
    EXPECT_EQ(stage->notes, (Names{"DISTRIBUCIONS04.TXT: 1 line without two whole numbers was "
                                   "skipped"}));

    // Qualifying race: P01 best ... P10 worst.
    std::vector<float> laps;
    for (const auto& name : start) {
        laps.push_back(40.0f - static_cast<float>(std::stoi(name.substr(1))));
    }
    f.writeOneHeat(kRace, 1, start, laps, std::vector<float>(10, 3.0f), lanes);
    // As the main window does it: the new series is added first, then filled.
    ASSERT_EQ(f.addSeries(kRace), 2);
    stage = placeAutomaticEntriesInto(f.data(), 1, 2);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kRepechages);
    ASSERT_EQ(stage->created.size(), 2u);
    EXPECT_EQ(stage->created[1].serie, 3);
    EXPECT_EQ(readList(f.event() / "CRS002.PAR").names, (Names{"P07", "P10"}));
    EXPECT_EQ(readList(f.event() / "CRS003.PAR").names, (Names{"P08", "P09"}));

    f.writeOneHeat(kRace, 2, {"P07", "P10"}, {4, 5}, {3.0f, 3.0f}, lanes);
    f.writeOneHeat(kRace, 3, {"P08", "P09"}, {3, 6}, {3.0f, 3.0f}, lanes);
    stage = placeAutomaticEntries(f.data(), 1, append);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kSemiFinals);
    EXPECT_EQ(readList(f.event() / "CRS004.PAR").names, (Names{"P01", "P04", "P05", "P10"}));
    EXPECT_EQ(readList(f.event() / "CRS005.PAR").names, (Names{"P02", "P03", "P06", "P09"}));

    f.writeOneHeat(kRace, 4, {"P01", "P04", "P05", "P10"}, {34, 33, 32, 31},
                   std::vector<float>(4, 3.0f), lanes);
    f.writeOneHeat(kRace, 5, {"P02", "P03", "P06", "P09"}, {35, 30, 29, 28},
                   std::vector<float>(4, 3.0f), lanes);
    stage = placeAutomaticEntries(f.data(), 1, append);
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->stage, kFinal);
    ASSERT_EQ(stage->created.size(), 1u);
    EXPECT_EQ(stage->created[0].serie, 6);
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
    ASSERT_EQ(few.addSeries(kOfficialPractice), 1);
    few.writeOneHeat(kOfficialPractice, 1, {"A", "B", "C", "D"}, {5, 5, 5, 5},
                     {3.0f, 3.1f, 3.2f, 3.3f}, 4);
    r = placeAutomaticEntries(few.data(), 1, append);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->stage, kNoProgression);

    // A qualifying race of 9 has no line in the table.
    ASSERT_EQ(few.addSeries(kRace), 1);
    few.writeOneHeat(kRace, 1, numbered(9), std::vector<float>(9, 5.0f),
                     std::vector<float>(9, 3.0f), 4);
    r = placeAutomaticEntries(few.data(), 1, append);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->stage, kNoProgression);
    EXPECT_EQ(appended, 0);

    // A failing series add is reported and nothing is written.
    few.writeOneHeat(kRace, 1, numbered(10), std::vector<float>(10, 5.0f),
                     std::vector<float>(10, 3.0f), 4);
    auto refuse = []() -> std::expected<int, std::string> { return std::unexpected("disk full"); };
    r = placeAutomaticEntries(few.data(), 1, refuse);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), "disk full");
}
