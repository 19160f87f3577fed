// The lap listing screen on a busy heat of a 64-lane track: opening it and narrowing it to
// one participant, each with its table model refreshed.

#include "output/qt/lap_listing_window.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "storage/program_settings.h"
#include "storage/ui_context.h"
#include "texts/qt/asker.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace cronovolta;

namespace {

class NoAsker final : public Asker {
public:
    bool yesNo(QWidget*, const QString&, const QString&, bool) override { return false; }
    bool okCancel(QWidget*, const QString&, const QString&) override { return false; }
    void message(QWidget*, const QString&, const QString&) override {}
};

// One heat of `crossings` crossings over 64 lanes in the race's lap file.
fs::path busyHeat(int crossings) {
    std::string pattern = (fs::temp_directory_path() / "cronovolta-bench-XXXXXX").string();
    const fs::path dir = ::mkdtemp(pattern.data());
    ParticipantList list;
    list.heatsDone = 1;
    for (int i = 1; i <= 64; ++i) {
        list.names.push_back("Pilot " + std::to_string(i));
    }
    writeParticipantList(dir / "CRS001.PAR", list);
    std::vector<LapRecord> laps;
    LapRecord header;
    header.crossingTime = 36000.0f;
    header.lapTime = 1.0f;
    header.laps = static_cast<std::int16_t>(crossings + 1);
    laps.push_back(header);
    for (int i = 0; i < crossings; ++i) {
        LapRecord r;
        r.lane = static_cast<std::int16_t>(i % 64 + 1);
        r.participant = r.lane;
        r.crossingTime = 0.1f * static_cast<float>(i);
        r.lapTime = 6.0f + static_cast<float>((i * 37) % 100) / 100.0f;
        r.laps = static_cast<std::int16_t>(i / 64 + 1);
        laps.push_back(r);
    }
    laps.push_back(header);
    writeLapFile(dir / "CRS001.VAV", laps);
    return dir;
}

void BM_LapListingScreen(benchmark::State& state) {
    const fs::path dir = busyHeat(static_cast<int>(state.range(0)));
    UiContext ui;
    ui.app.programConfig = defaultProgramSettings();
    NoAsker asker;
    LapListingSetup setup;
    setup.folder = dir;
    for (auto _ : state) {
        LapListingWindow screen(setup, QString(), ui, asker);
        screen.chooseSort(2);
        benchmark::DoNotOptimize(screen.rows().rowCount());
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LapListingScreen)->Arg(1000)->Arg(6400)->Unit(benchmark::kMillisecond);

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
