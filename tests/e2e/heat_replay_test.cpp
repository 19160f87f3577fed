#include "counter/counter_simulator.h"
#include "heat/series_files.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "support/simulated_capture.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

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
    CliRun cli(const fs::path& data, const std::vector<std::string>& args,
               const std::string& prefix = "") {
        std::string command = prefix + quoted(CRONOVOLTA_CLI) + " --data " + quoted(data);
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
        return "# three race heats\n" + test::captureText(play, kStart, from, to);
    }

    static SimulatedPlay play(int heats = 3) {
        SimulatorOptions options;
        options.model = CounterModel::DS030;
        options.lanes = 4;
        options.cars = 4;
        options.heats = heats;
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
    EXPECT_EQ(par->heatsDone, 3);
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

// Lap records (lane > 0) of a journal or of one heat's block, and whether the journal is
// whole: its header's count reaches an end record.
struct JournalCount {
    int laps = 0;
    bool whole = false;
};
JournalCount countJournal(const std::vector<LapRecord>& records, std::size_t start = 0) {
    JournalCount c;
    if (start >= records.size()) {
        return c;
    }
    const auto count = static_cast<std::size_t>(std::max<int>(records[start].laps, 0));
    c.whole = count >= 1 && start + count < records.size() && records[start + count].lane == 0;
    for (std::size_t i = start + 1;
         i < records.size() && i < start + std::max<std::size_t>(count, 1); ++i) {
        c.laps += records[i].lane > 0 ? 1 : 0;
    }
    return c;
}

std::vector<fs::path> keptJournals(const fs::path& folder) {
    std::vector<fs::path> out;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("VLTAVLT.CRS001.M") && !name.ends_with(".AJS")) {
            out.push_back(entry.path());
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool englishProblemIn(const std::string& err) {
    for (const char* english : {"cannot ", "No space", "Is a directory", "Permission denied",
                                "the disk is full", "it is a folder", "note:"}) {
        if (err.find(english) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// No heat can be stored (a folder under the lap file's
// name). Each heat's laps are kept in a file of their own, the organiser is told its name in
// Catalan, the system's reason included, "# heat 0" is never printed, and the replay fails.
TEST_F(HeatReplayTest, HeatsThatCannotBeStoredAreKeptApartAndFailTheReplay) {
    prepare(m_data.path());
    const fs::path ev = m_data.path() / "PROVA001";
    fs::create_directories(ev / "CRS001.VAV");
    SimulatedPlay sim = play();
    fs::path file = m_scratch.path() / "race.cap";
    test::writeBytes(file, capture(sim, 0, sim.chunks.size()));
    CliRun run = cli(m_data.path(), {"replay", "1", "CRS", "1", file.string()});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out.find("# heat 0"), std::string::npos) << run.out;
    std::size_t notStored = 0;
    for (std::size_t at = 0; (at = run.out.find("# heat 1: not stored\n", at)) != std::string::npos;
         ++at) {
        ++notStored;
    }
    EXPECT_EQ(notStored, 3u) << run.out;
    EXPECT_FALSE(englishProblemIn(run.err)) << run.err;
    EXPECT_NE(run.err.find("No s'ha pogut gravar l'arxiu"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("és una carpeta"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("3 màniga(es) de la captura no s'han gravat"), std::string::npos);
    const auto kept = keptJournals(ev);
    ASSERT_EQ(kept.size(), 3u);
    for (int heat = 1; heat <= 3; ++heat) {
        const fs::path& path = kept[static_cast<std::size_t>(heat - 1)];
        SCOPED_TRACE(path.filename().string());
        EXPECT_NE(run.err.find(path.filename().string()), std::string::npos);
        auto laps = readLapFile(path);
        ASSERT_TRUE(laps);
        JournalCount c = countJournal(laps->records);
        EXPECT_TRUE(c.whole);
        int crossings = 0;
        for (const auto& x : sim.crossings) {
            crossings += x.heat == heat ? 1 : 0;
        }
        EXPECT_EQ(c.laps, crossings);
    }
    auto par = readParticipantList(ev / "CRS001.PAR");
    ASSERT_TRUE(par);
    EXPECT_EQ(par->heatsDone, 0);
}

// LeakSanitizer cannot run under ptrace: a sanitizer build's program under strace leaves
// leak detection off.
constexpr const char* kStrace =
    "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" strace -f -o /dev/null -qq ";

bool straceInjects() {
    return std::system("strace -o /dev/null -qq -e inject=getpid:retval=7 true >/dev/null 2>&1") ==
           0;
}

// One write of a heat's lap block fails. That heat does not
// count, and the stored totals follow from the stored laps alone.
TEST_F(HeatReplayTest, AHeatThatFailedToStoreDoesNotCountInTheStoredTotals) {
    if (!straceInjects()) {
        GTEST_SKIP() << "strace cannot inject faults here (scripts/install-deps.sh installs it)";
    }
    prepare(m_data.path());
    const fs::path ev = m_data.path() / "PROVA001";
    SimulatedPlay sim = play();
    fs::path file = m_scratch.path() / "race.cap";
    test::writeBytes(file, capture(sim, 0, sim.chunks.size()));
    const std::string strace = std::string(kStrace) + "-e inject=openat:error=ENOSPC:when=1 -P " +
                               quoted((ev / "CRS001.VAV").string()) + " ";
    CliRun run = cli(m_data.path(), {"replay", "1", "CRS", "1", file.string()}, strace);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("# heat 1: not stored\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("# heat 2\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("# heat 0"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("el disc és ple"), std::string::npos) << run.err;
    EXPECT_FALSE(englishProblemIn(run.err)) << run.err;
    auto par = readParticipantList(ev / "CRS001.PAR");
    ASSERT_TRUE(par);
    ASSERT_EQ(par->heatsDone, 2);
    auto laps = readLapFile(ev / "CRS001.VAV");
    ASSERT_TRUE(laps);
    std::vector<int> stored(6, 0);
    for (int heat = 1; heat <= 2; ++heat) {
        auto start = lapBlockStart(laps->records, heat);
        ASSERT_TRUE(start);
        for (int i = 1; i < laps->records[*start].laps; ++i) {
            ++stored[static_cast<std::size_t>(
                laps->records[*start + static_cast<std::size_t>(i)].participant)];
        }
    }
    auto results = readHeatResultFile(ev / "CRS001.DAD");
    ASSERT_TRUE(results);
    auto last = resultBlock(results->records, 2);
    ASSERT_TRUE(last);
    ASSERT_EQ(last->size(), 5u);
    for (const auto& row : *last) {
        EXPECT_EQ(row.seriesLaps,
                  static_cast<float>(stored[static_cast<std::size_t>(row.participant)]))
            << "participant " << row.participant;
    }
    EXPECT_EQ(keptJournals(ev).size(), 1u);
}

bool userNamespaces() {
    return std::system("unshare -rm true >/dev/null 2>&1") == 0;
}

// A real full disk (a small tmpfs in a mount namespace of its own). No lap
// is lost: every heat of the capture that ended is stored, or kept whole in a file of its
// own; when even that fails the replay stops at that heat and says where to go on from once
// there is room, here on the copy of the folder on a disk with room.
TEST_F(HeatReplayTest, AFullDiskLosesNoLap) {
    if (!userNamespaces()) {
        GTEST_SKIP() << "no mount namespace for a small tmpfs here";
    }
    prepare(m_data.path());
    constexpr int kHeats = 16;
    SimulatedPlay sim = play(kHeats);
    fs::path file = m_scratch.path() / "race.cap";
    test::writeBytes(file, capture(sim, 0, sim.chunks.size()));
    fs::path mnt = m_scratch.path() / "mnt";
    fs::path full = m_scratch.path() / "full";
    fs::create_directories(mnt);
    fs::create_directories(full);
    const std::string d = quoted(mnt.string());
    const std::string script =
        "mount -t tmpfs -o size=1m tmpfs " + d + " || exit 90\n" + "cp -a " +
        quoted(m_data.path().string()) + "/. " + d + "/ || exit 91\n" +
        // Fill the disk, then give three pages back.
        "dd if=/dev/zero of=" + d + "/filler bs=4096 >/dev/null 2>&1\n" + "truncate -s -12K " + d +
        "/filler\n" + quoted(CRONOVOLTA_CLI) + " --data " + d + " replay 1 CRS 1 " +
        quoted(file.string()) + " >" + quoted((m_scratch.path() / "out").string()) + " 2>" +
        quoted((m_scratch.path() / "err").string()) + "\n" + "echo $? >" +
        quoted((m_scratch.path() / "status").string()) + "\n" + "rm -f " + d + "/filler\n" +
        "cp -a " + d + "/. " + quoted(full.string()) + "/\n";
    test::writeBytes(m_scratch.path() / "full.sh", script);
    int raw =
        std::system(("unshare -rm sh " + quoted((m_scratch.path() / "full.sh").string())).c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << script;
    const std::string err = test::readBytes(m_scratch.path() / "err");
    const std::string out = test::readBytes(m_scratch.path() / "out");
    // The disk filled up: heats were not stored, and the replay says so and fails.
    EXPECT_EQ(test::readBytes(m_scratch.path() / "status"), "1\n") << err;
    EXPECT_NE(err.find("el disc és ple"), std::string::npos) << err;
    EXPECT_FALSE(englishProblemIn(err)) << err;
    EXPECT_EQ(out.find("# heat 0"), std::string::npos);
    const fs::path ev = full / "PROVA001";
    // Stopped at a heat it could neither store nor keep: go on where it says, with room now.
    if (const auto stop = err.find("la reproducció s'atura a la màniga");
        stop != std::string::npos) {
        const std::string tail = "tail -n +";
        const auto at = err.find(tail, stop);
        ASSERT_NE(at, std::string::npos) << err;
        const int line = std::atoi(err.c_str() + at + tail.size());
        ASSERT_GT(line, 0) << err;
        const std::string whole = test::readBytes(file);
        std::size_t from = 0;
        for (int n = 1; n < line; ++n) {
            from = whole.find('\n', from) + 1;
        }
        fs::path rest = m_scratch.path() / "rest.cap";
        test::writeBytes(rest, whole.substr(from));
        std::vector<std::string> args = {"replay", "1", "CRS", "1", rest.string()};
        if (err.find("--recover", stop) != std::string::npos) {
            args.push_back("--recover");
        }
        CliRun goOn = cli(full, args);
        EXPECT_EQ(goOn.status, 0) << goOn.err;
    } else {
        ADD_FAILURE() << "a disk this full stops the replay\n" << err;
    }
    EXPECT_FALSE(fs::exists(full / "ZTR4.TMP"));
    auto par = readParticipantList(ev / "CRS001.PAR");
    ASSERT_TRUE(par);
    auto laps = readLapFile(ev / "CRS001.VAV");
    int storedLaps = 0;
    for (int heat = 1; heat <= par->heatsDone; ++heat) {
        ASSERT_TRUE(laps);
        auto start = lapBlockStart(laps->records, heat);
        ASSERT_TRUE(start) << heat;
        JournalCount c = countJournal(laps->records, *start);
        EXPECT_TRUE(c.whole) << heat;
        storedLaps += c.laps;
    }
    int keptLaps = 0;
    int keptHeats = 0;
    for (const auto& path : keptJournals(ev)) {
        auto journal = readLapFile(path);
        ASSERT_TRUE(journal) << path;
        JournalCount c = countJournal(journal->records);
        // A part of a heat whose laps the capture alone held whole is no heat of its own.
        keptHeats += c.whole ? 1 : 0;
        keptLaps += c.whole ? c.laps : 0;
    }
    EXPECT_GE(keptHeats, 1);
    // Every heat of the capture ended once, stored or kept, with all its crossings.
    EXPECT_EQ(par->heatsDone + keptHeats, kHeats) << err;
    EXPECT_EQ(storedLaps + keptLaps, static_cast<int>(sim.crossings.size()))
        << par->heatsDone << " stored, " << keptHeats << " kept\n"
        << err;
}

// The lap file cannot be written, nor can the journal be renamed nor copied
// (faults injected). The replay stops at that heat, leaves it as an interrupted heat whose
// journal is whole, and --recover stores it once there is room, then plays the rest.
TEST_F(HeatReplayTest, AHeatThatCanBeNeitherStoredNorKeptIsLeftForTheRecovery) {
    if (!straceInjects()) {
        GTEST_SKIP() << "strace cannot inject faults here (scripts/install-deps.sh installs it)";
    }
    SimulatedPlay sim = play();
    fs::path file = m_scratch.path() / "race.cap";
    test::writeBytes(file, capture(sim, 0, sim.chunks.size()));
    // The name the first heat's journal would be kept under.
    TempDir probe;
    prepare(probe.path());
    fs::create_directories(probe.path() / "PROVA001" / "CRS001.VAV");
    cli(probe.path(), {"replay", "1", "CRS", "1", file.string()});
    const auto names = keptJournals(probe.path() / "PROVA001");
    ASSERT_FALSE(names.empty());
    const std::string keptName = names.front().filename().string();

    prepare(m_data.path());
    const fs::path ev = m_data.path() / "PROVA001";
    fs::create_directories(ev / "CRS001.VAV");
    const std::string strace =
        std::string(kStrace) + "-P " + quoted((ev / "VLTAVLT.TMP").string()) + " -P " +
        quoted((ev / (keptName + ".tmp~")).string()) +
        " -e inject=rename,renameat,renameat2:error=EROFS -e inject=openat:error=ENOSPC ";
    CliRun run = cli(m_data.path(), {"replay", "1", "CRS", "1", file.string()}, strace);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("només és de lectura"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("no s'han pogut gravar ni desar a part"), std::string::npos) << run.err;
    const auto stop = run.err.find("la reproducció s'atura a la màniga 1");
    ASSERT_NE(stop, std::string::npos) << run.err;
    EXPECT_FALSE(englishProblemIn(run.err)) << run.err;
    EXPECT_TRUE(fs::exists(m_data.path() / "ZTR4.TMP"));
    auto journal = readLapFile(ev / "VLTAVLT.TMP");
    ASSERT_TRUE(journal);
    JournalCount c = countJournal(journal->records);
    EXPECT_TRUE(c.whole);
    int heatOne = 0;
    for (const auto& x : sim.crossings) {
        heatOne += x.heat == 1 ? 1 : 0;
    }
    EXPECT_EQ(c.laps, heatOne);
    EXPECT_TRUE(keptJournals(ev).empty());

    // Room again: go on as the message says.
    fs::remove_all(ev / "CRS001.VAV");
    const std::string tail = "tail -n +";
    const auto at = run.err.find(tail, stop);
    ASSERT_NE(at, std::string::npos) << run.err;
    const int line = std::atoi(run.err.c_str() + at + tail.size());
    ASSERT_GT(line, 1);
    const std::string whole = test::readBytes(file);
    std::size_t from = 0;
    for (int n = 1; n < line; ++n) {
        from = whole.find('\n', from) + 1;
    }
    fs::path rest = m_scratch.path() / "rest.cap";
    test::writeBytes(rest, whole.substr(from));
    CliRun goOn = cli(m_data.path(), {"replay", "1", "CRS", "1", rest.string(), "--recover"});
    EXPECT_EQ(goOn.status, 0) << goOn.err;
    auto par = readParticipantList(ev / "CRS001.PAR");
    ASSERT_TRUE(par);
    EXPECT_EQ(par->heatsDone, 3);
    auto laps = readLapFile(ev / "CRS001.VAV");
    ASSERT_TRUE(laps);
    for (int heat = 1; heat <= 3; ++heat) {
        auto start = lapBlockStart(laps->records, heat);
        ASSERT_TRUE(start) << heat;
        int crossings = 0;
        for (const auto& x : sim.crossings) {
            crossings += x.heat == heat ? 1 : 0;
        }
        EXPECT_EQ(countJournal(laps->records, *start).laps, crossings) << heat;
    }
    EXPECT_FALSE(fs::exists(m_data.path() / "ZTR4.TMP"));
}

// A plain replay refuses to start over an interrupted heat; --recover
// stores it, --discard keeps its laps aside and goes on.
TEST_F(HeatReplayTest, APlainReplayRefusesAnInterruptedHeat) {
    CutCapture cut;
    cutInHalf(cut);
    const fs::path ev = m_data.path() / "PROVA001";
    ASSERT_EQ(cli(m_data.path(), {"replay", "1", "CRS", "1", cut.first.string()}).status, 0);
    const std::string journal = test::readBytes(ev / "VLTAVLT.TMP");
    const std::string resume = test::readBytes(m_data.path() / "ZTR4.TMP");
    const std::string vav = test::readBytes(ev / "CRS001.VAV");
    for (bool withResumeFile : {true, false}) {
        SCOPED_TRACE(withResumeFile ? "resume file" : "journal alone");
        if (!withResumeFile) {
            fs::remove(m_data.path() / "ZTR4.TMP");
        }
        CliRun refused = cli(m_data.path(), {"replay", "1", "CRS", "1", cut.rest.string()});
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(refused.err.find("màniga interrompuda"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("màniga 2"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("--recover"), std::string::npos);
        EXPECT_NE(refused.err.find("--discard"), std::string::npos);
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(test::readBytes(ev / "VLTAVLT.TMP"), journal);
        EXPECT_EQ(test::readBytes(ev / "CRS001.VAV"), vav);
        EXPECT_EQ(fs::exists(m_data.path() / "ZTR4.TMP"), withResumeFile);
    }
    test::writeBytes(m_data.path() / "ZTR4.TMP", resume);
    EXPECT_EQ(
        cli(m_data.path(), {"replay", "1", "CRS", "1", cut.rest.string(), "--recover", "--discard"})
            .status,
        2);
    CliRun discarded =
        cli(m_data.path(), {"replay", "1", "CRS", "1", cut.rest.string(), "--discard"});
    EXPECT_EQ(discarded.status, 0) << discarded.err;
    const auto kept = keptJournals(ev);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept[0].filename().string().starts_with("VLTAVLT.CRS001.M002."));
    EXPECT_EQ(test::readBytes(kept[0]), journal);
    EXPECT_NE(discarded.err.find(kept[0].filename().string()), std::string::npos) << discarded.err;
    EXPECT_FALSE(fs::exists(m_data.path() / "ZTR4.TMP"));
}

// A capture of another counter model is refused, naming both models,
// before anything is written.
TEST_F(HeatReplayTest, ACaptureOfAnotherCounterModelIsRefused) {
    prepare(m_data.path()); // DS030
    fs::path file = m_scratch.path() / "ds300.cap";
    ASSERT_EQ(cli(m_data.path(), {"simulate", "--model", "DS300", "--lanes", "4", "--heats", "1",
                                  "--capture", file.string()})
                  .status,
              0);
    ASSERT_TRUE(test::readBytes(file).starts_with("# simulated DS300\n"));
    CliRun refused = cli(m_data.path(), {"replay", "1", "CRS", "1", file.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("DS300"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("DS030"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find(file.string() + ":1"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_FALSE(fs::exists(m_data.path() / "PROVA001" / "CRS001.VAV"));
    EXPECT_FALSE(fs::exists(m_data.path() / "ZTR4.TMP"));
    ASSERT_EQ(cli(m_data.path(), {"settings", "set", "model=DS300"}).status, 0);
    CliRun run = cli(m_data.path(), {"replay", "1", "CRS", "1", file.string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("# heat 1\n"), std::string::npos);
}

} // namespace
