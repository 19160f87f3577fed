#pragma once

// Drives a counter decoder with a fuzzed byte stream. The first byte picks the track (lane
// count, circuits, model variant), the rest is what arrives on the ports.
#include "counter/counter_decoder.h"
#include "counter/decoder_test_support.h"
#include "fuzz_check.h"

#include <cmath>
#include <functional>
#include <random>

namespace cronovolta::fuzz {

struct StreamSetup {
    TrackConfig track;
    std::minstd_rand random;
    std::string_view stream;
};

inline StreamSetup streamSetup(std::string_view data) {
    const auto mode = data.empty() ? 0u : static_cast<unsigned>(static_cast<std::uint8_t>(data[0]));
    constexpr int kLanes[] = {8, 1, 2, 3, 4, 5, 6, 10, 12, 16, 20, 24, 32, 40, 48, kMaxLanes};
    const int lanes = kLanes[mode % 16];
    const int circuits = 1 + static_cast<int>(mode / 16 % 4);
    std::vector<int> firstLanes;
    for (int c = 0; c < circuits; ++c) {
        firstLanes.push_back(1 + c * lanes / circuits);
    }
    StreamSetup setup{test::trackWith(lanes, {}), std::minstd_rand(), {}};
    setup.track.circuits.clear();
    for (int c = 0; c < circuits; ++c) {
        setup.track.circuits.push_back(
            {static_cast<std::int16_t>(c + 1), static_cast<std::int16_t>(firstLanes[c])});
    }
    setup.stream = data.empty() ? data : data.substr(1);
    setup.random.seed(static_cast<std::uint32_t>(std::hash<std::string_view>()(data)));
    return setup;
}

// What a decoder must never do, whatever arrives: register a lane outside the circuit
// that received the bytes, a time no counter can send (a reopened port's first time of a
// lane is passed on as untrusted), or anything while no heat runs.
inline void checkNewCalls(const test::RecordingHeatControl& heat, const CounterSetup& setup,
                          int circuit, std::size_t crossingsBefore, std::size_t resultsBefore) {
    if (heat.crossings.size() > crossingsBefore || heat.results.size() > resultsBefore) {
        FUZZ_CHECK(circuit >= 1 && circuit <= static_cast<int>(setup.circuits.size()));
    }
    for (std::size_t i = crossingsBefore; i < heat.crossings.size(); ++i) {
        const auto& crossing = heat.crossings[i];
        FUZZ_CHECK(setup.circuits[static_cast<std::size_t>(circuit - 1)].contains(crossing.lane));
        FUZZ_CHECK(crossing.counterTime == kCounterTimeUntrusted ||
                   (crossing.counterTime >= 0.0f && crossing.counterTime < 6000.0f));
    }
    for (std::size_t i = resultsBefore; i < heat.results.size(); ++i) {
        const auto& result = heat.results[i];
        FUZZ_CHECK(result.lane >= 1 && result.lane <= setup.trackLanes);
        FUZZ_CHECK(result.laps >= 0 && result.laps <= 9999);
        FUZZ_CHECK(std::isfinite(result.fastestLap) && result.fastestLap > 0.0f);
    }
    FUZZ_CHECK(heat.misuse.empty());
}

// Bytes in random pieces to random circuits (0 and the one past the last are none), with
// the heat panel closed, the heat ended by key and by its deadline in between.
inline void playChaotic(StreamSetup& s, CounterModel model) {
    const CounterSetup setup = counterSetup(s.track, model);
    test::RecordingHeatControl heat;
    auto decoder = makeDecoder(setup, heat);
    const int circuits = static_cast<int>(setup.circuits.size());
    double now = 36000.0;
    for (std::size_t at = 0; at < s.stream.size();) {
        const std::size_t n = std::min<std::size_t>(1 + s.random() % 40, s.stream.size() - at);
        const int circuit = static_cast<int>(s.random() % static_cast<unsigned>(circuits + 2));
        const std::size_t crossings = heat.crossings.size();
        const std::size_t results = heat.results.size();
        decoder->read(circuit, s.stream.substr(at, n), now);
        checkNewCalls(heat, setup, circuit, crossings, results);
        at += n;
        now += 0.05;
        switch (s.random() % 20) {
        case 0:
            heat.panelShown = !heat.panelShown;
            if (!heat.panelShown) {
                heat.running = heat.paused = false;
            }
            break;
        case 1:
            if (heat.running) {
                heat.finishHeat(now);
            }
            break;
        case 2:
            decoder->resetCircuit(circuit);
            break;
        default:
            if (heat.running && heat.deadline > 0 && now > heat.deadline) {
                heat.finishHeat(now);
            }
            break;
        }
    }
}

// Where the stream is cut never changes what it means.
inline void checkSplits(StreamSetup& s, CounterModel model) {
    const CounterSetup setup = counterSetup(s.track, model);
    test::RecordingHeatControl whole;
    makeDecoder(setup, whole)->read(1, s.stream, 1000.0);
    test::RecordingHeatControl pieces;
    auto decoder = makeDecoder(setup, pieces);
    for (std::size_t at = 0; at < s.stream.size();) {
        const std::size_t n = std::min<std::size_t>(s.random() % 26, s.stream.size() - at);
        decoder->read(1, s.stream.substr(at, n), 1000.0);
        at += n;
    }
    FUZZ_CHECK(whole.calls == pieces.calls);
}

inline void fuzzDecoder(std::string_view data, CounterModel model) {
    StreamSetup setup = streamSetup(data);
    playChaotic(setup, model);
    checkSplits(setup, model);
}

} // namespace cronovolta::fuzz
