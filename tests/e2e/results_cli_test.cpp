#include "storage/heat_result_record.h"
#include "storage/participant_list.h"
#include "storage/penalty_record.h"

#include <gtest/gtest.h>

#include "results/event_folder.h"
#include "results_cli_output.h"

using namespace cronovolta;

namespace {

using test::CliRun;

const auto lines = &test::splitLines;
const auto cells = &test::splitCells;

class ResultsCliTest : public ::testing::Test {
protected:
    CliRun cli(const test::EventFolder& f, const std::vector<std::string>& args) {
        return test::runCli(f.data(), args, m_scratch.path());
    }

    test::TempDir m_scratch;
};

const char* const kHeader =
    "\tSer.\tDor.\tParticipant\tPsd.\tPst.\tMng.\tTotal V.\tHdP\tV. "
    "Ràpida\tHdP\tV. parc.\tHdP\tV.R. parc.\tHdP\tDif. Prm.\tDif. Ant.\tPen.";

} // namespace

TEST_F(ResultsCliTest, ListsAreShownAndSetWithTheScreensRules) {
    test::EventFolder f(4);
    CliRun general = cli(f, {"participants", "set", "--general", " Anna Puig ", "Bernat Roca"});
    EXPECT_EQ(general.status, 0) << general.err;
    EXPECT_EQ(cli(f, {"participants", "show", "--general"}).out, "1\tAnna Puig\n2\tBernat Roca\n");

    EXPECT_EQ(cli(f, {"entrants", "set", "1", "Anna Puig", "Carles Vidal"}).status, 0);
    EXPECT_EQ(cli(f, {"entrants", "show", "1"}).out, "1\tAnna Puig\n2\tCarles Vidal\n");
    EXPECT_EQ(cli(f, {"entrants", "set", "1"}).status, 0);
    EXPECT_FALSE(fs::exists(f.event() / "PROVA.PAR")); // no names, no list

    // A race series needs a slot per lane: the rows after the names stay empty.
    CliRun race = cli(f, {"participants", "set", "1", "CRS", "1", "Anna Puig", "Bernat Roca"});
    EXPECT_EQ(race.status, 0);
    EXPECT_NE(race.err.find("at least 4 rows"), std::string::npos);
    EXPECT_EQ(cli(f, {"participants", "show", "1", "4", "1"}).out,
              "1\tAnna Puig\t4\n2\tBernat Roca\t3\n3\t\t2\n4\t\t1\n");

    // Heats run: six have started, so the four listed can no longer change.
    ASSERT_TRUE(writeHeatCounter(f.event() / "CRS001.PAR", 3));
    CliRun fixed = cli(f, {"participants", "set", "1", "CRS", "1", "A", "B", "C"});
    EXPECT_EQ(fixed.status, 1);
    EXPECT_NE(fixed.err.find("keeps its 4 participants"), std::string::npos);

    EXPECT_EQ(cli(f, {"participants", "show", "1", "CRS", "7"}).status, 1);
    EXPECT_EQ(cli(f, {"participants", "show", "1", "XYZ", "1"}).status, 2);
    EXPECT_EQ(cli(f, {"entrants", "list", "1"}).status, 2);
    std::vector<std::string> many = {"entrants", "set", "1"};
    for (int i = 0; i < 100; ++i) {
        many.push_back("N" + std::to_string(i));
    }
    EXPECT_EQ(cli(f, many).status, 1);
    // A tab in a name would break every tab-separated listing.
    EXPECT_EQ(cli(f, {"entrants", "set", "1", "Anna\tPuig"}).status, 1);
    EXPECT_FALSE(fs::exists(f.event() / "PROVA.PAR"));
}

