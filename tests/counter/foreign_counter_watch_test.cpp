#include "counter/counter_decoder.h"
#include "counter/counter_encoder.h"
#include "counter/decoder_test_support.h"
#include "counter/foreign_counter_watch.h"
#include "counter/recording_heat_control.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace cronovolta {
namespace {

// A few seconds of what a counter of this model sends during a heat: lights, start, laps
// on eight lanes (each report twice, as the frame counters repeat them), a pause; the DS003
// sends its result block.
std::string heatBytes(CounterModel model) {
    if (model == CounterModel::DS003) {
        std::vector<CounterResult> lanes(8, CounterResult{12, 123456});
        return CounterEncoder::resultBlock(lanes);
    }
    CounterEncoder encoder(model);
    std::string bytes = encoder.signal(CounterSignal::Red) + encoder.signal(CounterSignal::Green) +
                        encoder.signal(CounterSignal::Start);
    for (int i = 0; i < 40; ++i) {
        std::string lap = encoder.lap(i % 8 + 1, 40000 + i * 1237, i % 3);
        bytes += lap + (model == CounterModel::DS030 ? "" : lap);
    }
    return bytes + encoder.signal(CounterSignal::Pause) + encoder.signal(CounterSignal::Resume);
}

bool sameFamily(CounterModel a, CounterModel b) {
    auto frames = [](CounterModel m) {
        return m == CounterModel::DS300 || m == CounterModel::DS300DS4port ||
               m == CounterModel::DS200;
    };
    return a == b || (frames(a) && frames(b));
}

// Fed in small chunks over `seconds`; how many times the watch spoke up.
int told(ForeignCounterWatch& watch, const std::string& bytes, double seconds, double t0 = 36000) {
    int times = 0;
    const std::size_t chunk = 7;
    const std::size_t chunks = (bytes.size() + chunk - 1) / chunk;
    for (std::size_t i = 0; i < chunks; ++i) {
        double now = t0 + seconds * static_cast<double>(i) / static_cast<double>(chunks);
        times += watch.read(1, std::string_view(bytes).substr(i * chunk, chunk), now) ? 1 : 0;
    }
    return times;
}

const CounterModel kModels[] = {CounterModel::DS003, CounterModel::DS030, CounterModel::DS300,
                                CounterModel::DS300DS4port, CounterModel::DS200};

TEST(ForeignCounterWatch, SpeaksOnceWhenAnotherModelAnswersAndNeverForItsOwn) {
    for (CounterModel configured : kModels) {
        for (CounterModel sender : kModels) {
            SCOPED_TRACE(std::to_string(int(configured)) + " reading " +
                         std::to_string(int(sender)));
            ForeignCounterWatch watch(configured, 2);
            std::string stream;
            while (stream.size() < 3000) {
                stream += heatBytes(sender);
            }
            int times = told(watch, stream, 8.0);
            EXPECT_EQ(times, sameFamily(configured, sender) ? 0 : 1);
            // Once the port is opened again it may tell again.
            watch.reset(1);
            EXPECT_EQ(told(watch, stream, 8.0, 40000), times);
        }
    }
}

TEST(ForeignCounterWatch, NoiseIsForeignToEveryModelButAShortBurstIsNot) {
    std::mt19937 random(7);
    std::string noise;
    for (int i = 0; i < 4000; ++i) {
        noise.push_back(static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random)));
    }
    for (CounterModel model : kModels) {
        ForeignCounterWatch watch(model, 1);
        EXPECT_EQ(told(watch, noise.substr(0, 12), 10.0), 0);
        EXPECT_EQ(told(watch, noise, 6.0), 1) << int(model);
        // A circuit the track does not have is not watched.
        EXPECT_FALSE(watch.read(2, noise, 36100.0));
    }
}

} // namespace
} // namespace cronovolta

namespace cronovolta {
namespace {

// After a circuit's port was closed and reopened, each of its lanes' first counter time is
// passed on as untrusted, the next ones as they come; the other circuit is not touched.
TEST(ReopenedCircuit, FirstCounterTimeOfEachLaneIsUntrusted) {
    for (CounterModel model : {CounterModel::DS030, CounterModel::DS300, CounterModel::DS200}) {
        SCOPED_TRACE(int(model));
        test::RecordingHeatControl heat;
        auto decoder = makeDecoder(counterSetup(test::trackWith(16, {1, 9}), model), heat);
        CounterEncoder encoder(model);
        decoder->read(1, encoder.signal(CounterSignal::Start), 36000.0);
        ASSERT_TRUE(heat.running);
        auto lap = [&](int circuit, int lane, int time) {
            decoder->read(circuit, encoder.lap(lane, time), 36001.0);
        };
        lap(1, 1, 51234);
        lap(2, 1, 52222);
        decoder->resetCircuit(1);
        lap(1, 1, 3300); // timed from the counter's restart
        lap(1, 2, 4400);
        lap(2, 1, 53333);
        lap(1, 1, 55555);
        lap(1, 2, 56666);
        std::vector<float> times;
        for (const auto& c : heat.crossings) {
            times.push_back(c.counterTime);
        }
        const float u = kCounterTimeUntrusted;
        EXPECT_EQ(times, (std::vector<float>{5.1234f, 5.2222f, u, u, 5.3333f, 5.5555f, 5.6666f}));
    }
}

} // namespace
} // namespace cronovolta
