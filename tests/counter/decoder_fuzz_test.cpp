// Random and mutated byte streams against every decoder: whatever arrives, a decoder must
// not crash, must stay inside the lanes of the circuit that received the bytes, and must
// only register crossings while the heat panel is shown and a heat runs.
#include "counter/counter_model.h"
#include "counter/counter_simulator.h"
#include "counter/decoder_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace cronovolta::test {
namespace {

constexpr int kStreamsPerKind = 3000;

// Bytes that mean something to some decoder, so random streams reach deep states often.
constexpr std::uint8_t kTelling[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0xA0,
                                     0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xB3, 0xE0,
                                     0xEB, 0x00, 0x12, 0x59, 0x99, '0',  '9',  ' '};

std::string randomStream(std::mt19937& random) {
    std::uniform_int_distribution<int> length(0, 300);
    std::uniform_int_distribution<int> coin(0, 2);
    std::uniform_int_distribution<int> any(0, 255);
    std::uniform_int_distribution<std::size_t> telling(0, std::size(kTelling) - 1);
    std::string out(static_cast<std::size_t>(length(random)), '\0');
    for (char& c : out) {
        c = static_cast<char>(coin(random) == 0 ? any(random) : kTelling[telling(random)]);
    }
    return out;
}

std::string mutate(std::string stream, std::mt19937& random) {
    std::uniform_int_distribution<int> edits(1, 8);
    for (int n = edits(random); n > 0 && !stream.empty(); --n) {
        std::uniform_int_distribution<std::size_t> at(0, stream.size() - 1);
        const std::size_t i = at(random);
        switch (std::uniform_int_distribution<int>(0, 4)(random)) {
        case 0:
            stream[i] = static_cast<char>(stream[i] ^ (1 << (i % 8)));
            break;
        case 1:
            stream.erase(i, std::min<std::size_t>(stream.size() - i, 1 + i % 5));
            break;
        case 2:
            stream.insert(i, 1, static_cast<char>(kTelling[i % std::size(kTelling)]));
            break;
        case 3:
            stream.insert(i, stream.substr(i, 30));
            break;
        default:
            stream.resize(i);
            break;
        }
    }
    return stream;
}

// A long valid stream of the model, to be mutated.
std::string validStream(CounterModel model, std::uint32_t seed) {
    SimulatorOptions options;
    options.model = model;
    options.lanes = 8;
    options.cars = 8;
    options.firstLane = 1;
    options.heats = 2;
    options.heatLength = 30.0;
    options.pauseLength = 5.0;
    options.lapTime = 4.0;
    options.seed = seed;
    std::string out;
    for (const auto& chunk : planSimulation(options).chunks) {
        out += chunk.bytes;
    }
    return out;
}

class Fuzz : public ::testing::TestWithParam<CounterModel> {
protected:
    // Feeds the stream in random pieces to random circuits, with the panel and the heat
    // state changing in between as an operator would change them.
    void play(const std::string& stream, std::mt19937& random) {
        const TrackConfig track = trackWith(16, {1, 6});
        const CounterSetup setup = counterSetup(track, GetParam());
        RecordingHeatControl heat;
        auto decoder = makeDecoder(setup, heat);
        std::uniform_int_distribution<std::size_t> piece(1, 40);
        std::uniform_int_distribution<int> circuit(0, 3); // 0 and 3 are no circuits
        std::uniform_int_distribution<int> event(0, 19);
        double now = 36000.0;
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t n = std::min(piece(random), stream.size() - at);
            const int c = circuit(random);
            const std::size_t before = heat.crossings.size();
            const std::size_t resultsBefore = heat.results.size();
            decoder->read(c, std::string_view(stream).substr(at, n), now);
            checkNew(heat, setup, c, before, resultsBefore);
            at += n;
            now += 0.05;
            switch (event(random)) {
            case 0:
                heat.panelShown = !heat.panelShown;
                if (!heat.panelShown) {
                    heat.running = heat.paused = false; // closing the programme ends all
                }
                break;
            case 1:
                if (heat.running) {
                    heat.finishHeat(now); // the S key
                }
                break;
            default:
                if (heat.running && heat.deadline > 0 && now > heat.deadline) {
                    heat.finishHeat(now);
                }
                break;
            }
        }
        ASSERT_TRUE(heat.misuse.empty()) << heat.misuse.front();
        m_registered += heat.crossings.size() + heat.results.size();
    }

