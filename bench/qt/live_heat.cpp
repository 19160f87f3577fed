// Four lap counters of the DS300 family at the full rate of their lines on a 64-lane track,
// read by the desktop program's heat session with the lap-by-lap view and the standings
// window open: how many laps got through, how long the screens went without an update, and
// per crossing how long from its bytes' arrival on the port (and from the program's read of
// them) to the end of the frame that shows its lap. The second argument is how many phones
// follow the live-results page at the same time (WebSocket clients on a thread of their own).
//
// Figures of 7-8 Dec 2026, 2 cores shared with other builds (load average 11-12), 200 phones,
// runs of the old and the new program taken in turn (before: live server on the program's
// thread and screens at most every 16 ms; after: server on its own lower-priority thread,
// screens at most every 8 ms), laps lost 0 in all:
//   ambient load   before p50 15.1-15.2 ms, p99 109-170 ms, max 167-247 ms
//                  after  p50  6.7-8.4 ms,  p99  36-57 ms,  max  68-121 ms
//   plus two `yes` busy loops: after p50 5.7-22 ms, p99 95-800 ms (the phones, at the
//   lowest priority, got under a tenth of their messages); before crashed each time.
//   load average 2-3: 200 phones before p50 10.5 ms, p99 175 ms; after 5.2 ms, 162 ms;
//                     no phones  before p50 10.8 ms, p99 178 ms; after 5.2 ms, 162 ms.

#include "heat_bench_support.h"
#include "live_phones.h"

#include "counter/qt/serial_link.h"
#include "shell/qt/live_results.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <thread>

using namespace cronovolta;
using namespace cronovolta::bench;

namespace {

using SteadyClock = std::chrono::steady_clock;

double msSince(SteadyClock::time_point origin, SteadyClock::time_point t) {
    return std::chrono::duration<double, std::milli>(t - origin).count();
}

// The frames of the program's windows: a frame is the handling of a window's update
// request, from its first widget painted to the finished image. A lap is on screen at the
// end of the first frame that began after the screens were given it.
class FrameClock : public QApplication {
public:
    using QApplication::QApplication;

    struct Frame {
        SteadyClock::time_point start;
        SteadyClock::time_point end;
        double cpuMs = 0;
    };
    std::vector<Frame> frames;
    bool recording = false;

