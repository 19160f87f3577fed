#pragma once

#include "counter/counter_decoder.h"
#include "counter/recording_heat_control.h"

#include <initializer_list>
#include <memory>
#include <string>

namespace cronovolta::test {

// A track of `lanes` lanes in natural order whose circuits start at the given lanes.
inline TrackConfig trackWith(int lanes, std::initializer_list<int> firstLanes,
                             float minimumLap = 0.0f) {
    TrackConfig track;
    track.lanes = static_cast<std::int16_t>(lanes);
    track.minimumLap = minimumLap;
    track.circuits.clear();
    std::int16_t port = 1;
    for (int first : firstLanes) {
        track.circuits.push_back({port++, static_cast<std::int16_t>(first)});
    }
    track.laneChangeOrder.assign(1, static_cast<std::int16_t>(lanes));
    for (int lane = 1; lane <= lanes; ++lane) {
        track.laneChangeOrder.push_back(static_cast<std::int16_t>(lane));
    }
    return track;
}

inline std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

// A decoder of one model on a track, with the recording heat control behind it.
struct DecoderRig {
    RecordingHeatControl heat;
    std::unique_ptr<CounterDecoder> decoder;

    DecoderRig(CounterModel model, const TrackConfig& track)
        : decoder(makeDecoder(counterSetup(track, model), heat)) {}

    void feed(int circuit, const std::string& data, double now = 1000.0) {
        decoder->read(circuit, data, now);
    }
    void startRunning() {
        heat.running = true;
        heat.paused = false;
    }
};

} // namespace cronovolta::test
