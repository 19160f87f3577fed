#include "counter/counter_encoder.h"
#include "counter/counter_model.h"
#include "counter/counter_simulator.h"
#include "counter/decoder_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace cronovolta::test {
namespace {

using Crossing = RecordingHeatControl::Crossing;
using Result = RecordingHeatControl::Result;

// Plays the simulation into a decoder, chunk by chunk, with a heat control that starts and
// ends heats as the heat engine does (the end 2.5 s after the last end signal).
RecordingHeatControl decodePlay(const SimulatorOptions& options, const SimulatedPlay& play,
                                const TrackConfig& track) {
    RecordingHeatControl heat;
    auto decoder = makeDecoder(counterSetup(track, options.model), heat);
    for (const auto& chunk : play.chunks) {
        if (heat.running && heat.deadline > 0 && chunk.at > heat.deadline) {
            heat.finishHeat(heat.deadline);
        }
        decoder->read(1, chunk.bytes, chunk.at);
    }
    return heat;
}

SimulatorOptions optionsFor(CounterModel model) {
    SimulatorOptions options;
    options.model = model;
    options.cars = 6;
    options.lapTime = 6.5;
    options.spread = 0.8;
    options.heats = 3;
    options.heatLength = 90.0;
    options.pauseLength = 12.0;
    options.seed = 7;
    return options;
}

TEST(CounterSimulator, DecodersGetBackEveryCrossingAsSent) {
    for (auto model : {CounterModel::DS030, CounterModel::DS300, CounterModel::DS300DS4port,
                       CounterModel::DS200}) {
        SimulatorOptions options = optionsFor(model);
        options.firstLane = 3;
        options.box = 2;
        const auto play = planSimulation(options);
        const auto heat = decodePlay(options, play, trackWith(20, {3}));

        std::vector<Crossing> sent;
        for (const auto& crossing : play.crossings) {
            sent.push_back({crossing.lane, crossing.counterTime});
        }
        EXPECT_GT(sent.size(), 3u * 6u * 10u);
        EXPECT_EQ(heat.crossings, sent) << counterModelName(model);
        EXPECT_TRUE(heat.misuse.empty()) << counterModelName(model);

        int starts = 0, pauses = 0, resumes = 0;
        for (const auto& call : heat.calls) {
            starts += call == "start";
            pauses += call == "pause";
            resumes += call == "resume";
        }
        EXPECT_EQ(starts, 3);
        EXPECT_EQ(pauses, 3);
        EXPECT_EQ(resumes, 3);
    }
}

TEST(CounterSimulator, Ds003BlockCarriesLapsAndFastestLapFromTheFirstLane) {
    SimulatorOptions options = optionsFor(CounterModel::DS003);
    options.firstLane = 3;
    options.cars = 2;
    const auto play = planSimulation(options);
    const auto heat = decodePlay(options, play, trackWith(4, {1}));
    ASSERT_EQ(play.results.size(), 3u * 4u);
    ASSERT_EQ(heat.results.size(), 3u * 4u);
    for (std::size_t i = 0; i < play.results.size(); ++i) {
        const auto& sent = play.results[i];
        const auto& got = heat.results[i];
        EXPECT_EQ(got.lane, sent.lane);
        EXPECT_EQ(got.laps, sent.laps);
        if (sent.lane < 3) {
            EXPECT_EQ(sent.laps, 0);
            EXPECT_EQ(got.fastestLap, 99.9999f);
        } else {
            EXPECT_GT(sent.laps, 8);
            EXPECT_EQ(got.fastestLap, sent.fastestLap);
        }
    }
}

TEST(CounterSimulator, EndSignalIsRepeatedAndTheSameSeedPlaysTheSame) {
    const auto options = optionsFor(CounterModel::DS030);
    const auto play = planSimulation(options);
    const auto again = planSimulation(options);
    ASSERT_EQ(play.chunks.size(), again.chunks.size());
    for (std::size_t i = 0; i < play.chunks.size(); ++i) {
        EXPECT_EQ(play.chunks[i].bytes, again.chunks[i].bytes);
    }
    const auto heat = decodePlay(options, play, trackWith(8, {1}));
    int ends = 0;
    for (const auto& call : heat.calls) {
        ends += call == "arm end";
    }
    EXPECT_EQ(ends, 3 * 3);
}

TEST(CounterSimulator, OptionsOutOfRangeAreNamed) {
    SimulatorOptions options;
    EXPECT_TRUE(validateSimulatorOptions(options));
    options.lanes = 9;
    EXPECT_EQ(validateSimulatorOptions(options).error(), "--lanes must be 1..8");
    options.model = CounterModel::DS300DS4port;
    EXPECT_TRUE(validateSimulatorOptions(options));
    options.box = 8;
    EXPECT_FALSE(validateSimulatorOptions(options)); // beyond lane 64
    options = SimulatorOptions{};
    options.cars = 9;
    EXPECT_FALSE(validateSimulatorOptions(options));
    options = SimulatorOptions{};
    options.lapTime = std::nan("");
    EXPECT_FALSE(validateSimulatorOptions(options));
}

TEST(CounterEncoder, LapTimesBeyondTheCountersRangeWrap) {
    CounterEncoder ds030(CounterModel::DS030);
    EXPECT_EQ(ds030.lap(1, 1234567), bytes({128, 0x23, 0x45, 0x67}));
    EXPECT_EQ(ds030.wireTime(1234567), 234567);
    CounterEncoder ds300(CounterModel::DS300);
    EXPECT_EQ(ds300.wireTime(1234567), 1234567);
    EXPECT_EQ(CounterEncoder::resultBlock({{12, 123456}}), "\r\n\x02"
                                                           "0012123456 \x04");
}

} // namespace
} // namespace cronovolta::test
