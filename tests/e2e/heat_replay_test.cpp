#include "counter/capture.h"
#include "counter/counter_simulator.h"
#include "heat/series_files.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

using namespace cronovolta;
using cronovolta::test::TempDir;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& word) {
    std::string q = "'";
    for (char c : word) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

constexpr double kStart = 36000.0; // the capture begins at 10:00:00

// The whole capture replayed into `whole`; the data folder prepared, and the capture cut in
// the middle of heat 2, as when the program stops.
struct CutCapture {
    TempDir whole;
    fs::path first;
    fs::path rest;
};

class HeatReplayTest : public ::testing::Test {
protected:
    void cutInHalf(CutCapture& cut);
    void expectSeriesFilesOf(const fs::path& whole);
    CliRun cli(const fs::path& data, const std::vector<std::string>& args) {
        std::string command = quoted(CRONOVOLTA_CLI) + " --data " + quoted(data);
        for (const auto& a : args) {
            command += " " + quoted(a);
        }
        fs::path out = m_scratch.path() / "out";
        fs::path err = m_scratch.path() / "err";
        command += " >" + quoted(out) + " 2>" + quoted(err);
        int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::readBytes(out), test::readBytes(err)};
    }

    // A race series of five participants on a four-lane track with one DS030.
    void prepare(const fs::path& data) {
        ASSERT_EQ(cli(data, {"track", "set", "lanes=4", "circuits=1"}).status, 0);
        ASSERT_EQ(cli(data, {"settings", "set", "model=1"}).status, 0);
        ASSERT_EQ(cli(data, {"event", "create", "Replay"}).status, 0);
        ParticipantList list;
        list.names = {"Anna", "Bernat", "Clara", "Dídac", "Elna"};
        ASSERT_TRUE(writeParticipantList(data / "PROVA001" / "CRS001.PAR", list));
    }

    std::string capture(const SimulatedPlay& play, std::size_t from, std::size_t to) {
        std::string text = "# three race heats\n";
        for (std::size_t i = from; i < to && i < play.chunks.size(); ++i) {
            CaptureEvent e;
            e.seconds = kStart + play.chunks[i].at;
            e.circuit = 1;
            e.bytes = play.chunks[i].bytes;
            text += formatCaptureEvent(e) + "\n";
        }
        return text;
    }

    static SimulatedPlay play() {
        SimulatorOptions options;
        options.model = CounterModel::DS030;
        options.lanes = 4;
        options.cars = 4;
        options.heats = 3;
        options.heatLength = 60.0;
        options.lapTime = 8.0;
        options.seed = 7;
        return planSimulation(options);
    }

    TempDir m_data;
    TempDir m_scratch;
};

