#include "counter/counter_simulator.h"

#include "counter/counter_encoder.h"
#include "counter/counter_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace cronovolta {
namespace {

constexpr double kRedToGreen = 2.0;
constexpr double kGreenToStart = 1.0;
constexpr double kEndRepeat = 0.8;
constexpr int kEndSignals = 3;

std::int64_t tenThousandths(double seconds) {
    return std::llround(seconds * 10000.0);
}

// One heat being laid out: racing time (pauses excluded) maps onto play time.
class HeatPlanner {
public:
    HeatPlanner(const SimulatorOptions& options, int heat, double begin, std::mt19937& random,
                CounterEncoder& encoder, SimulatedPlay& play)
        : m_options(options), m_heat(heat), m_random(random), m_encoder(encoder), m_play(play),
          m_start(begin + kRedToGreen + kGreenToStart),
          m_pauseAt(options.pauseLength > 0 ? options.heatLength / 2 : -1.0) {
        if (options.model != CounterModel::DS003) {
            send(begin, m_encoder.signal(CounterSignal::Red), "red light");
            send(begin + kRedToGreen, m_encoder.signal(CounterSignal::Green), "green light");
            send(m_start, m_encoder.signal(CounterSignal::Start), "start");
        }
    }

    // Returns the play time at which the heat is over.
    double run() {
        std::vector<CounterResult> results(static_cast<std::size_t>(
            m_options.model == CounterModel::DS003 ? m_options.firstLane - 1 + m_options.cars : 0));
        for (int car = 1; car <= m_options.cars; ++car) {
            CounterResult result = runCar(car);
            if (!results.empty()) {
                results[static_cast<std::size_t>(m_options.firstLane - 2 + car)] = result;
            }
        }
        if (m_pauseAt >= 0) {
            layPause();
        }
        const double end = playTime(m_options.heatLength);
        if (m_options.model == CounterModel::DS003) {
            send(end, CounterEncoder::resultBlock(results), "result block");
            for (std::size_t i = 0; i < results.size(); ++i) {
                m_play.results.push_back(
                    {m_heat, static_cast<int>(i) + 1, results[i].laps,
                     static_cast<float>(results[i].fastestTenThousandths / 10000.0)});
            }
            return end;
        }
        for (int i = 0; i < kEndSignals; ++i) {
            send(end + i * kEndRepeat, m_encoder.signal(CounterSignal::End), "end signal");
        }
        return end + (kEndSignals - 1) * kEndRepeat;
    }

private:
    double playTime(double racing) const {
        double t = m_start + racing;
        return m_pauseAt >= 0 && racing >= m_pauseAt ? t + m_options.pauseLength : t;
    }

    double nextLap() {
        std::normal_distribution<double> lap(m_options.lapTime, m_options.spread);
        double t = std::clamp(lap(m_random), m_options.lapTime * 0.7, m_options.lapTime * 1.5);
        // Now and then a car comes off and is put back on.
        if (std::uniform_int_distribution<int>(0, 29)(m_random) == 0) {
            t += std::uniform_real_distribution<double>(2.0, 6.0)(m_random);
        }
        return std::max(t, 0.5);
    }

    CounterResult runCar(int car) {
        CounterResult result;
        double at = std::uniform_real_distribution<double>(0.3, 1.5)(m_random);
        std::int64_t lapTime = tenThousandths(at);
        while (at < m_options.heatLength) {
            ++result.laps;
            if (result.laps > 1 &&
                (result.fastestTenThousandths == 0 || lapTime < result.fastestTenThousandths)) {
                result.fastestTenThousandths = static_cast<int>(lapTime);
            }
            if (m_options.model != CounterModel::DS003) {
                const int fillers = std::uniform_int_distribution<int>(0, 3)(m_random);
                char what[48];
                std::snprintf(what, sizeof what, "lane %d: %.4f", trackLane(car),
                              m_encoder.wireTime(lapTime) / 10000.0);
                send(playTime(at), m_encoder.lap(car, lapTime, fillers == 3 ? 2 : 0), what);
                m_play.crossings.push_back(
                    {playTime(at), m_heat, trackLane(car),
                     static_cast<float>(m_encoder.wireTime(lapTime) / 10000.0)});
            }
            const double lap = nextLap();
            lapTime = tenThousandths(lap);
            at += lap;
        }
        return result;
    }

