// What the announcer adds to each crossing of a 64-lane race at full line rate: the lap,
// the sentences it raises and the queue kept short, with a voice taking one now and then.
#include "announce/announcer.h"

#include <benchmark/benchmark.h>

#include <random>

namespace cronovolta {
namespace {

constexpr int kLanes = 64;

void crossingsAtFullRate(benchmark::State& state) {
    AnnounceSettings settings;
    settings.heatSeconds = 300;
    Announcer announcer(settings);
    std::vector<std::string> names(kLanes + 1, "Anna Soler");
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> lapTime(4.0f, 9.0f);
    std::vector<int> laps(kLanes + 1, 0);
    double t = 0.0;
    announcer.heatStarted(1, true, names);
    for (auto _ : state) {
        int lane = 1 + static_cast<int>(rng() % kLanes);
        announcer.lap(lane, lapTime(rng), ++laps[static_cast<std::size_t>(lane)], t);
        t += 0.002;
        if (laps[static_cast<std::size_t>(lane)] % 64 == 0) {
            announcer.clock(t);
            benchmark::DoNotOptimize(announcer.next(t));
        }
        if (t > 290.0) {
            state.PauseTiming();
            t = 0.0;
            std::fill(laps.begin(), laps.end(), 0);
            announcer.heatStarted(1, true, names);
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(crossingsAtFullRate);

} // namespace
} // namespace cronovolta
