#include "output/text_export.h"

#include "output/browsers.h"
#include "results/event_folder.h"
#include "storage/text_encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace cronovolta {
namespace {

using test::Driven;
using test::SeriesBuilder;

using test::sourceOf;
using test::twoByTwo;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        out.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return out;
}

int countOf(const std::vector<std::string>& ls, const std::string& line) {
    return static_cast<int>(std::count(ls.begin(), ls.end(), line));
}

TEST(TextExport, OnlyARaceStartsWithItsCaptionAndRunsTheLastSixSteps) {
    std::vector<std::string> steps;
    ExportProgress progress;
    progress.step = [&](int step, int of, const std::string& work) {
        steps.push_back(std::to_string(step) + "/" + std::to_string(of) + " " + work);
    };
    ExportOptions options;
    options.eventLine = "Exportant a TXT Open (1-2)";
    const std::string text =
        exportText(sourceOf({{ProgrammeType::Race, {twoByTwo()}}}, 2), options, progress);
    EXPECT_TRUE(text.starts_with("CURSA\r\n" + std::string(100, '-') + "\r\n\r\n"));
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps.front(), "13/18 Exportant a TXT Open (1-2) - CURSA");
    EXPECT_EQ(steps.back(), "18/18 Exportant a TXT Open (1-2) - CURSA");
}

TEST(TextExport, ProgrammesWithoutSeriesAreLeftOutAndWithoutHeatsKeepOnlyTheirCaption) {
    SeriesData empty = SeriesBuilder(1, {"Anna", "Bernat"}).data();
    const std::string text = exportText(
        sourceOf({{ProgrammeType::OfficialPractice, {empty}}, {ProgrammeType::Race, {empty}}}, 2),
        {});
    const std::string dashes = std::string(100, '-');
    EXPECT_EQ(text,
              "ENTRENAMENTS OFICIALS\r\n" + dashes + "\r\n\r\nCURSA\r\n" + dashes + "\r\n\r\n");
}

TEST(TextExport, SeparateGridsShareOneTitleAndTheirOwnHeadings) {
    ExportOptions options;
    options.separateGrids = true;
    const auto ls = lines(exportText(sourceOf({{ProgrammeType::Race, {twoByTwo()}}}, 2), options));
    EXPECT_EQ(countOf(ls, "QUADRANTS DE VOLTES I VOLTES RÀPIDES"), 1);
    EXPECT_EQ(countOf(ls, "\tParticipant\tPst. 1\tPst. 2\t"), 2);
    // Laps grid first (heat laps, then the total), then the fastest laps as stored.
    const auto first = std::find(ls.begin(), ls.end(), "\tParticipant\tPst. 1\tPst. 2\t");
    ASSERT_NE(first, ls.end());
    EXPECT_EQ(*(first + 1), "\tAnna\t10\t9\t19");
    EXPECT_EQ(*(first + 2), "\tBernat\t7\t11\t18");
    EXPECT_EQ(*(first + 3), "");
    EXPECT_EQ(*(first + 5), "\tAnna\t5.1000\t5.0000\t5.0000");
}

TEST(TextExport, ALaneNotDrivenLeavesNoCellAndTimesWithoutALapAreLeftOut) {
    // Carla sits out the second heat and sets no lap in the first.
    SeriesData three = SeriesBuilder(1, {"Anna", "Bernat", "Carla"})
                           .heat({{1, 10, 300.0f, 5.1f, 1, 10, 5.1f},
                                  {2, 11, 295.0f, 4.9f, 2, 11, 4.9f},
                                  {3, 1, 290.0f, 0.0f, 3, 1, 0.0f}})
                           .heat({{1, 19, 600.0f, 5.0f, 2, 9, 5.0f},
                                  {2, 18, 610.0f, 4.9f, 3, 7, 5.3f},
                                  {3, 1, 0.0f, 0.0f, 0, 0, 0.0f}})
                           .data();
    ExportOptions options;
    options.separateGrids = true;
    const auto ls = lines(exportText(sourceOf({{ProgrammeType::Race, {three}}}, 3), options));
    EXPECT_EQ(countOf(ls, "\tCarla\t1\t1"), 1);       // laps: lane 3 only
    EXPECT_EQ(countOf(ls, "\tCarla\t\t99.9999"), 1);  // no fastest lap: the value is left out
    EXPECT_EQ(countOf(ls, "\tBernat\t11\t7\t18"), 1); // lanes 2 and 3, lane 1 not driven

    // The fastest-lap tables after each heat end where the times do.
    const auto title =
        std::find(ls.begin(), ls.end(), "QUADRE DE VOLTA RÀPIDA DESPRÉS DE CADA MÀNIGA");
    ASSERT_NE(title, ls.end());
    EXPECT_EQ(*(title + 5), "\tCarla\t\t");
}

