#include "counter/counter_decoder.h"

#include "counter/ds003_reader.h"
#include "counter/ds030_reader.h"
#include "counter/ds300_reader.h"

#include <algorithm>

namespace cronovolta {

CounterSetup counterSetup(const TrackConfig& track, CounterModel model) {
    CounterSetup setup;
    setup.model = model;
    setup.trackLanes = std::clamp<int>(track.lanes, 0, kMaxLanes);
    setup.minimumLap = track.minimumLap;
    int highest = track.highestLane();
    if (track.laneChangeOrder.empty()) {
        highest = track.lanes;
    }
    highest = std::min(highest, kMaxLanes);
    for (std::size_t c = 0; c < track.circuits.size(); ++c) {
        LaneRange range;
        range.first = track.circuits[c].firstLane;
        range.last = c + 1 < track.circuits.size() ? track.circuits[c + 1].firstLane - 1 : highest;
        range.first = std::max(range.first, 1);
        range.last = std::min(range.last, kMaxLanes);
        setup.circuits.push_back(range);
    }
    return setup;
}

std::unique_ptr<CounterDecoder> makeDecoder(const CounterSetup& setup, HeatControl& heat) {
    switch (setup.model) {
    case CounterModel::DS003:
        return std::make_unique<Ds003Reader>(setup, heat);
    case CounterModel::DS030:
        return std::make_unique<Ds030Reader>(setup, heat);
    case CounterModel::DS300:
    case CounterModel::DS300DS4port:
    case CounterModel::DS200:
        return std::make_unique<Ds300Reader>(setup, heat);
    }
    return std::make_unique<Ds030Reader>(setup, heat);
}

} // namespace cronovolta