    std::size_t m_registered = 0;

    static void checkNew(const RecordingHeatControl& heat, const CounterSetup& setup, int circuit,
                         std::size_t before, std::size_t resultsBefore) {
        if (heat.crossings.size() > before || heat.results.size() > resultsBefore) {
            ASSERT_TRUE(circuit == 1 || circuit == 2) << "registered from no circuit";
        }
        for (std::size_t i = before; i < heat.crossings.size(); ++i) {
            const auto& crossing = heat.crossings[i];
            const LaneRange range = setup.circuits[static_cast<std::size_t>(circuit - 1)];
            ASSERT_TRUE(range.contains(crossing.lane))
                << "lane " << crossing.lane << " on circuit " << circuit;
            ASSERT_TRUE(crossing.counterTime >= 0.0f && crossing.counterTime < 6000.0f);
        }
        for (std::size_t i = resultsBefore; i < heat.results.size(); ++i) {
            const auto& result = heat.results[i];
            ASSERT_TRUE(result.lane >= 1 && result.lane <= setup.trackLanes);
            ASSERT_TRUE(result.laps >= 0 && result.laps <= 9999);
            ASSERT_TRUE(std::isfinite(result.fastestLap) && result.fastestLap > 0.0f);
        }
    }
};

TEST_P(Fuzz, RandomStreams) {
    std::mt19937 random(1234 + static_cast<int>(GetParam()));
    for (int i = 0; i < kStreamsPerKind; ++i) {
        play(randomStream(random), random);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST_P(Fuzz, MutatedCounterStreams) {
    std::mt19937 random(99 + static_cast<int>(GetParam()));
    std::vector<std::string> originals;
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        originals.push_back(validStream(GetParam(), seed));
    }
    for (int i = 0; i < kStreamsPerKind; ++i) {
        const std::string& original = originals[static_cast<std::size_t>(i) % originals.size()];
        play(mutate(original, random), random);
        if (HasFatalFailure()) {
            return;
        }
    }
    EXPECT_GT(m_registered, 1000u); // the mutants still reach the registration
}

// With the panel shown throughout, where the stream is cut never changes what it means.
TEST_P(Fuzz, SplitsDoNotChangeTheMeaning) {
    std::mt19937 random(7 + static_cast<int>(GetParam()));
    const std::string original = validStream(GetParam(), 3);
    for (int i = 0; i < 300; ++i) {
        const std::string stream = mutate(original, random);
        DecoderRig whole{GetParam(), trackWith(8, {1})};
        whole.feed(1, stream);
        DecoderRig pieces{GetParam(), trackWith(8, {1})};
        std::uniform_int_distribution<std::size_t> piece(0, 25);
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t n = std::min(piece(random), stream.size() - at);
            pieces.feed(1, stream.substr(at, n));
            at += n;
        }
        ASSERT_EQ(whole.heat.calls, pieces.heat.calls);
    }
}

INSTANTIATE_TEST_SUITE_P(AllModels, Fuzz,
                         ::testing::Values(CounterModel::DS003, CounterModel::DS030,
                                           CounterModel::DS300, CounterModel::DS300DS4port,
                                           CounterModel::DS200),
                         [](const auto& info) {
                             std::string name(counterModelName(info.param));
                             std::erase_if(name, [](char c) { return !std::isalnum(c); });
                             return name;
                         });

} // namespace
} // namespace cronovolta::test