TEST(TextExport, HeatTitlesCarryTheNumberBetweenBlanksInEitherLanguage) {
    const auto ca = lines(exportText(sourceOf({{ProgrammeType::Race, {twoByTwo()}}}, 2), {}));
    EXPECT_EQ(countOf(ca, "CLASSIFICACIÓ COMPLETADA LA MÀNIGA 2 "), 2);
    EXPECT_EQ(countOf(ca, "CLASSIFICACIÓ DE LA MÀNIGA 1 "), 2);
    ExportOptions es;
    es.language = 1;
    const auto ls = lines(exportText(sourceOf({{ProgrammeType::Race, {twoByTwo()}}}, 2, 1), es));
    EXPECT_EQ(ls.front(), "CARRERA");
    EXPECT_EQ(countOf(ls, "TABLAS DE VUELTAS Y VUELTAS RÁPIDAS"), 1);
    EXPECT_EQ(countOf(ls, "CLASIFICACIÓN COMPLETADA LA MANGA 2 "), 2);
    EXPECT_EQ(countOf(ls, "CLASIFICACIÓN DEL PARTICIPANTE Bernat"), 2);
    EXPECT_EQ(countOf(ls, "\tParticipante\tPst. 1\tPst. 2\t"), 1);
}

// A heat's blocks hold that heat only: a series that ran fewer heats is not in them.
TEST(TextExport, HeatBlocksHoldOnlyTheRowsOfTheirHeat) {
    SeriesData two = SeriesBuilder(1, {"Anna", "Bernat"})
                         .heat({{1, 5, 10.0f, 3.0f, 1, 5, 3.0f}, {2, 6, 11.0f, 2.9f, 2, 6, 2.9f}})
                         .heat({{1, 11, 20.0f, 3.0f, 2, 6, 3.0f}, {2, 10, 21.0f, 2.9f, 1, 4, 3.1f}})
                         .data();
    SeriesData one = SeriesBuilder(2, {"Carles", "Dolors"})
                         .heat({{1, 7, 10.0f, 2.8f, 1, 7, 2.8f}, {2, 3, 11.0f, 3.5f, 2, 3, 3.5f}})
                         .data();
    const auto ls = lines(exportText(sourceOf({{ProgrammeType::Race, {two, one}}}, 2), {}));
    int blocks = 0;
    for (const std::string title :
         {"CLASSIFICACIÓ COMPLETADA LA MÀNIGA 2 ", "CLASSIFICACIÓ DE LA MÀNIGA 2 "}) {
        for (auto at = ls.begin(); (at = std::find(at, ls.end(), title)) != ls.end(); ++at) {
            ++blocks;
            std::vector<std::string> names;
            for (auto l = at + 2; l != ls.end() && !l->empty(); ++l) {
                names.push_back(
                    l->substr(l->find('\t', 1) + 1, l->find("\t(") - l->find('\t', 1) - 1));
            }
            std::sort(names.begin(), names.end());
            EXPECT_EQ(names, (std::vector<std::string>{"Anna", "Bernat"})) << title;
        }
    }
    EXPECT_EQ(blocks, 4);
}

TEST(TextExport, SecondPassesAreNamedInLaneTitlesAndRows) {
    // One driver, one lane, two heats: the second heat is the second pass of lane 1.
    SeriesData solo = SeriesBuilder(1, {"Anna"})
                          .heat({{1, 10, 300.0f, 5.1f, 1, 10, 5.1f}})
                          .heat({{1, 21, 600.0f, 5.0f, 1, 11, 5.0f}})
                          .data();
    const auto ls = lines(exportText(sourceOf({{ProgrammeType::Race, {solo}}}, 1), {}));
    EXPECT_EQ(countOf(ls, "CLASSIFICACIÓ DE LA PISTA 1 PASSADA 2 "), 2);
    EXPECT_EQ(countOf(ls, "\t1.-\tPst.1 Psd.2\t(Mng.2)\t11\t\t"), 1);
    EXPECT_EQ(countOf(ls, "\t1.-\tAnna\t(Pst.1 Psd.2)\t(Mng.2)\t11"), 1);
}

// The export of a fixed event through its files, compared with a file checked by hand.
TEST(TextExport, ReferenceEventMatchesTheHandCheckedFile) {
    test::EventFolder folder(2);
    SeriesData race = twoByTwo();
    race.participants.heatsDone = 2;
    ASSERT_TRUE(writeParticipantList(participantFile(folder.event(), ProgrammeType::Race, 1),
                                     race.participants));
    ASSERT_TRUE(writeHeatResultFile(folder.event() / "CRS001.DAD", race.heats));
    auto event = openEventFiles(folder.data(), 1);
    ASSERT_TRUE(event.has_value());
    std::vector<std::string> problems;
    std::vector<std::string> infos;
    ExportProgress progress;
    progress.info = [&](const std::string& s) { infos.push_back(s); };
    const fs::path target = folder.data() / "open.txt";
    ASSERT_TRUE(exportEvent(*event, target, false, problems, progress).has_value());
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(infos.front(), "Exportant a TXT Open Sabadell (01-02-2026)");
    const std::string expected =
        test::readBytes(fs::path(CRONOVOLTA_SOURCE_DIR) / "tests/output/data/export_reference.txt");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(test::readBytes(target), expected);
}

} // namespace
} // namespace cronovolta
