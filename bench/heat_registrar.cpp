// Crossings of a 64-lane race with 99 participants through registerCrossing: the lap, the
// journal record and the standings update with its re-sort, ranks, gaps and colours.
#include "heat/heat_engine.h"
#include "storage/event_files.h"
#include "storage/participant_list.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace cronovolta {
namespace {

constexpr int kLanes = 64;
constexpr int kParticipants = 99;
constexpr int kCrossingsPerHeat = 20000;

struct RaceFolder {
    fs::path data;
    RaceFolder() {
        std::string pattern = (fs::temp_directory_path() / "heatbench-XXXXXX").string();
        data = ::mkdtemp(pattern.data());
        fs::path event = eventFolder(data, 1);
        fs::create_directories(event);
        TrackConfig track = defaultTrackConfig();
        track.lanes = kLanes;
        track.circuits = {{1, 1}, {2, 17}, {3, 33}, {4, 49}};
        deriveTrackConfig(track);
        (void)saveTrackConfig(event / "PISTA.CFG", track);
        ParticipantList list;
        for (int i = 1; i <= kParticipants; ++i) {
            list.names.push_back("Participant " + std::to_string(i));
        }
        (void)writeParticipantList(event / "CRS001.PAR", list);
    }
    ~RaceFolder() {
        std::error_code ec;
        fs::remove_all(data, ec);
    }
};

void BM_RegisterCrossing(benchmark::State& state) {
    RaceFolder folder;
    HeatEngine engine(defaultProgramSettings());
    if (!engine.openProgramme({folder.data, 1, ProgrammeType::Race, 1, 1, ""})) {
        state.SkipWithError("cannot open the race");
        return;
    }
    double now = 36000.0;
    engine.startHeat(now);
    int lane = 1;
    int crossings = 0;
    std::uint32_t jitter = 12345;
    for (auto _ : state) {
        jitter = jitter * 1664525u + 1013904223u;
        float lap = 8.0f + static_cast<float>(jitter >> 22) / 1024.0f;
        now += 8.0 / kLanes;
        engine.registerCrossing(lane, lap, now);
        lane = lane % kLanes + 1;
        if (++crossings == kCrossingsPerHeat) {
            // A new heat now and then keeps the lap lists at a heat's length.
            state.PauseTiming();
            engine.handleKey('S', now);
            engine.lapFractionEntryClosed();
            now += 60.0;
            engine.startHeat(now);
            crossings = 0;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["participants"] = engine.participantCount();
}
BENCHMARK(BM_RegisterCrossing)->MinTime(2.0);

} // namespace
} // namespace cronovolta
