#include "counter/counter_simulator.h"
#include "storage/participant_list.h"
#include "support/cli_run.h"
#include "support/simulated_capture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace cronovolta;
using cronovolta::test::TempDir;

namespace {

constexpr double kStart = 36000.0;

// Standard output of a shell command, for the audio tools.
std::string commandOutput(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, pipe)) {
            out += buf;
        }
        ::pclose(pipe);
    }
    return out;
}

bool onPath(const char* tool) {
    return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

class AnnounceCliTest : public ::testing::Test {
protected:
    test::CliRun cli(const std::vector<std::string>& args) { return cli(m_data.path(), args); }
    test::CliRun cli(const fs::path& data, const std::vector<std::string>& args) {
        return test::runCli(data, args, m_scratch.path());
    }

    // One race heat of 40 s on four lanes, Catalan names with accents.
    fs::path prepare(int language) { return prepare(m_data.path(), language); }
    fs::path prepare(const fs::path& data, int language) {
        EXPECT_EQ(cli(data, {"track", "set", "lanes=4", "circuits=1"}).status, 0);
        EXPECT_EQ(cli(data, {"settings", "set", "model=1", "language=" + std::to_string(language)})
                      .status,
                  0);
        EXPECT_EQ(cli(data, {"event", "create", "Veus"}).status, 0);
        ParticipantList list;
        list.names = {"Anna Soler", "Bernat", "Clàudia", "Dídac"};
        EXPECT_TRUE(writeParticipantList(data / "PROVA001" / "CRS001.PAR", list));
        SimulatorOptions options;
        options.model = CounterModel::DS030;
        options.lanes = 4;
        options.cars = 4;
        options.heats = 1;
        options.heatLength = 40.0;
        options.lapTime = 7.5;
        options.seed = 3;
        fs::path file = m_scratch.path() / "heat.cap";
        test::writeBytes(file, test::captureText(planSimulation(options), kStart));
        return file;
    }

    TempDir m_data;
    TempDir m_scratch;
};

TEST_F(AnnounceCliTest, PrintsTheHeatsSentencesAndStoresNothing) {
    for (int language : {0, 1}) {
        SCOPED_TRACE(language);
        TempDir data;
        fs::path capture = prepare(data.path(), language);
        auto run = cli(data.path(), {"announce", "1", "CRS", "1", capture.string()});
        ASSERT_EQ(run.status, 0) << run.err;
        const bool ca = language == 0;
        EXPECT_NE(
            run.out.find(ca ? "0:00:00\tComença la màniga u\n" : "0:00:00\tEmpieza la manga uno\n"),
            std::string::npos)
            << run.out;
        EXPECT_NE(run.out.find(ca ? "\tVolta ràpida, pista " : "\tVuelta rápida, pista "),
                  std::string::npos);
        std::size_t end = run.out.find(ca ? "\tFinal de la màniga\n" : "\tFinal de la manga\n");
        ASSERT_NE(end, std::string::npos) << run.out;
        EXPECT_NE(run.out.find(ca ? "\tGuanya " : "\tGana ", end), std::string::npos) << run.out;
        // The replay ran on a copy: the series still has no heat.
        EXPECT_FALSE(fs::exists(data.path() / "PROVA001" / "CRS001.VAV"));
        EXPECT_EQ(readParticipantList(data.path() / "PROVA001" / "CRS001.PAR")->heatsDone, 0);
    }
}

TEST_F(AnnounceCliTest, BadSettingsLinesAreReportedAndTheRestKept) {
    fs::path capture = prepare(0);
    test::writeBytes(m_data.path() / "ANNOUNCE.INI",
                     "[announce]\nevents=start,end\nheat_seconds=abc\n");
    auto run = cli({"announce", "1", "CRS", "1", capture.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Valor no vàlid a ANNOUNCE.INI, línia 3"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Volta ràpida, pista"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Final de la màniga"), std::string::npos) << run.out;
}

TEST_F(AnnounceCliTest, WavHoldsSpeechOfAPlausibleLength) {
    if (!onPath("espeak-ng") || !onPath("sox")) {
        GTEST_SKIP() << "espeak-ng and sox are needed (scripts/install-deps.sh)";
    }
    fs::path capture = prepare(0);
    fs::path wav = m_scratch.path() / "heat.wav";
    auto run = cli({"announce", "1", "CRS", "1", capture.string(), "--wav", wav.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::size_t sentences = 0;
    for (char c : run.out) {
        sentences += c == '\n';
    }
    ASSERT_GE(sentences, 3u);
    double seconds = std::atof(commandOutput("soxi -D " + test::shellQuoted(wav.string())).c_str());
    // About a second or more per sentence, far less than the heat itself lasted.
    EXPECT_GT(seconds, 0.8 * static_cast<double>(sentences)) << run.out;
    EXPECT_LT(seconds, 4.0 * static_cast<double>(sentences)) << run.out;
    // Speech, not silence: sox's statistics report a clear RMS amplitude.
    std::string stats = commandOutput("sox " + test::shellQuoted(wav.string()) + " -n stat 2>&1");
    auto at = stats.find("RMS     amplitude:");
    ASSERT_NE(at, std::string::npos) << stats;
    EXPECT_GT(std::atof(stats.c_str() + at + 18), 0.02) << stats;
}

} // namespace
