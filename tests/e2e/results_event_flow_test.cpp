#include "counter/counter_simulator.h"
#include "storage/participant_list.h"
#include "support/simulated_capture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "results_cli_output.h"

using namespace cronovolta;

namespace {

using Names = std::vector<std::string>;

struct Ranked {
    int seriesNumber;
    std::string name;
};

// A whole event run through the command line as an organiser would script it: the
// official practice and every race series driven by replayed counter captures.
class EventFlowTest : public ::testing::Test {
protected:
    test::CliRun cli(const std::vector<std::string>& args) {
        return test::runCli(m_data.path(), args, m_scratch.path());
    }

    // Heats of a four-lane DS030 with a car on every lane; each series its own seed.
    void replay(const std::string& type, int seriesNumber, int heats) {
        SimulatorOptions options;
        options.model = CounterModel::DS030;
        options.lanes = 4;
        options.cars = 4;
        options.heats = heats;
        options.heatLength = 40.0;
        options.lapTime = 6.0;
        options.spread = 0.8;
        options.seed = static_cast<std::uint32_t>(17 * seriesNumber + type.size());
        const auto file = m_scratch.path() / (type + std::to_string(seriesNumber) + ".cap");
        test::writeBytes(file, test::simulatedCapture(options));
        test::CliRun run = cli({"replay", "1", type, std::to_string(seriesNumber), file.string()});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    // The names of a series' list.
    Names names(int seriesNumber) {
        auto list = readParticipantList(m_data.path() / "PROVA001" /
                                        ("CRS00" + std::to_string(seriesNumber) + ".PAR"));
        return list ? list->names : Names{};
    }

    // The rows of `classify 1 TYPE SERIES`, best first.
    std::vector<Ranked> ranking(const std::string& type, const std::string& seriesNumber) {
        test::CliRun run = cli({"classify", "1", type, seriesNumber});
        EXPECT_EQ(run.status, 0) << run.err;
        std::vector<Ranked> out;
        const auto rows = test::splitLines(run.out);
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const auto cells = test::splitCells(rows[i]);
            out.push_back({std::stoi(cells[1]), cells[3]});
        }
        return out;
    }

    test::TempDir m_data;
    test::TempDir m_scratch;
};

std::string placedLine(int seriesNumber, const Names& names) {
    std::string line = std::to_string(seriesNumber);
    for (const auto& n : names) {
        line += "\t" + n;
    }
    return line;
}

} // namespace

TEST_F(EventFlowTest, FourteenDriversGoThroughTwoRepechagesToTheFinal) {
    ASSERT_EQ(cli({"track", "set", "lanes=4", "circuits=1", "min-lap=2.5"}).status, 0);
    ASSERT_EQ(cli({"settings", "set", "model=1"}).status, 0);
    // Prepared outside: a heading line, then how many of N go straight to the semi-finals.
    std::string table = "Participants\tDirectes\r\n";
    for (int n = 5; n <= 20; ++n) {
        table += std::to_string(n) + "\t" + std::to_string(n <= 8 ? 8 : 8 - (n - 5) / 4) + "\r\n";
    }
    test::writeBytes(m_data.path() / "DISTRIBUCIONS04.TXT", table);
    ASSERT_EQ(cli({"event", "create", "Gran Premi de Sabadell", "12-04-2026"}).status, 0);
    ASSERT_EQ(cli({"series", "add", "1", "OFC"}).out, "1\n");
    const Names drivers = {"Marc Bosch",  "Anna Puig",  "Oriol Sala",  "Clara Vidal",
                           "Jordi Camps", "Elna Roca",  "Gemma Costa", "Bernat Soler",
                           "Núria Riera", "Ferran Mas", "Irene Serra", "Dídac Ferrer",
                           "Laia Font",   "Hèctor Pons"};
    std::vector<std::string> set = {"participants", "set", "1", "OFC", "1"};
    set.insert(set.end(), drivers.begin(), drivers.end());
    ASSERT_EQ(cli(set).status, 0);
    replay("OFC", 1, 14); // every driver over every lane

    // The qualifying race: the worst starts first, the second worst last, the best in the
    // middle.
    const auto practice = ranking("OFC", "1");
    ASSERT_EQ(practice.size(), 14u);
    Names start(14);
    for (std::size_t i = 1; i <= 14; ++i) {
        const std::size_t position = i % 2 == 1 ? (i + 1) / 2 : 14 - (i - 2) / 2;
        start[position - 1] = practice[14 - i].name;
    }
    test::CliRun qualifying = cli({"series", "add", "1", "CRS"});
    ASSERT_EQ(qualifying.status, 0) << qualifying.err;
    EXPECT_EQ(qualifying.out, placedLine(1, start) + "\n");
    EXPECT_NE(qualifying.err.find("1 line without two whole numbers was skipped"),
              std::string::npos);
    replay("CRS", 1, 14);

    // 14 drivers: 6 straight to the semi-finals, the others dealt over 2 repechages.
    const auto q = ranking("CRS", "1");
    ASSERT_EQ(q.size(), 14u);
    test::CliRun repechages = cli({"series", "add", "1", "CRS"});
    ASSERT_EQ(repechages.status, 0) << repechages.err;
    EXPECT_EQ(names(2), (Names{q[6].name, q[9].name, q[10].name, q[13].name}));
    EXPECT_EQ(names(3), (Names{q[7].name, q[8].name, q[11].name, q[12].name}));
    replay("CRS", 2, 4);
    replay("CRS", 3, 4);

    // The semi-finals: the six, then the best of each repechage in the combined ranking.
    Names fromRepechages;
    const auto combined = ranking("CRS", "all");
    std::vector<int> sent;
    for (const auto& r : combined) {
        if ((r.seriesNumber == 2 || r.seriesNumber == 3) &&
            std::find(sent.begin(), sent.end(), r.seriesNumber) == sent.end()) {
            sent.push_back(r.seriesNumber);
            fromRepechages.push_back(r.name);
        }
    }
    ASSERT_EQ(fromRepechages.size(), 2u);
    test::CliRun semis = cli({"series", "add", "1", "CRS"});
    ASSERT_EQ(semis.status, 0) << semis.err;
    EXPECT_EQ(names(4), (Names{q[0].name, q[3].name, q[4].name, fromRepechages[1]}));
    EXPECT_EQ(names(5), (Names{q[1].name, q[2].name, q[5].name, fromRepechages[0]}));
    replay("CRS", 4, 4);
    replay("CRS", 5, 4);

    // The final: two from each semi-final, in the combined order.
    Names finalists;
    int quota[2] = {2, 2};
    for (const auto& r : ranking("CRS", "all")) {
        if ((r.seriesNumber == 4 || r.seriesNumber == 5) && quota[r.seriesNumber - 4] > 0) {
            --quota[r.seriesNumber - 4];
            finalists.push_back(r.name);
        }
    }
    test::CliRun final = cli({"series", "add", "1", "CRS"});
    ASSERT_EQ(final.status, 0) << final.err;
    EXPECT_EQ(final.out, placedLine(6, finalists) + "\n");
    replay("CRS", 6, 4);
    const auto podium = ranking("CRS", "6");
    ASSERT_EQ(podium.size(), 4u);
    EXPECT_EQ(podium[0].seriesNumber, 6);

    // After the final the organiser goes on by hand.
    EXPECT_EQ(cli({"series", "add", "1", "CRS"}).out, "7\n");
}
