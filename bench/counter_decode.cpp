// Decoding speed of every counter model on a long recorded-like stream.
#include "counter/counter_decoder.h"
#include "counter/counter_encoder.h"
#include "counter/counter_simulator.h"

#include <benchmark/benchmark.h>

namespace cronovolta {
namespace {

// Heat control that only counts: the cost measured is the decoder's.
class CountingHeatControl final : public HeatControl {
public:
    std::size_t crossings = 0;
    bool running = false;
    bool paused = false;

    bool heatPanelShown() const override { return true; }
    bool heatRunning() const override { return running; }
    bool heatPaused() const override { return paused; }
    void setStartLight(StartLight) override {}
    void setRestartLight(RestartLight) override {}
    void startHeat(double) override { running = true; }
    void pauseHeat(double) override { paused = true; }
    void resumePausedHeat(double) override { paused = false; }
    void finishHeat(double) override { running = false; }
    void armHeatEnd(double) override {}
    void registerCrossing(int, float, double) override { ++crossings; }
    void registerCounterResult(int, int, float, double) override { ++crossings; }
};

TrackConfig sixtyFourLanes() {
    TrackConfig track;
    track.lanes = 64;
    track.circuits = {{1, 1}};
    track.laneChangeOrder.assign(1, 64);
    for (std::int16_t lane = 1; lane <= 64; ++lane) {
        track.laneChangeOrder.push_back(lane);
    }
    return track;
}

// About 2 MB of what the counter sends during long heats with eight cars.
std::string longStream(CounterModel model) {
    std::string stream;
    if (model == CounterModel::DS003) {
        std::vector<CounterResult> lanes(64, CounterResult{42, 71234});
        const std::string block = "DS003 result\r\n" + CounterEncoder::resultBlock(lanes);
        while (stream.size() < 2'000'000) {
            stream += block;
        }
        return stream;
    }
    SimulatorOptions options;
    options.model = model;
    options.cars = 8;
    options.lapTime = 3.0;
    options.heatLength = 1800.0;
    options.pauseLength = 20.0;
    while (stream.size() < 2'000'000) {
        for (const auto& chunk : planSimulation(options).chunks) {
            stream += chunk.bytes;
        }
        ++options.seed;
    }
    return stream;
}

void decode(benchmark::State& state, CounterModel model) {
    const std::string stream = longStream(model);
    const CounterSetup setup = counterSetup(sixtyFourLanes(), model);
    for (auto _ : state) {
        CountingHeatControl heat;
        auto decoder = makeDecoder(setup, heat);
        // Chunks of the size a 56000-baud port delivers per read.
        for (std::size_t at = 0; at < stream.size(); at += 64) {
            decoder->read(1, std::string_view(stream).substr(at, 64), 36000.0);
        }
        benchmark::DoNotOptimize(heat.crossings);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(stream.size()));
}

BENCHMARK_CAPTURE(decode, DS003, CounterModel::DS003)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, DS030, CounterModel::DS030)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, DS300, CounterModel::DS300)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, DS300_DS4port, CounterModel::DS300DS4port)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decode, DS200, CounterModel::DS200)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace cronovolta