    int trackLane(int car) const {
        int lane = m_options.firstLane + car - 1;
        if (m_options.model == CounterModel::DS300DS4port) {
            lane += (m_options.box - 1) * 8;
        }
        return lane;
    }

    void layPause() {
        const double at = m_start + m_pauseAt;
        const double resume = at + m_options.pauseLength;
        send(at, m_encoder.signal(CounterSignal::Pause), "pause");
        if (sendsFrames(m_options.model) && m_options.pauseLength > 2.0) {
            send(resume - 2.0, m_encoder.signal(CounterSignal::RestartRed), "restart red");
            send(resume - 1.0, m_encoder.signal(CounterSignal::RestartGreen), "restart green");
        }
        send(resume, m_encoder.signal(CounterSignal::Resume), "resume");
    }

    void send(double at, std::string bytes, std::string_view what) {
        if (bytes.empty()) {
            return;
        }
        if (sendsFrames(m_options.model)) {
            bytes += bytes;
        }
        m_play.chunks.push_back(
            {at, std::move(bytes), "heat " + std::to_string(m_heat) + ", " + std::string(what)});
    }

    const SimulatorOptions& m_options;
    int m_heat;
    std::mt19937& m_random;
    CounterEncoder& m_encoder;
    SimulatedPlay& m_play;
    double m_start;
    double m_pauseAt;
};

} // namespace

std::expected<void, std::string> validateSimulatorOptions(const SimulatorOptions& o) {
    const int maxLanes = o.model == CounterModel::DS300DS4port ? 64 : 8;
    if (o.lanes < 1 || o.lanes > maxLanes) {
        return std::unexpected("--lanes must be 1.." + std::to_string(maxLanes));
    }
    if (o.firstLane < 1 || o.firstLane > 64) {
        return std::unexpected("--first-lane must be 1..64");
    }
    if (o.box < 1 || o.box > 8) {
        return std::unexpected("--box must be 1..8");
    }
    if (o.cars < 1 || o.cars > o.lanes) {
        return std::unexpected("--cars must be 1..lanes");
    }
    const int boxLanes = o.model == CounterModel::DS300DS4port ? (o.box - 1) * 8 : 0;
    if (o.firstLane - 1 + boxLanes + o.lanes > 64) {
        return std::unexpected("the counter's lanes would go beyond track lane 64");
    }
    if (!(o.lapTime >= 1.0 && o.lapTime <= 90.0)) {
        return std::unexpected("--lap-time must be 1..90 seconds");
    }
    if (!(o.spread >= 0.0 && o.spread <= o.lapTime / 2)) {
        return std::unexpected("--spread must be 0..half the lap time");
    }
    if (o.heats < 1 || o.heats > 1000) {
        return std::unexpected("--heats must be 1..1000");
    }
    if (!(o.heatLength >= 1.0 && o.heatLength <= 86400.0)) {
        return std::unexpected("--heat-length must be 1..86400 seconds");
    }
    if (!(o.pauseLength >= 0.0 && o.pauseLength <= 3600.0)) {
        return std::unexpected("--pause must be 0..3600 seconds");
    }
    if (!(o.heatGap >= 0.0 && o.heatGap <= 3600.0)) {
        return std::unexpected("--gap must be 0..3600 seconds");
    }
    return {};
}

SimulatedPlay planSimulation(const SimulatorOptions& options) {
    SimulatedPlay play;
    std::mt19937 random(options.seed);
    CounterEncoder encoder(options.model, options.box);
    double begin = 0.0;
    for (int heat = 1; heat <= options.heats; ++heat) {
        HeatPlanner planner(options, heat, begin, random, encoder, play);
        begin = planner.run() + options.heatGap;
    }
    // Both sorted the same way, so that the crossings come in the order of their bytes.
    auto earlier = [](const auto& a, const auto& b) { return a.at < b.at; };
    std::stable_sort(play.chunks.begin(), play.chunks.end(), earlier);
    std::stable_sort(play.crossings.begin(), play.crossings.end(), earlier);
    play.length = play.chunks.empty() ? 0.0 : play.chunks.back().at;
    return play;
}

} // namespace cronovolta