TEST_F(ResultsCliTest, ClassifyPrintsTheVisibleRowsOfTheBrowser) {
    test::EventFolder f(2);
    ASSERT_EQ(f.addSeries(ProgrammeType::Race), 2);
    f.writeOneHeat(ProgrammeType::Race, 1, {"Anna", "Bernat"}, {12, 14}, {3.1f, 3.0f}, 2);
    f.writeOneHeat(ProgrammeType::Race, 2, {"anna", "Carles"}, {13, 11}, {2.9f, 3.3f}, 2);
    ASSERT_TRUE(writePenalties(f.event() / "CRS001.PEN", {{2, 1.0f, "tall"}}));

    CliRun all = cli(f, {"classify", "1", "CRS", "all"});
    ASSERT_EQ(all.status, 0) << all.err;
    auto out = lines(all.out);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0], kHeader);
    EXPECT_EQ(cells(out[1])[3], "anna"); // 13 laps each: the earlier crossing first
    EXPECT_EQ(cells(out[2]),
              (std::vector<std::string>{"2.-", "1", "2", "Bernat", "1", "2", "1", "13", "-101.00",
                                        "3.0000", "101.00", "14", "-101.00", "3.0000", "101.00",
                                        "+1.0s", "", "-1"}));

    CliRun fastest = cli(f, {"classify", "1", "4", "all", "--criterion", "2", "--lane", "2"});
    out = lines(fastest.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(cells(out[1])[3], "Bernat");
    EXPECT_EQ(cells(out[2])[15], "+0.3000");

    EXPECT_EQ(lines(cli(f, {"classify", "1", "CRS", "all", "--name", "ANNA "}).out).size(), 3u);
    EXPECT_EQ(lines(cli(f, {"classify", "1", "CRS", "2", "--participant", "1"}).out).size(), 2u);
    EXPECT_EQ(lines(cli(f, {"classify", "1", "CRS", "all", "--lane", "9"}).out).size(), 1u);
    EXPECT_EQ(cli(f, {"classify", "1", "CRS", "3"}).status, 1);
    EXPECT_EQ(cli(f, {"classify", "1", "LLR", "1"}).status, 2);
    EXPECT_EQ(cli(f, {"classify", "1", "CRS", "1", "--criterion", "5"}).status, 2);

    // A heat file cut short: the rows read stay, and the command says so.
    const auto dad = f.event() / "CRS002.DAD";
    test::writeBytes(dad, test::readBytes(dad).substr(0, 120));
    CliRun cut = cli(f, {"classify", "1", "CRS", "2"});
    EXPECT_EQ(cut.status, 0);
    EXPECT_EQ(lines(cut.out).size(), 2u);
    EXPECT_NE(cut.err.find("CRS002.DAD ends inside heat 1"), std::string::npos);

    // An event track file cut short is read as far as it goes, and said so.
    test::writeBytes(f.event() / "PISTA.CFG", "\x01");
    CliRun cutTrack = cli(f, {"classify", "1", "CRS", "1"});
    EXPECT_EQ(cutTrack.status, 0);
    EXPECT_EQ(lines(cutTrack.out).size(), 3u);
    EXPECT_NE(cutTrack.err.find("PISTA.CFG: the file ends before"), std::string::npos)
        << cutTrack.err;
}

