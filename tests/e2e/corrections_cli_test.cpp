#include "counter/counter_simulator.h"
#include "support/simulated_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "results_cli_output.h"

using namespace cronovolta;

namespace {

// A race of four heats replayed into a data folder, then corrected, given comes and
// penalties, and listed through the command line.
class CorrectionsCli : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(
            cli({"track", "set", "lanes=4", "circuits=1", "min-lap=2,5", "largest-partial=1000"})
                .status,
            0);
        ASSERT_EQ(cli({"settings", "set", "model=1"}).status, 0);
        ASSERT_EQ(cli({"event", "create", "Open de Sabadell", "07-12-2026"}).status, 0);
        ASSERT_EQ(cli({"participants", "set", "1", "CRS", "1", "Anna Puig", "Pere Roca",
                       "Laia Font", "Marc Serra"})
                      .status,
                  0);
        SimulatorOptions options;
        options.model = CounterModel::DS030;
        options.lanes = 4;
        options.cars = 4;
        options.heats = 4;
        options.heatLength = 40.0;
        options.lapTime = 6.0;
        options.spread = 0.8;
        options.seed = 11;
        const auto file = m_scratch.path() / "race.cap";
        test::writeBytes(file, test::simulatedCapture(options));
        test::CliRun run = cli({"replay", "1", "CRS", "1", file.string()});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    test::CliRun cli(const std::vector<std::string>& args) {
        return test::runCli(m_data.path(), args, m_scratch.path());
    }

    // Total laps of the classification of the series, by name.
    std::map<std::string, double> totals() {
        test::CliRun run = cli({"classify", "1", "CRS", "1"});
        EXPECT_EQ(run.status, 0) << run.err;
        std::map<std::string, double> out;
        const auto rows = test::splitLines(run.out);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const auto cells = test::splitCells(rows[i]);
            out[cells[3]] = std::stod(cells[7]);
        }
        return out;
    }

    // The listing of a heat, one vector of cells per line.
    std::vector<std::vector<std::string>> laps(std::vector<std::string> args) {
        args.insert(args.begin(), {"laps", "1", "CRS", "1"});
        test::CliRun run = cli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<std::vector<std::string>> out;
        for (const auto& line : test::splitLines(run.out)) {
            if (!line.starts_with("# ")) {
                out.push_back(test::splitCells(line));
            }
        }
        return out;
    }

    // Every file of the event folder, by name.
    std::map<std::string, std::string> eventFiles() {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(m_data.path() / "PROVA001")) {
            files[entry.path().filename().string()] = test::readBytes(entry.path());
        }
        return files;
    }

    test::TempDir m_data;
    test::TempDir m_scratch;
};

TEST_F(CorrectionsCli, CorrectionsLapFractionsAndPenaltiesReachTheClassification) {
    const auto before = totals();
    ASSERT_EQ(before.size(), 4u);
    // Who drove lane 3 in heat 2, from the listing.
    const auto heat2 = laps({"2", "--lane", "3"});
    ASSERT_FALSE(heat2.empty());
    const std::string driver = heat2[0][3];
    const int heatLaps = std::stoi(heat2.back()[7]);

    test::CliRun corrected = cli(
        {"correct", "1", "CRS", "1", "2", "--lane", "3", "--laps", std::to_string(heatLaps + 3)});
    ASSERT_EQ(corrected.status, 0) << corrected.err;
    EXPECT_EQ(corrected.out, "CRS001: heats 2 to 4 recomputed\n");
    EXPECT_DOUBLE_EQ(totals()[driver], before.at(driver) + 3.0);

    ASSERT_EQ(cli({"comes", "1", "CRS", "1", "4", "--lane", "1", "--comes", "350"}).status, 0);
    const auto heat4 = laps({"4", "--lane", "1"});
    const std::string last = heat4[0][3];
    EXPECT_NEAR(totals()[last] - std::floor(totals()[last]), 0.35, 1e-6);

    test::CliRun set = cli({"penalty", "set", "1", "1", "2", "-1,5", "  salt de carril  "});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(cli({"penalty", "show", "1", "1"}).out, "2\tPere Roca\t1.5\tsalt de carril\n");
    const auto penalised = totals();
    // New laps alone keep the reasons; an empty reason given on purpose clears them.
    ASSERT_EQ(cli({"penalty", "set", "1", "1", "2", "2"}).status, 0);
    EXPECT_EQ(cli({"penalty", "show", "1", "1"}).out, "2\tPere Roca\t2\tsalt de carril\n");
    ASSERT_EQ(cli({"penalty", "set", "1", "1", "2", "2", ""}).status, 0);
    EXPECT_EQ(cli({"penalty", "show", "1", "1"}).out, "2\tPere Roca\t2\t\n");
    test::CliRun lossy = cli({"penalty", "set", "1", "1", "2", "1,5", "日本 salt"});
    ASSERT_EQ(lossy.status, 0) << lossy.err;
    EXPECT_EQ(lossy.err, "cronovolta-cli: warning: \"日本 salt\" is stored as \"?? salt\": "
                         "reasons keep Windows-1252 characters only\n");
    ASSERT_EQ(cli({"penalty", "set", "1", "1", "2", "0"}).status, 0);
    EXPECT_EQ(cli({"penalty", "show", "1", "1"}).out, "");
    EXPECT_DOUBLE_EQ(totals()["Pere Roca"], penalised.at("Pere Roca") + 1.5);
}