    bool notify(QObject* receiver, QEvent* event) override {
        if (!recording || event->type() != QEvent::UpdateRequest || !receiver->isWidgetType() ||
            !static_cast<QWidget*>(receiver)->isWindow()) {
            return QApplication::notify(receiver, event);
        }
        const auto start = SteadyClock::now();
        const double cpu = threadCpuMs();
        const bool handled = QApplication::notify(receiver, event);
        frames.push_back({start, SteadyClock::now(), threadCpuMs() - cpu});
        return handled;
    }
};

double loadAverage() {
    double load[1] = {0};
    return ::getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

void BM_LiveHeat64Lanes(benchmark::State& state) {
    const double seconds = static_cast<double>(state.range(0));
    const int clients = static_cast<int>(state.range(1));
    double sent = 0;
    double stored = 0;
    double longestGap = 0;
    double syncs = 0;
    double achievedRate = 0;
    std::vector<double> latencies; // from the bytes on the port
    std::vector<double> fromRead;  // from the program's read of them
    double notShown = 0;
    double repaintCpu = 0;
    double uiCpu = 0;
    double loadBefore = 0;
    double loadAfter = 0;
    double phonesHeard = 0;
    auto& frameClock = static_cast<FrameClock&>(*qApp);
    for (auto _ : state) {
        BenchProgram program;
        const fs::path& dir = program.dir;
        HeatSession& session = *program.session;
        std::vector<PseudoTerminal>& ports = program.ports;
        std::optional<LiveResults> live;
        QThread phoneThread;
        Phones phones;
        if (clients > 0) {
            live.emplace(*program.window, session, live::ServeAddress{"127.0.0.1", 0});
            live->server().setClientShare(live::kMaxConnections); // every phone is 127.0.0.1
            phones.moveToThread(&phoneThread);
            phoneThread.start();
            const QUrl url(QStringLiteral("ws://127.0.0.1:%1/ws").arg(live->server().port()));
            QMetaObject::invokeMethod(&phones, [&] { phones.open(clients, url); });
            runEventLoop([&] { return live->server().clientCount() >= clients; });
        }
        session.openProgramme(ProgrammeType::Race);
        session.heatKey('S');
        loadBefore = loadAverage();
        frameClock.frames.clear();
        frameClock.recording = true;
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
        // Per circuit: the end of each chunk the program read and when it read it.
        std::vector<std::vector<std::pair<std::size_t, SteadyClock::time_point>>> reads(kCircuits);
        QObject::connect(session.link(), &SerialLink::bytesReceived,
                         [&](int circuit, const QByteArray& bytes) {
                             auto& r = reads[static_cast<std::size_t>(circuit - 1)];
                             const std::size_t end = (r.empty() ? 0 : r.back().first) +
                                                     static_cast<std::size_t>(bytes.size());
                             r.emplace_back(end, SteadyClock::now());
                         });

        const int reports = static_cast<int>(seconds * kLineBytesPerSecond / 42.0);
        const std::string stream = counterStream(reports);
        std::atomic<bool> done = false;
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
        const std::size_t expected = static_cast<std::size_t>(reports) * kCircuits;
        QElapsedTimer drain;
        drain.start();
        while (journaledCrossings(journal) < expected && drain.elapsed() < 10000) {
            waitEvents(100);
        }
        waitEvents(200); // the last laps stored reach the screens
        frameClock.recording = false;
        loadAfter = loadAverage();
        uiCpu = threadCpuMs() - cpuAtStart;
        const auto& shownFrames = frameClock.frames;
        repaintCpu = 0;
        for (const auto& f : shownFrames) {
            repaintCpu += f.cpuMs;
        }
        // Crossing n of a circuit is its n-th frame, whose first copy, the one decoded,
        // ends at byte 42n + 20.
        for (int c = 0; c < kCircuits; ++c) {
            const auto& w = writes[static_cast<std::size_t>(c)];
            const auto& r = reads[static_cast<std::size_t>(c)];
            std::size_t wi = 0;
            std::size_t ri = 0;
            std::size_t si = 0;
            std::size_t fi = 0;
            for (std::size_t n = 0; n < static_cast<std::size_t>(reports); ++n) {
                const std::size_t last = 42 * n + 20;
                while (wi < w.size() && w[wi].first <= last) {
                    ++wi;
                }
                while (ri < r.size() && r[ri].first <= last) {
                    ++ri;
                }
                while (si < screenSyncs.size() &&
                       screenSyncs[si].crossings[static_cast<std::size_t>(c)] <= n) {
                    ++si;
                }
                if (wi >= w.size() || ri >= r.size() || si >= screenSyncs.size()) {
                    notShown += static_cast<double>(static_cast<std::size_t>(reports) - n);
                    break;
                }
                while (fi < shownFrames.size() && shownFrames[fi].start < screenSyncs[si].at) {
                    ++fi;
                }
                if (fi >= shownFrames.size()) {
                    notShown += static_cast<double>(static_cast<std::size_t>(reports) - n);
                    break;
                }
                latencies.push_back(msSince(w[wi].second, shownFrames[fi].end));
                fromRead.push_back(msSince(r[ri].second, shownFrames[fi].end));
            }
        }
        sent = static_cast<double>(expected);
        stored = static_cast<double>(journaledCrossings(journal));
        longestGap = session.longestSyncGapMs();
        syncs = session.screenSyncs();
        session.heatKey('S');
        waitEvents(100);
        if (clients > 0) {
            phonesHeard = static_cast<double>(phones.arrivals.size());
            QMetaObject::invokeMethod(
                &phones, [&] { phones.close(); }, Qt::BlockingQueuedConnection);
            phoneThread.quit();
            phoneThread.wait();
        }
        session.closeProgramme();
    }
    state.counters["clients"] = clients;
    state.counters["messages_to_phones"] = phonesHeard;
    state.counters["crossings_sent"] = sent;
    state.counters["laps_lost"] = sent - stored;
    state.counters["crossings_per_s"] = sent / seconds;
    state.counters["line_bytes_per_s"] = achievedRate;
    state.counters["longest_screen_gap_ms"] = longestGap;
    state.counters["screen_updates"] = syncs;
    state.counters["lap_on_screen_p50_ms"] = percentile(latencies, 0.50);
    state.counters["lap_on_screen_p99_ms"] = percentile(latencies, 0.99);
    state.counters["lap_on_screen_max_ms"] = percentile(latencies, 1.0);
    state.counters["laps_not_shown"] = notShown;
    state.counters["read_to_screen_p50_ms"] = percentile(fromRead, 0.50);
    state.counters["read_to_screen_p99_ms"] = percentile(fromRead, 0.99);
    state.counters["read_to_screen_max_ms"] = percentile(fromRead, 1.0);
    state.counters["screen_frames"] = static_cast<double>(frameClock.frames.size());
    state.counters["load_avg_before"] = loadBefore;
    state.counters["load_avg_after"] = loadAfter;
    state.counters["ui_thread_cpu_ms"] = uiCpu;
    state.counters["repaint_cpu_ms"] = repaintCpu;
}

BENCHMARK(BM_LiveHeat64Lanes)
    ->Args({20, 0})
    ->Args({20, 200})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    FrameClock app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