TEST_F(HeatReplayTest, CapturedHeatsAreStoredLapByLap) {
    prepare(m_data.path());
    SimulatedPlay sim = play();
    fs::path file = m_scratch.path() / "race.cap";
    test::writeBytes(file, capture(sim, 0, sim.chunks.size()));
    CliRun run = cli(m_data.path(), {"replay", "1", "CRS", "1", file.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("# heat 1\n\tDorsal\tParticipant\tVoltes\tDif.Prm."), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("# heat 3\n"), std::string::npos);

    fs::path ev = m_data.path() / "PROVA001";
    auto par = readParticipantList(ev / "CRS001.PAR");
    ASSERT_TRUE(par);
    EXPECT_EQ(par->maniguesFetes, 3);
    auto laps = readLapFile(ev / "CRS001.VAV");
    ASSERT_TRUE(laps);
    std::size_t next = 0;
    std::vector<int> heatLapsOfParticipant(6, 0);
    for (int heat = 1; heat <= 3; ++heat) {
        SCOPED_TRACE("heat " + std::to_string(heat));
        auto start = lapBlockStart(laps->records, heat);
        ASSERT_TRUE(start);
        const LapRecord& header = laps->records[*start];
        EXPECT_EQ(header.lane, 0);
        EXPECT_EQ(header.lapTime, static_cast<float>(heat));
        std::vector<bool> seen(5, false);
        for (int i = 1; i < header.laps; ++i) {
            const LapRecord& r = laps->records[*start + static_cast<std::size_t>(i)];
            while (next < sim.crossings.size() && sim.crossings[next].heat < heat) {
                ++next;
            }
            ASSERT_LT(next, sim.crossings.size());
            const auto& crossing = sim.crossings[next++];
            EXPECT_EQ(r.lane, crossing.lane);
            auto lane = static_cast<std::size_t>(r.lane);
            EXPECT_EQ(r.lapTime, seen[lane] ? crossing.counterTime : 99.9999f);
            seen[lane] = true;
            ++heatLapsOfParticipant[static_cast<std::size_t>(r.participant)];
        }
        EXPECT_EQ(laps->records[*start + static_cast<std::size_t>(header.laps)].lane, 0);
    }
    auto results = readHeatResultFile(ev / "CRS001.DAD");
    ASSERT_TRUE(results);
    auto last = resultBlock(results->records, 3);
    ASSERT_TRUE(last);
    ASSERT_EQ(last->size(), 5u);
    for (const auto& row : *last) {
        EXPECT_EQ(
            row.seriesLaps,
            static_cast<float>(heatLapsOfParticipant[static_cast<std::size_t>(row.participant)]));
    }
    // The programme was closed at the end: no journal, no resume file.
    EXPECT_FALSE(fs::exists(ev / "VLTAVLT.TMP"));
    EXPECT_FALSE(fs::exists(m_data.path() / "ZTR4.TMP"));
}

void HeatReplayTest::cutInHalf(CutCapture& cut) {
    SimulatedPlay sim = play();
    prepare(cut.whole.path());
    fs::path all = m_scratch.path() / "all.cap";
    test::writeBytes(all, capture(sim, 0, sim.chunks.size()));
    EXPECT_EQ(cli(cut.whole.path(), {"replay", "1", "4", "1", all.string()}).status, 0);
    prepare(m_data.path());
    std::size_t at = 0;
    while (sim.chunks[at].at < sim.crossings.back().at * 0.5) {
        ++at;
    }
    cut.first = m_scratch.path() / "first.cap";
    cut.rest = m_scratch.path() / "rest.cap";
    test::writeBytes(cut.first, capture(sim, 0, at));
    test::writeBytes(cut.rest, capture(sim, at, sim.chunks.size()));
}

void HeatReplayTest::expectSeriesFilesOf(const fs::path& whole) {
    for (const char* name : {"CRS001.VAV", "CRS001.DAD", "CRS001.PAR"}) {
        EXPECT_EQ(test::readBytes(m_data.path() / "PROVA001" / name),
                  test::readBytes(whole / "PROVA001" / name))
            << name;
    }
}

TEST_F(HeatReplayTest, HeatCutShortIsRecoveredWithTheRestOfTheCapture) {
    CutCapture cut;
    cutInHalf(cut);
    const fs::path& first = cut.first;
    const fs::path& rest = cut.rest;
    CliRun interrupted = cli(m_data.path(), {"replay", "1", "CRS", "1", first.string()});
    ASSERT_EQ(interrupted.status, 0);
    EXPECT_NE(interrupted.err.find("--recover"), std::string::npos);
    EXPECT_TRUE(fs::exists(m_data.path() / "ZTR4.TMP"));
    // A programme that cannot be opened leaves the interrupted heat for a later recovery.
    fs::path track = m_data.path() / "PROVA001" / "PISTA.CFG";
    fs::rename(track, m_scratch.path() / "PISTA.CFG");
    EXPECT_EQ(cli(m_data.path(), {"replay", "1", "CRS", "1", rest.string(), "--recover"}).status,
              1);
    EXPECT_TRUE(fs::exists(m_data.path() / "ZTR4.TMP"));
    fs::rename(m_scratch.path() / "PISTA.CFG", track);
    CliRun recovered = cli(m_data.path(), {"replay", "1", "CRS", "1", rest.string(), "--recover"});
    ASSERT_EQ(recovered.status, 0) << recovered.err;
    expectSeriesFilesOf(cut.whole.path());
    EXPECT_FALSE(fs::exists(m_data.path() / "ZTR4.TMP"));
    // Nothing left to recover now.
    EXPECT_EQ(cli(m_data.path(), {"replay", "1", "CRS", "1", rest.string(), "--recover"}).status,
              1);
}

// Killed between the journal's creation and the resume file's: the journal's own header
// names the heat, and its pauses carry its start on.
// Killed between the journal's creation and the resume file's: the journal's own header
// names the heat, and its pauses carry its start on.
TEST_F(HeatReplayTest, JournalWithoutResumeFileIsRecoveredFromItsHeader) {
    CutCapture cut;
    cutInHalf(cut);
    ASSERT_EQ(cli(m_data.path(), {"replay", "1", "CRS", "1", cut.first.string()}).status, 0);
    fs::remove(m_data.path() / "ZTR4.TMP");
    CliRun recovered =
        cli(m_data.path(), {"replay", "1", "CRS", "1", cut.rest.string(), "--recover"});
    ASSERT_EQ(recovered.status, 0) << recovered.err;
    expectSeriesFilesOf(cut.whole.path());
}

TEST_F(HeatReplayTest, BadArgumentsAndBadLinesAreReported) {
    prepare(m_data.path());
    fs::path file = m_scratch.path() / "bad.cap";
    test::writeBytes(file, "36000.0000 1 A2\nnot a line\n36001.0000 key s\n");
    EXPECT_EQ(cli(m_data.path(), {"replay", "1", "CRS"}).status, 2);
    EXPECT_EQ(cli(m_data.path(), {"replay", "1", "XYZ", "1", file.string()}).status, 2);
    EXPECT_EQ(cli(m_data.path(), {"replay", "1", "CRS", "2", file.string()}).status, 1);
    EXPECT_EQ(cli(m_data.path(), {"replay", "1", "CRS", "1", "/nonexistent"}).status, 1);
    CliRun run = cli(m_data.path(), {"replay", "1", "CRS", "1", file.string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find(":2:"), std::string::npos) << run.err;
    // The start byte began heat 1 and the S key ended it.
    EXPECT_NE(run.out.find("# heat 1"), std::string::npos);
}

} // namespace
