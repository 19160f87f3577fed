#pragma once

// What the benchmarks of a live heat share: a 64-lane track read by four DS300 counters at
// the full rate of their lines, and the event loop run as the program runs it.

#include "counter/counter_encoder.h"
#include "counter/pseudo_terminal.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/main_window.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "storage/program_settings.h"
#include "storage/track_config.h"
#include "storage/ui_context.h"
#include "texts/qt/asker.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <time.h>
#include <vector>

namespace cronovolta::bench {

inline double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

inline double percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(i, values.size() - 1)];
}

inline constexpr int kCircuits = 4;
inline constexpr int kLanesPerCircuit = 16;
inline constexpr double kLineBytesPerSecond = 56000.0 / 10.0; // 8N1: ten bits a byte

class NoAsker final : public Asker {
public:
    bool yesNo(QWidget*, const QString&, const QString&, bool) override { return false; }
    bool okCancel(QWidget*, const QString&, const QString&) override { return false; }
    void message(QWidget*, const QString&, const QString& text) override {
        qWarning("%s", qPrintable(text));
    }
};

inline fs::path makeDataFolder() {
    std::string pattern = (fs::temp_directory_path() / "cronovolta-bench-XXXXXX").string();
    const fs::path dir = ::mkdtemp(pattern.data());
    ProgramSettings settings = defaultProgramSettings();
    settings.counterModel = CounterModel::DS300DS4port;
    (void)saveProgramSettings(dir / "ZENTOR.CFG", settings);
    TrackConfig track = defaultTrackConfig();
    track.lanes = track.storedLanes = 64;
    track.laneChangeOrder.assign(1, 0);
    for (int lane = 1; lane <= 64; ++lane) {
        track.laneChangeOrder.push_back(static_cast<std::int16_t>(lane));
    }
    track.circuits.clear();
    for (int c = 0; c < kCircuits; ++c) {
        track.circuits.push_back({static_cast<std::int16_t>(c + 1),
                                  static_cast<std::int16_t>(1 + c * kLanesPerCircuit)});
    }
    deriveTrackConfig(track);
    (void)saveTrackConfig(dir / "PISTA.CFG", track);
    EventManager manager(dir);
    (void)manager.createEvent("Banc de proves", "07-12-2026");
    auto header = readEventHeader(eventFolder(dir, 1) / "PROVA.DAD");
    if (!header || header->header.seriesCounts[3] < 1) {
        (void)manager.addSeries(1, ProgrammeType::Race);
    }
    ParticipantList list;
    for (int i = 1; i <= 64; ++i) {
        list.names.push_back("Participant " + std::to_string(i));
    }
    (void)writeParticipantList(participantFile(eventFolder(dir, 1), ProgrammeType::Race, 1), list);
    return dir;
}

// One counter's bytes: lap reports of its sixteen lanes in turn, each frame sent twice as
// the counters do.
inline std::string counterStream(int frames) {
    CounterEncoder encoder(CounterModel::DS300DS4port, 1);
    std::string bytes;
    for (int i = 0; i < frames; ++i) {
        const int lane = i % kLanesPerCircuit + 1;
        const std::string frame = encoder.lap(lane, 40000 + (i * 37) % 9000);
        bytes += frame;
        bytes += frame;
    }
    return bytes;
}

inline std::size_t journaledCrossings(const fs::path& journal) {
    auto file = readLapFile(journal);
    std::size_t n = 0;
    if (file) {
        for (const LapRecord& r : file->records) {
            n += r.lane > 0 ? 1 : 0;
        }
    }
    return n;
}

// Runs the event loop, as the program does, until `until` holds (checked every 20 ms).
inline void runEventLoop(const std::function<bool()>& until) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (until()) {
            loop.quit();
        }
    });
    check.start(20);
    loop.exec();
}

inline void waitEvents(int milliseconds) {
    QElapsedTimer t;
    t.start();
    runEventLoop([&] { return t.elapsed() >= milliseconds; });
}

// The desktop program's main window and heat session on a fresh 64-lane data folder, the
// race series selected and each circuit's port a pseudo-terminal for a counter to write in.
struct BenchProgram {
    fs::path dir = makeDataFolder();
    UiContext ui;
    NoAsker asker;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<HeatSession> session;
    std::vector<PseudoTerminal> ports;

    BenchProgram() {
        ui.app.dataDir = dir;
        ui.app.programConfig = *loadProgramSettings(dir / "ZENTOR.CFG");
        window = std::make_unique<MainWindow>(ui, asker);
        window->resize(1920, 1080);
        window->show();
        window->loadCatalog();
        window->selectEvent(0);
        window->selectSeries(ProgrammeType::Race, 0);
        session = std::make_unique<HeatSession>(*window, ui, asker);
        for (int c = 1; c <= kCircuits; ++c) {
            ports.push_back(std::move(*PseudoTerminal::open()));
            session->setPortOverride(c, QString::fromStdString(ports.back().devicePath()));
        }
    }
    ~BenchProgram() {
        session.reset();
        window.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

} // namespace cronovolta::bench