TEST_F(ResultsCliTest, ClassifyLeavesAMissingTimeEmpty) {
    test::EventFolder f(2);
    f.writeOneHeat(ProgrammeType::Race, 1, {"Anna", "Bernat"}, {5, 0}, {3.1f, 0.0f}, 2);
    CliRun run = cli(f, {"classify", "1", "CRS", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    auto out = lines(run.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(cells(out[0]).size(), cells(out[2]).size());
    EXPECT_EQ(run.out.find("99.9999"), std::string::npos) << run.out;
    EXPECT_EQ(cells(out[1])[9], "3.1000");
    EXPECT_EQ(cells(out[2])[9], "");
}

TEST_F(ResultsCliTest, SeriesAddPlacesTheQualifyingRaceAndTheStagesAfterIt) {
    // Six participants on two lanes: the table gives no repechages.
    test::EventFolder f(2, "6 8\n");
    ASSERT_EQ(cli(f, {"series", "add", "1", "OFC"}).out, "1\n");
    f.writeOneHeat(ProgrammeType::OfficialPractice, 1, {"A", "B", "C", "D", "E", "F"},
                   std::vector<float>(6, 10.0f), {3.1f, 3.2f, 3.3f, 3.4f, 3.5f, 3.6f}, 2);
    CliRun qualifying = cli(f, {"series", "add", "1", "CRS"});
    EXPECT_EQ(qualifying.status, 0) << qualifying.err;
    EXPECT_EQ(qualifying.out, "1\tF\tD\tB\tA\tC\tE\n");

    f.writeOneHeat(ProgrammeType::Race, 1, {"F", "D", "B", "A", "C", "E"}, {10, 12, 14, 15, 13, 11},
                   std::vector<float>(6, 3.0f), 2);
    CliRun semis = cli(f, {"series", "add", "1", "CRS"});
    // The table sends 8 straight on: all six, dealt over the two semi-finals.
    EXPECT_EQ(semis.out, "2\tA\tD\tE\n3\tB\tC\tF\n");

    f.writeOneHeat(ProgrammeType::Race, 2, {"A", "D", "E"}, {20, 21, 18}, {3.0f, 3.0f, 3.0f}, 2);
    f.writeOneHeat(ProgrammeType::Race, 3, {"B", "C", "F"}, {22, 19, 17}, {3.0f, 3.0f, 3.0f}, 2);
    CliRun final = cli(f, {"series", "add", "1", "CRS"});
    EXPECT_EQ(final.out, "4\tB\tD\n");

    // Beyond the final a race series is added with a list of the organiser's own.
    CliRun manual = cli(f, {"series", "add", "1", "CRS"});
    EXPECT_EQ(manual.out, "5\n");
    EXPECT_FALSE(fs::exists(f.event() / "CRS005.PAR"));
}

// A damaged list is read no further than 99 names, its names print on one line each, and a
// heat counter beyond the stored heats does not size the list.
TEST_F(ResultsCliTest, DamagedListsAreBoundedReportedAndPrintedOnOneLine) {
    test::EventFolder f(4);
    const fs::path par = f.event() / "CRS001.PAR";
    ParticipantList hostile;
    hostile.names = {"Anna\nPuig", "Bernat\tRoca\x1b[2J"};
    for (int i = 3; i <= 150; ++i) {
        hostile.names.push_back("P" + std::to_string(i));
    }
    test::writeBytes(par, encodeParticipantList(hostile));
    fs::resize_file(par, 250u * 1024u * 1024u);
    CliRun shown = cli(f, {"participants", "show", "1", "CRS", "1"});
    EXPECT_EQ(shown.status, 0);
    const auto rows = lines(shown.out);
    ASSERT_EQ(rows.size(), 99u);
    EXPECT_EQ(rows[0], "1\tAnna\\nPuig\t4");
    EXPECT_EQ(rows[1], "2\tBernat\\tRoca\\x1B[2J\t3");
    EXPECT_NE(shown.err.find("bytes more than a list of 99 names"), std::string::npos) << shown.err;

    f.writeOneHeat(ProgrammeType::Race, 1, {"Anna", "Bernat"}, {10, 9}, {3.1f, 3.2f}, 4);
    ASSERT_TRUE(writeHeatCounter(par, 28530));
    CliRun set = cli(f, {"participants", "set", "1", "CRS", "1", "Anna", "Bernat", "Carles"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_NE(set.err.find("counts 28530 heats run, but 1 are stored"), std::string::npos)
        << set.err;
    auto saved = readParticipantList(par);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->heatsDone, 1);
    EXPECT_EQ(saved->names.size(), 4u);
    EXPECT_LT(fs::file_size(f.event() / "CRS001.DAD"), 1000u);
}
