// The desktop program reads a simulated counter on a pseudo-terminal, is killed in the
// middle of a heat, starts again, resumes the heat and stores every crossing.

#include "counter/counter_simulator.h"
#include "counter/pseudo_terminal.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "storage/program_settings.h"
#include "storage/resume_file.h"
#include "storage/track_config.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace cronovolta;
using namespace std::chrono_literals;

namespace {

const fs::path kDesktop = fs::path(CRONOVOLTA_CLI).parent_path() / "cronovolta";

class DesktopProcess {
public:
    DesktopProcess(const fs::path& dataDir, const std::vector<std::string>& options,
                   const fs::path& log) {
        std::vector<std::string> args{kDesktop.string(), "--data", dataDir.string()};
        args.insert(args.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen",
                                     "XDG_RUNTIME_DIR=" + dataDir.parent_path().string()};
        for (char** e = environ; *e != nullptr; ++e) {
            std::string entry(*e);
            if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0 &&
                entry.rfind("XDG_RUNTIME_DIR=", 0) != 0) {
                env.push_back(entry);
            }
        }
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (::posix_spawn(&m_pid, kDesktop.c_str(), &actions, nullptr, argv.data(), envp.data()) !=
            0) {
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~DesktopProcess() { stop(SIGKILL); }

    bool running() const { return m_pid > 0; }
    void stop(int signal) {
        if (m_pid > 0) {
            ::kill(m_pid, signal);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
};

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    return condition();
}

std::vector<LapRecord> crossingsIn(const fs::path& file) {
    std::vector<LapRecord> out;
    if (auto lapFile = readLapFile(file)) {
        for (const LapRecord& r : lapFile->records) {
            if (r.lane > 0) {
                out.push_back(r);
            }
        }
    }
    return out;
}

class LiveRecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kDesktop)) {
            GTEST_SKIP() << "the desktop program is not built";
        }
        auto pty = PseudoTerminal::open();
        ASSERT_TRUE(pty) << pty.error();
        m_pty.emplace(std::move(*pty));
        const fs::path data = dataDir();
        fs::create_directories(data);
        ProgramSettings settings = defaultProgramSettings();
        settings.counterModel = CounterModel::DS300;
        ASSERT_TRUE(saveProgramSettings(data / "ZENTOR.CFG", settings));
        TrackConfig track = defaultTrackConfig();
        track.lanes = track.storedLanes = 4;
        track.laneChangeOrder = {4, 1, 2, 3, 4};
        track.circuits = {{1, 1}};
        deriveTrackConfig(track);
        ASSERT_TRUE(saveTrackConfig(data / "PISTA.CFG", track));
        test::writeBytes(data / "PORTS.TXT", m_pty->devicePath() + "\n");
        EventManager manager(data);
        auto event = manager.createEvent("Resistència", "07-12-2026");
        ASSERT_TRUE(event);
        auto header = readEventHeader(eventFolder(data, 1) / "PROVA.DAD");
        if (!header || header->header.seriesCounts[3] < 1) {
            ASSERT_TRUE(manager.addSeries(1, ProgrammeType::Race));
        }
        ParticipantList list;
        list.names = {"Aleix", "Berta", "Carles", "Dolors"};
        ASSERT_TRUE(writeParticipantList(
            participantFile(eventFolder(data, 1), ProgrammeType::Race, 1), list));
        // A normal close left the event and its race series selected.
        ASSERT_TRUE(writeWindowState(data / "ZTR4.INI", WindowState{0, {0, 0, 0, 0}, false}));
    }

    fs::path dataDir() const { return m_root.path() / "data"; }
    fs::path eventDir() const { return eventFolder(dataDir(), 1); }
    fs::path log() const { return m_root.path() / "desktop.log"; }

    // Sends the chunks [from, to) at their times, counted from `origin`.
    void play(const SimulatedPlay& play, std::size_t from, std::size_t to,
              std::chrono::steady_clock::time_point origin, double originAt) {
        for (std::size_t i = from; i < to; ++i) {
            const auto& chunk = play.chunks[i];
            std::this_thread::sleep_until(
                origin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(chunk.at - originAt)));
            std::string_view rest = chunk.bytes;
            while (!rest.empty()) {
                auto written = m_pty->write(rest);
                ASSERT_TRUE(written) << written.error();
                rest.remove_prefix(*written);
                if (!rest.empty()) {
                    std::this_thread::sleep_for(1ms);
                }
            }
            m_pty->drain();
        }
    }

    test::TempDir m_root;
    std::optional<PseudoTerminal> m_pty;
};

TEST_F(LiveRecoveryTest, HeatKilledMidwayIsResumedWithEveryCrossing) {
    SimulatorOptions options;
    options.model = CounterModel::DS300;
    options.lanes = 4;
    options.cars = 4;
    options.lapTime = 2.5;
    options.spread = 0.2;
    options.heats = 1;
    options.heatLength = 24.0;
    options.seed = 11;
    const SimulatedPlay plan = planSimulation(options);
    ASSERT_GT(plan.crossings.size(), 20u);

    // Up to the middle of the heat.
    const double cutAt = plan.crossings[plan.crossings.size() / 2].at;
    std::size_t cut = 0;
    while (cut < plan.chunks.size() && plan.chunks[cut].at <= cutAt) {
        ++cut;
    }
    std::size_t sentBefore = 0;
    for (const auto& c : plan.crossings) {
        sentBefore += c.at <= cutAt ? 1 : 0;
    }

    {
        DesktopProcess desktop(dataDir(), {"--programme", "4"}, log());
        ASSERT_TRUE(desktop.running());
        ASSERT_TRUE(waitFor([&] { return m_pty->peerAttached(); }, 20s)) << test::readBytes(log());
        play(plan, 0, cut, std::chrono::steady_clock::now(), 0.0);
        ASSERT_TRUE(waitFor(
            [&] { return crossingsIn(eventDir() / "VLTAVLT.TMP").size() >= sentBefore; }, 10s))
            << "journal: " << crossingsIn(eventDir() / "VLTAVLT.TMP").size() << " of "
            << sentBefore;
        desktop.stop(SIGKILL);
    }
    ASSERT_TRUE(fs::exists(dataDir() / "ZTR4.TMP"));
    ASSERT_FALSE(fs::exists(dataDir() / "ZTR4.INI"));

    DesktopProcess again(dataDir(), {"--resume"}, log());
    ASSERT_TRUE(waitFor([&] { return m_pty->peerAttached(); }, 20s)) << test::readBytes(log());
    play(plan, cut, plan.chunks.size(), std::chrono::steady_clock::now(), cutAt);
    ASSERT_TRUE(waitFor(
        [&] {
            // The resume file goes after the heat counter: a stop between the two is a
            // heat the next start finds complete, not the end of this one.
            auto list = readParticipantList(participantFile(eventDir(), ProgrammeType::Race, 1));
            return list && list->heatsDone == 1 && !fs::exists(dataDir() / "ZTR4.TMP");
        },
        20s))
        << test::readBytes(log());
    again.stop(SIGTERM);

    const std::vector<LapRecord> stored = crossingsIn(eventDir() / "CRS001.VAV");
    ASSERT_EQ(stored.size(), plan.crossings.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const SimulatedCrossing& sent = plan.crossings[i];
        EXPECT_EQ(stored[i].lane, sent.lane) << "crossing " << i;
        if (stored[i].lapTime < 99.0f) {
            EXPECT_NEAR(stored[i].lapTime, sent.counterTime, 1e-3) << "crossing " << i;
        }
    }
    EXPECT_FALSE(fs::exists(dataDir() / "ZTR4.TMP"));
}

} // namespace
