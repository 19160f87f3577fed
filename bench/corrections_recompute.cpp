// A correction of the first heat of a long race recomputes every heat; the lap listing of a
// busy heat loads, filters and sorts thousands of crossings.
#include "corrections/heat_recompute.h"
#include "output/lap_listing.h"
#include "storage/heat_result_record.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace cronovolta {
namespace {

constexpr int kLanes = 64;

struct Folder {
    fs::path path;
    Folder() {
        path = fs::temp_directory_path() / ("cronovolta-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// A race of `heats` heats on 64 lanes with 64 participants, every lane driven.
SeriesFiles writeRace(const fs::path& folder, int heats) {
    SeriesFiles s;
    s.eventDir = folder;
    s.programmeType = ProgrammeType::Race;
    s.track = defaultTrackConfig();
    for (int i = 1; i <= kLanes; ++i) {
        s.names.push_back("Pilot " + std::to_string(i));
    }
    s.heats = heats;
    std::vector<HeatResultRecord> records;
    std::vector<float> totals(kLanes + 1, 0.0f);
    for (int h = 1; h <= heats; ++h) {
        HeatResultRecord header;
        header.lane = static_cast<std::int16_t>(h);
        header.adjustments = kLanes;
        records.push_back(header);
        for (int p = 1; p <= kLanes; ++p) {
            HeatResultRecord r;
            r.participant = static_cast<std::int16_t>(p);
            r.lane = static_cast<std::int16_t>((p + h) % kLanes + 1);
            r.heatLaps = static_cast<float>(20 + (p * h) % 7);
            totals[static_cast<std::size_t>(p)] += r.heatLaps;
            r.seriesLaps = totals[static_cast<std::size_t>(p)];
            r.crossingTime = -(300.0f + static_cast<float>((p * 13 + h) % 50) / 10.0f);
            r.heatFastestLap = 6.0f + static_cast<float>((p * 7 + h * 3) % 100) / 100.0f;
            r.fastestLap = r.heatFastestLap;
            r.fastestLane = r.lane;
            records.push_back(r);
        }
    }
    writeHeatResultFile(s.file(".DAD"), records);
    return s;
}

void BM_RecomputeLongRace(benchmark::State& state) {
    Folder folder;
    const SeriesFiles series = writeRace(folder.path, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto rewritten = recomputeSeries(series, 1, {{1, 21.0f, 6.1f}});
        benchmark::DoNotOptimize(rewritten);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * kLanes);
}
BENCHMARK(BM_RecomputeLongRace)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

void BM_ListBusyHeat(benchmark::State& state) {
    Folder folder;
    ParticipantList list;
    list.heatsDone = 1;
    for (int i = 1; i <= kLanes; ++i) {
        list.names.push_back("Pilot " + std::to_string(i));
    }
    writeParticipantList(folder.path / "CRS001.PAR", list);
    const int crossings = static_cast<int>(state.range(0));
    std::vector<LapRecord> laps;
    LapRecord header;
    header.crossingTime = 36000.0f;
    header.lapTime = 1.0f;
    header.laps = static_cast<std::int16_t>(crossings + 1);
    laps.push_back(header);
    for (int i = 0; i < crossings; ++i) {
        LapRecord r;
        r.lane = static_cast<std::int16_t>(i % kLanes + 1);
        r.participant = r.lane;
        r.crossingTime = 0.1f * static_cast<float>(i);
        r.lapTime = 6.0f + static_cast<float>((i * 37) % 100) / 100.0f;
        r.laps = static_cast<std::int16_t>(i / kLanes + 1);
        laps.push_back(r);
    }
    laps.push_back(header);
    writeLapFile(folder.path / "CRS001.VAV", laps);
    LapListingSetup setup;
    setup.folder = folder.path;
    for (auto _ : state) {
        LapListing listing(setup);
        listing.load();
        listing.sortBy(2);
        listing.choose(LapListing::ParticipantSelector, 5);
        benchmark::DoNotOptimize(listing.visibleCount());
    }
    state.SetItemsProcessed(state.iterations() * crossings);
}
BENCHMARK(BM_ListBusyHeat)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace cronovolta
