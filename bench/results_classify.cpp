// Loading and ranking the classification of a whole race programme, and filtering it.
// Target: under 100 ms per load and rank of 99 participants and 600 heats, under 10 ms per
// filter change.
#include "results/results_source.h"
#include "storage/event_manager.h"
#include "storage/heat_result_record.h"
#include "storage/participant_list.h"
#include "storage/track_config.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

using namespace cronovolta;

namespace {

constexpr int kLanes = 8;
constexpr int kParticipants = 99;
constexpr int kHeats = 600;

void require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

// One series of `n` participants run over `heats` heats in a rolling order: in heat h the
// participants h .. h + lanes - 1 (wrapping) drive, one lane each.
void writeSeries(const fs::path& eventDir, int seriesNumber, int first, int n, int heats) {
    ParticipantList list;
    list.heatsDone = static_cast<std::int16_t>(heats);
    for (int p = 0; p < n; ++p) {
        list.names.push_back("Participant " + std::to_string(first + p));
    }
    require(writeParticipantList(participantFile(eventDir, ProgrammeType::Race, seriesNumber), list)
                .has_value(),
            "list");
    std::vector<float> laps(static_cast<std::size_t>(n) + 1, 0.0f);
    std::vector<HeatResultRecord> records;
    for (int h = 1; h <= heats; ++h) {
        HeatResultRecord header;
        header.lane = static_cast<std::int16_t>(h);
        header.adjustments = static_cast<std::int16_t>(n);
        records.push_back(header);
        for (int p = 1; p <= n; ++p) {
            HeatResultRecord r;
            r.participant = static_cast<std::int16_t>(p);
            const int seat = ((p - h) % n + n) % n;
            if (seat < kLanes) {
                const float heatLaps = 20.0f + static_cast<float>((p * 7 + h) % 5);
                laps[static_cast<std::size_t>(p)] += heatLaps;
                r.lane = static_cast<std::int16_t>(seat + 1);
                r.heatLaps = heatLaps;
                // Counter times with four decimals: hardly two rows share a value.
                r.heatFastestLap =
                    3.0f + static_cast<float>((p * 7919 + h * 104729) % 5000) / 10000.0f;
                r.crossingTime =
                    150.0f + static_cast<float>((p * 7919 + h * 131) % 30000) / 1000.0f;
                r.sortKey2 = r.crossingTime + static_cast<float>((p + h) % 7) / 100.0f;
            }
            r.seriesLaps = laps[static_cast<std::size_t>(p)];
            r.fastestLap = 3.0f + static_cast<float>(p % 50) / 100.0f;
            records.push_back(r);
        }
    }
    require(writeHeatResultFile(
                eventDir / seriesFileName(ProgrammeType::Race, seriesNumber, ".DAD"), records)
                .has_value(),
            "heats");
}

// A data folder with one event whose race programme splits the participants and heats
// over `seriesCount` series.
class RaceEvent {
public:
    explicit RaceEvent(int seriesCount) {
        m_dir = fs::temp_directory_path() / ("cronovolta-bench-" + std::to_string(::getpid()) +
                                             "-" + std::to_string(seriesCount));
        fs::create_directories(m_dir);
        TrackConfig track = defaultTrackConfig();
        track.lanes = kLanes;
        track.laneChangeOrder = {8, 1, 2, 3, 4, 5, 6, 7, 8};
        deriveTrackConfig(track);
        require(saveTrackConfig(m_dir / kTrackFileName, track).has_value(), "track");
        EventManager manager(m_dir);
        require(manager.createEvent("Bench", "01-01-2026").has_value(), "event");
        for (int s = 2; s <= seriesCount; ++s) {
            require(manager.addSeries(1, ProgrammeType::Race).has_value(), "series");
        }
        const int per = kParticipants / seriesCount;
        for (int s = 1; s <= seriesCount; ++s) {
            writeSeries(eventFolder(m_dir, 1), s, (s - 1) * per + 1, per, kHeats / seriesCount);
        }
        auto files = openEventFiles(m_dir, 1);
        require(files.has_value(), "open");
        m_files = *files;
    }
    ~RaceEvent() {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }
    const EventFiles& files() const { return m_files; }

private:
    fs::path m_dir;
    EventFiles m_files;
};

const RaceEvent& raceEvent(int seriesCount) {
    static RaceEvent one(1);
    static RaceEvent three(3);
    return seriesCount == 1 ? one : three;
}

void BM_LoadAndRank(benchmark::State& state) {
    const auto& event = raceEvent(static_cast<int>(state.range(0)));
    std::size_t rows = 0;
    for (auto _ : state) {
        auto problems = std::make_shared<std::vector<std::string>>();
        ResultsBrowser browser =
            makeResultsBrowser(event.files(), ProgrammeType::Race, 1, problems);
        browser.open(); // all series loaded, filtered and ranked
        rows = browser.list().rows().size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_LoadAndRank)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_FilterChange(benchmark::State& state) {
    const auto& event = raceEvent(static_cast<int>(state.range(0)));
    auto problems = std::make_shared<std::vector<std::string>>();
    ResultsBrowser browser = makeResultsBrowser(event.files(), ProgrammeType::Race, 1, problems);
    browser.open();
    browser.selectHeat(0); // every heat of everyone: the largest list to rank
    int step = 0;
    for (auto _ : state) {
        switch (step++ % 4) {
        case 0:
            browser.selectLane(1 + step % kLanes);
            break;
        case 1:
            browser.selectCriterion(1 + step % 4);
            break;
        case 2:
            browser.selectLane(0);
            break;
        default:
            browser.selectParticipant(step % 20);
            break;
        }
        benchmark::DoNotOptimize(browser.visibleRows().size());
    }
}
BENCHMARK(BM_FilterChange)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

} // namespace
