#include "counter/counter_decoder.h"

#include "counter/lectura_ds003.h"
#include "counter/lectura_ds030.h"
#include "counter/lectura_ds300.h"

#include <algorithm>

namespace cronovolta {

CounterSetup counterSetup(const ConfigPista& track, CounterModel model) {
    CounterSetup setup;
    setup.model = model;
    setup.trackLanes = std::clamp<int>(track.lanes, 0, MaxPistes);
    setup.minimumLap = track.minimumLap;
    int highest = track.highestLane();
    if (track.OrdreCanvi.empty()) {
        highest = track.lanes;
    }
    highest = std::min(highest, MaxPistes);
    for (std::size_t c = 0; c < track.circuits.size(); ++c) {
        LaneRange range;
        range.first = track.circuits[c].firstLane;
        range.last = c + 1 < track.circuits.size() ? track.circuits[c + 1].firstLane - 1 : highest;
        range.first = std::max(range.first, 1);
        range.last = std::min(range.last, MaxPistes);
        setup.circuits.push_back(range);
    }
    return setup;
}

std::unique_ptr<CounterDecoder> makeDecoder(const CounterSetup& setup, HeatControl& heat) {
    switch (setup.model) {
    case CounterModel::DS003:
        return std::make_unique<LecturaDS003>(setup, heat);
    case CounterModel::DS030:
        return std::make_unique<LecturaDS030>(setup, heat);
    case CounterModel::DS300:
    case CounterModel::DS300DS4port:
    case CounterModel::DS200:
        return std::make_unique<LecturaDS300>(setup, heat);
    }
    return std::make_unique<LecturaDS030>(setup, heat);
}

} // namespace cronovolta
