// Four lap counters of the DS300 family at the full rate of their lines on a 64-lane track,
// read by the desktop program's heat session with the lap-by-lap view and the standings
// window open: how many laps got through, how long the screens went without an update, and
// per crossing how long from its bytes' arrival on the port to the frame that shows its lap.

#include "heat_bench_support.h"

#include "counter/pseudo_terminal.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/portada.h"
#include "storage/config_pista.h"
#include "storage/config_prg.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "storage/ui_context.h"
#include "texts/qt/asker.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <time.h>

using namespace cronovolta;
using namespace cronovolta::bench;

namespace {

using SteadyClock = std::chrono::steady_clock;

double msSince(SteadyClock::time_point origin, SteadyClock::time_point t) {
    return std::chrono::duration<double, std::milli>(t - origin).count();
}

// The moments widgets were painted: a lap is on screen with the first paint after the
// screens were given it. Also the UI thread's processor time spent on repaints (from an
// update request to the next event that is not a paint), the bulk of the screens' cost.
class PaintTimes : public QObject {
public:
    std::vector<SteadyClock::time_point> times;
    double repaintCpuMs = 0;
    int repaints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint) {
            const double cpu = threadCpuMs();
            if (m_repainting) {
                repaintCpuMs += cpu - m_repaintStart;
            }
            m_repainting = event->type() == QEvent::UpdateRequest;
            repaints += m_repainting ? 1 : 0;
            m_repaintStart = cpu;
        }
        if (event->type() == QEvent::Paint &&
            (times.empty() || SteadyClock::now() - times.back() > std::chrono::microseconds(200))) {
            times.push_back(SteadyClock::now());
        }
        return false;
    }

private:
    bool m_repainting = false;
    double m_repaintStart = 0;
};

void BM_LiveHeat64Lanes(benchmark::State& state) {
    const double seconds = static_cast<double>(state.range(0));
    double sent = 0;
    double stored = 0;
    double longestGap = 0;
    double syncs = 0;
    double achievedRate = 0;
    std::vector<double> latencies;
    double repaintCpu = 0;
    double uiCpu = 0;
    for (auto _ : state) {
        BenchProgram program;
        const fs::path& dir = program.dir;
        HeatSession& session = *program.session;
        std::vector<PseudoTerminal>& ports = program.ports;
        session.openProgramme(4);
        session.heatKey('S');
        PaintTimes paints;
        qApp->installEventFilter(&paints);
        const double cpuAtStart = threadCpuMs();
        // At each screen update, how many crossings of each circuit the engine had.
        struct Sync {
            SteadyClock::time_point at;
            std::array<std::size_t, kCircuits> crossings;
        };
        std::vector<Sync> screenSyncs;
        std::array<std::size_t, kCircuits> counted{};
        std::size_t journalSeen = 0;
        QObject::connect(&session, &HeatSession::screensSynced, [&] {
            const auto& records = session.engine()->journalRecords();
            for (; journalSeen < records.size(); ++journalSeen) {
                const int lane = records[journalSeen].lane;
                if (lane > 0) {
                    ++counted[static_cast<std::size_t>((lane - 1) / kLanesPerCircuit)];
                }
            }
            screenSyncs.push_back({SteadyClock::now(), counted});
        });

        const int frames = static_cast<int>(seconds * kLineBytesPerSecond / 42.0);
        const std::string stream = counterStream(frames);
        std::atomic<bool> done = false;
        std::atomic<std::size_t> written = 0;
        // Per circuit: the end of each write and when it was done.
        std::vector<std::vector<std::pair<std::size_t, SteadyClock::time_point>>> writes(kCircuits);
        // The counters write on their own, whatever the program is doing.
        std::thread counters([&] {
            const auto start = std::chrono::steady_clock::now();
            std::vector<std::size_t> position(kCircuits, 0);
            while (true) {
                const double elapsed =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
                const auto due = std::min(stream.size(),
                                          static_cast<std::size_t>(elapsed * kLineBytesPerSecond));
                bool finished = true;
                for (int c = 0; c < kCircuits; ++c) {
                    auto& at = position[static_cast<std::size_t>(c)];
                    if (at < due) {
                        auto n = ports[static_cast<std::size_t>(c)].write(
                            std::string_view(stream).substr(at, due - at));
                        at += n ? *n : 0;
                        writes[static_cast<std::size_t>(c)].emplace_back(at, SteadyClock::now());
                    }
                    finished = finished && at >= stream.size();
                }
                written = position[0];
                if (finished) {
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            achievedRate =
                static_cast<double>(stream.size()) /
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            done = true;
        });
        runEventLoop([&] { return done.load(); });
        counters.join();
        const fs::path journal = eventFolder(dir, 1) / "VLTAVLT.TMP";
        const std::size_t expected = static_cast<std::size_t>(frames) * kCircuits;
        QElapsedTimer drain;
        drain.start();
        while (journaledCrossings(journal) < expected && drain.elapsed() < 10000) {
            waitEvents(100);
        }
        qApp->removeEventFilter(&paints);
        uiCpu = threadCpuMs() - cpuAtStart;
        repaintCpu = paints.repaintCpuMs;
        // Crossing n of a circuit is its n-th frame, whose first copy ends at byte 42n + 20.
        for (int c = 0; c < kCircuits; ++c) {
            const auto& w = writes[static_cast<std::size_t>(c)];
            std::size_t wi = 0;
            std::size_t si = 0;
            std::size_t pi = 0;
            for (std::size_t n = 0; n < static_cast<std::size_t>(frames); ++n) {
                const std::size_t last = 42 * n + 20;
                while (wi < w.size() && w[wi].first <= last) {
                    ++wi;
                }
                while (si < screenSyncs.size() &&
                       screenSyncs[si].crossings[static_cast<std::size_t>(c)] <= n) {
                    ++si;
                }
                if (wi >= w.size() || si >= screenSyncs.size()) {
                    break;
                }
                while (pi < paints.times.size() && paints.times[pi] < screenSyncs[si].at) {
                    ++pi;
                }
                const auto shown = pi < paints.times.size() ? paints.times[pi] : screenSyncs[si].at;
                latencies.push_back(msSince(w[wi].second, shown));
            }
        }
        sent = static_cast<double>(expected);
        stored = static_cast<double>(journaledCrossings(journal));
        longestGap = session.longestSyncGapMs();
        syncs = session.screenSyncs();
        session.heatKey('S');
        waitEvents(100);
        session.closeProgramme();
    }
    state.counters["crossings_sent"] = sent;
    state.counters["laps_lost"] = sent - stored;
    state.counters["crossings_per_s"] = sent / seconds;
    state.counters["line_bytes_per_s"] = achievedRate;
    state.counters["longest_screen_gap_ms"] = longestGap;
    state.counters["screen_updates"] = syncs;
    state.counters["lap_on_screen_p50_ms"] = percentile(latencies, 0.50);
    state.counters["lap_on_screen_p99_ms"] = percentile(latencies, 0.99);
    state.counters["lap_on_screen_max_ms"] = percentile(latencies, 1.0);
    state.counters["ui_thread_cpu_ms"] = uiCpu;
    state.counters["repaint_cpu_ms"] = repaintCpu;
}

BENCHMARK(BM_LiveHeat64Lanes)->Arg(20)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