TEST_F(CorrectionsCli, BadInputIsRefusedAndChangesNothing) {
    const auto stored = eventFiles();
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const std::string huge = "99999999999999";
    const Case cases[] = {
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--laps", huge}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--laps", "16778"}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--fastest", "-5"}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--fastest", "2,5"}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--fastest", huge}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--fastest", "6", "--lane", "1",
          "--fastest", "-5"},
         1},
        {{"penalty", "set", "1", "1", "2", huge, "x"}, 1},
        {{"penalty", "set", "1", "1", "2", "-" + huge}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--laps", "12x"}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--fastest", "abc"}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "3", "--laps", "-4"}, 1},
        {{"correct", "1", "CRS", "1", "9", "--lane", "3", "--laps", "4"}, 1},
        {{"correct", "1", "CRS", "1", "2", "--lane", "7", "--laps", "4"}, 1},
        {{"correct", "1", "OFC", "1", "1", "--lane", "1", "--laps", "4"}, 2},
        {{"correct", "1", "CRS", "1", "2", "--laps", "4"}, 2},
        {{"comes", "1", "CRS", "1", "2", "--lane", "1", "--comes", "1000"}, 1},
        {{"comes", "1", "CRS", "1", "2", "--lane", "1", "--comes", "3,5"}, 1},
        {{"comes", "1", "OFC", "1", "2", "--lane", "1", "--comes", "300"}, 2},
        {{"penalty", "set", "1", "1", "2", "two"}, 1},
        {{"penalty", "set", "1", "1", "9", "2"}, 1},
        {{"penalty", "set", "1", "1", "2", "2", "salt\tde carril"}, 1},
        {{"laps", "1", "CRS", "1", "5"}, 1},
        {{"laps", "1", "CRS", "1", "1", "--sort", "4"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args.back());
        test::CliRun run = cli(c.args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(eventFiles(), stored);
    }
    EXPECT_FALSE(fs::exists(m_data.path() / "PROVA001" / "CRS001.PEN"));

    // A track without lap fractions takes no comes.
    ASSERT_EQ(cli({"track", "set", "--event", "1", "largest-partial=0"}).status, 0);
    const auto withoutLapFractions = eventFiles();
    test::CliRun lapFraction = cli({"comes", "1", "CRS", "1", "2", "--lane", "1", "--comes", "5"});
    EXPECT_EQ(lapFraction.status, 1);
    EXPECT_NE(lapFraction.err.find("comes are not used on this track"), std::string::npos)
        << lapFraction.err;
    EXPECT_EQ(eventFiles(), withoutLapFractions);
}

// An event folder that is a link to a folder elsewhere is read, never written.
TEST_F(CorrectionsCli, ALinkedEventFolderIsNotWrittenThrough) {
    const fs::path outside = m_scratch.path() / "elsewhere";
    fs::rename(m_data.path() / "PROVA001", outside);
    fs::create_directory_symlink(outside, m_data.path() / "PROVA001");
    const auto before = eventFiles();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"penalty", "set", "1", "1", "2", "1"},
          {"correct", "1", "CRS", "1", "2", "--lane", "3", "--laps", "4"},
          {"participants", "set", "1", "CRS", "1", "A", "B", "C", "D"},
          {"series", "delete", "1", "CRS", "1"}}) {
        test::CliRun run = cli(args);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_NE(run.err.find("event folder is a symbolic link"), std::string::npos) << run.err;
    }
    EXPECT_EQ(eventFiles(), before);
    EXPECT_EQ(cli({"classify", "1", "CRS", "1"}).status, 0);
}

TEST_F(CorrectionsCli, LapsListsTheVisibleRowsAndDumpsEveryHeat) {
    const auto all = laps({"1"});
    ASSERT_GT(all.size(), 8u);
    // Above the table, as in the window: the crossings listed and the heat's start.
    const auto head = test::splitLines(cli({"laps", "1", "CRS", "1", "1"}).out).front();
    EXPECT_EQ(head.substr(0, head.find('\t')), "# Lectures: " + std::to_string(all.size()));
    EXPECT_TRUE(head.substr(head.find('\t') + 1).starts_with("Inici de la màniga: 10:0")) << head;
    for (std::size_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(all[i].size(), 12u);
        EXPECT_EQ(all[i][0], std::to_string(i + 1) + ".-");
    }
    const auto byTime = laps({"1", "--sort", "2", "--participant", "1"});
    ASSERT_FALSE(byTime.empty());
    for (std::size_t i = 1; i < byTime.size(); ++i) {
        EXPECT_EQ(byTime[i][2], "1");
        EXPECT_LE(std::stod(byTime[i - 1][9]), std::stod(byTime[i][9]));
    }
    test::CliRun dump = cli({"laps", "1", "CRS", "1", "--dump"});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const auto path = m_data.path() / "PROVA001" / "VLTAVLT.TXT";
    EXPECT_EQ(dump.out, path.string() + "\n");
    const std::string text = test::readBytes(path);
    std::size_t lines = 0;
    for (char c : text) {
        lines += c == '\n';
    }
    std::size_t listed = 0;
    for (int heat = 1; heat <= 4; ++heat) {
        listed += laps({std::to_string(heat)}).size();
    }
    EXPECT_EQ(lines, listed);
    EXPECT_EQ(text.substr(0, text.find(';')), all[0][3]);
}

} // namespace
