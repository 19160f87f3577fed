#include "counter/capture.h"
#include "counter/counter_simulator.h"
#include "storage/participant_list.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include "support/temp_dir.h"

using namespace cronovolta;

namespace {

struct FlowRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string shellWord(const std::string& word) {
    std::string q = "'";
    for (char c : word) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        out.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return out;
}

// A whole event run through the command line as an organiser would script it: the
// official practice and every race series driven by replayed counter captures.
class EventFlowTest : public ::testing::Test {
protected:
    FlowRun cli(const std::vector<std::string>& args) {
        std::string command = shellWord(CRONOVOLTA_CLI) + " --data " + shellWord(m_data.path());
        for (const auto& a : args) {
            command += " " + shellWord(a);
        }
        const auto out = m_scratch.path() / "out";
        const auto err = m_scratch.path() / "err";
        command += " >" + shellWord(out) + " 2>" + shellWord(err);
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(out), test::readBytes(err)};
    }

    // Heats of a four-lane DS030 with a car on every lane; each series its own seed.
    void replay(const std::string& type, int serie, int heats) {
        SimulatorOptions options;
        options.model = CounterModel::DS030;
        options.lanes = 4;
        options.cars = 4;
        options.heats = heats;
        options.heatLength = 40.0;
        options.lapTime = 6.0;
        options.spread = 0.8;
        options.seed = static_cast<std::uint32_t>(17 * serie + type.size());
        const SimulatedPlay play = planSimulation(options);
        std::string text;
        for (const auto& chunk : play.chunks) {
            CaptureEvent e;
            e.seconds = 36000.0 + chunk.at;
            e.circuit = 1;
            e.bytes = chunk.bytes;
            text += formatCaptureEvent(e) + "\n";
        }
        const auto file = m_scratch.path() / (type + std::to_string(serie) + ".cap");
        test::writeBytes(file, text);
        FlowRun run = cli({"replay", "1", type, std::to_string(serie), file.string()});
        ASSERT_EQ(run.status, 0) << run.err;
    }

    // The names of a series' list.
    std::vector<std::string> names(int serie) {
        auto list = readParticipantList(m_data.path() / "PROVA001" /
                                        ("CRS00" + std::to_string(serie) + ".PAR"));
        return list ? list->names : std::vector<std::string>{};
    }

    test::TempDir m_data;
    test::TempDir m_scratch;
};

} // namespace

TEST_F(EventFlowTest, FromOfficialPracticeToTheFinalAutomatically) {
    ASSERT_EQ(cli({"track", "set", "lanes=4", "circuits=1"}).status, 0);
    ASSERT_EQ(cli({"settings", "set", "model=1"}).status, 0);
    // Six participants: four go straight to the semi-finals, one repechage for the rest.
    test::writeBytes(m_data.path() / "DISTRIBUCIONS04.TXT", "6 7\n");
    ASSERT_EQ(cli({"event", "create", "Gran Premi", "07-12-2026"}).status, 0);
    ASSERT_EQ(cli({"series", "add", "1", "OFC"}).out, "1\n");
    const std::vector<std::string> drivers = {"Anna", "Bernat", "Clara", "Dídac", "Elna", "Ferran"};
    std::vector<std::string> set = {"participants", "set", "1", "OFC", "1"};
    set.insert(set.end(), drivers.begin(), drivers.end());
    ASSERT_EQ(cli(set).status, 0);
    replay("OFC", 1, 9); // every driver over every lane

    FlowRun qualifying = cli({"series", "add", "1", "CRS"});
    ASSERT_EQ(qualifying.status, 0) << qualifying.err;
    ASSERT_EQ(splitLines(qualifying.out).size(), 1u) << qualifying.out;
    auto race = names(1);
    ASSERT_EQ(race.size(), 6u);
    std::vector<std::string> sorted = race;
    std::sort(sorted.begin(), sorted.end());
    auto expected = drivers;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);
    replay("CRS", 1, 9);

    // 2L - R = 7 direct places for six drivers: the repechage is empty.
    FlowRun repechage = cli({"series", "add", "1", "CRS"});
    EXPECT_EQ(repechage.out, "2\n");
    FlowRun semis = cli({"series", "add", "1", "CRS"});
    ASSERT_EQ(splitLines(semis.out).size(), 2u) << semis.out << semis.err;
    EXPECT_EQ(names(3).size() + names(4).size(), 6u);
    replay("CRS", 3, 6);
    replay("CRS", 4, 6);

    FlowRun final = cli({"series", "add", "1", "CRS"});
    ASSERT_EQ(final.status, 0) << final.err;
    auto finalists = names(5);
    EXPECT_EQ(finalists.size(), 4u);
    const auto semi = names(3);
    int fromFirst = 0;
    for (const auto& n : finalists) {
        fromFirst += std::count(semi.begin(), semi.end(), n) > 0 ? 1 : 0;
    }
    EXPECT_EQ(fromFirst, 2); // half the lanes from each semi-final
    replay("CRS", 5, 4);

    FlowRun classification = cli({"classify", "1", "CRS", "5"});
    ASSERT_EQ(classification.status, 0) << classification.err;
    auto rows = splitLines(classification.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_TRUE(rows[1].starts_with("1.-\t5\t"));
}
