// The live-results server under a busy heat: four DS300 counters at the full rate of their
// lines on a 64-lane track, read by the desktop program's heat session with its screens,
// and 200 phones on the loopback address following the page by WebSocket. Run with 0 and
// with 200 clients: laps lost, the screens' longest update gap, per change how long until
// every client had it, and the processor time the server took from the program's thread.

#include "heat_bench_support.h"
#include "live_phones.h"

#include "counter/pseudo_terminal.h"
#include "live/qt/live_server.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/live_results.h"
#include "shell/qt/main_window.h"
#include "storage/event_files.h"
#include "storage/ui_context.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <thread>

using namespace cronovolta;
using namespace cronovolta::bench;

namespace {

using SteadyClock = std::chrono::steady_clock;

double g_cpuWithoutClients = -1;

void BM_LiveResultsClients(benchmark::State& state) {
    const int clients = static_cast<int>(state.range(0));
    constexpr double kSeconds = 15.0;
    double sent = 0, stored = 0, longestGap = 0, uiCpu = 0, serverCpu = 0;
    double versions = 0, missing = 0, skipped = 0;
    std::vector<double> latencies;
    for (auto _ : state) {
        BenchProgram program;
        const fs::path& dir = program.dir;
        MainWindow& window = *program.window;
        HeatSession& session = *program.session;
        std::vector<PseudoTerminal>& ports = program.ports;
        LiveResults live(window, session, live::ServeAddress{"127.0.0.1", 0});
        live.server().setClientShare(live::kMaxConnections); // every phone is 127.0.0.1 here
        // Publishing costs the program's thread: timed on that thread at each version.
        std::map<long long, SteadyClock::time_point> publishedAt;
        QObject::connect(&live.server(), &live::LiveServer::published,
                         [&](qint64 v) { publishedAt[v] = SteadyClock::now(); });
        QThread phoneThread;
        Phones phones;
        phones.moveToThread(&phoneThread);
        phoneThread.start();
        const QUrl url(QStringLiteral("ws://127.0.0.1:%1/ws").arg(live.server().port()));
        QMetaObject::invokeMethod(&phones, [&] { phones.open(clients, url); });
        runEventLoop([&] { return live.server().clientCount() >= clients; });

        session.openProgramme(ProgrammeType::Race);
        session.heatKey('S');
        const double cpuAtStart = threadCpuMs();
        const long long firstVersion = live.server().version();
        const int frames = static_cast<int>(kSeconds * kLineBytesPerSecond / 42.0);
        const std::string stream = counterStream(frames);
        std::atomic<bool> done = false;
        std::thread counters([&] {
            const auto start = SteadyClock::now();
            std::vector<std::size_t> position(kCircuits, 0);
            for (bool finished = false; !finished;) {
                const double elapsed =
                    std::chrono::duration<double>(SteadyClock::now() - start).count();
                const auto due = std::min(stream.size(),
                                          static_cast<std::size_t>(elapsed * kLineBytesPerSecond));
                finished = true;
                for (std::size_t c = 0; c < kCircuits; ++c) {
                    if (position[c] < due) {
                        auto n = ports[c].write(
                            std::string_view(stream).substr(position[c], due - position[c]));
                        position[c] += n ? *n : 0;
                    }
                    finished = finished && position[c] >= stream.size();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            done = true;
        });
        runEventLoop([&] { return done.load(); });
        counters.join();
        const fs::path journal = eventFolder(dir, 1) / "VLTAVLT.TMP";
        const std::size_t expected = static_cast<std::size_t>(frames) * kCircuits;
        QElapsedTimer drain;
        drain.start();
        runEventLoop(
            [&] { return drain.elapsed() > 10000 || journaledCrossings(journal) >= expected; });
        // Let the last changes reach the phones.
        QElapsedTimer settle;
        settle.start();
        runEventLoop([&] { return settle.elapsed() > 1000; });
        uiCpu = threadCpuMs() - cpuAtStart;
        sent = static_cast<double>(expected);
        stored = static_cast<double>(journaledCrossings(journal));
        longestGap = session.longestSyncGapMs();
        skipped = static_cast<double>(live.server().changesSkipped());
        const long long lastVersion = live.server().version();
        versions = static_cast<double>(lastVersion - firstVersion);
        QMetaObject::invokeMethod(
            &phones, [&] { phones.close(); }, Qt::BlockingQueuedConnection);
        phoneThread.quit();
        phoneThread.wait();
        // Every client must hold every version after the first it saw, each change within
        // its own time.
        std::vector<std::set<long long>> seen(static_cast<std::size_t>(clients));
        for (const auto& a : phones.arrivals) {
            if (a.version > firstVersion && publishedAt.contains(a.version)) {
                latencies.push_back(
                    std::chrono::duration<double, std::milli>(a.at - publishedAt[a.version])
                        .count());
            }
            seen[static_cast<std::size_t>(a.client)].insert(a.version);
        }
        missing = 0;
        for (const auto& s : seen) {
            for (long long v = firstVersion + 1; v <= lastVersion; ++v) {
                missing += s.contains(v) ? 0 : 1;
            }
        }
        session.heatKey('S');
        session.closeProgramme();
    }
    if (clients == 0) {
        g_cpuWithoutClients = uiCpu;
    } else if (g_cpuWithoutClients >= 0) {
        serverCpu = uiCpu - g_cpuWithoutClients;
    }
    state.counters["clients"] = clients;
    state.counters["crossings_sent"] = sent;
    state.counters["laps_lost"] = sent - stored;
    state.counters["longest_screen_gap_ms"] = longestGap;
    state.counters["versions_published"] = versions;
    state.counters["client_versions_missing"] = missing;
    state.counters["changes_skipped_as_behind"] = skipped;
    state.counters["delivery_p50_ms"] = percentile(latencies, 0.50);
    state.counters["delivery_p99_ms"] = percentile(latencies, 0.99);
    state.counters["delivery_max_ms"] = percentile(latencies, 1.0);
    state.counters["ui_thread_cpu_ms"] = uiCpu;
    state.counters["server_cpu_share_pct"] = serverCpu / (kSeconds * 10.0);
}

BENCHMARK(BM_LiveResultsClients)
    ->Arg(0)
    ->Arg(200)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

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
