#pragma once

#include "counter/heat_control.h"
#include "storage/program_settings.h"
#include "storage/track_config.h"

#include <bitset>
#include <memory>
#include <string_view>
#include <vector>

namespace cronovolta {

// Track lanes one circuit reports; empty when last < first.
struct LaneRange {
    int first = 1;
    int last = 0;
    bool contains(int lane) const { return lane >= first && lane <= last; }
};

// What the decoders need of the configuration, fixed when the ports are (re)configured.
struct CounterSetup {
    CounterModel model = CounterModel::DS030;
    std::vector<LaneRange> circuits; // element 0 is circuit 1
    int trackLanes = 0;              // lanes of the track (DS003 result block)
    float minimumLap = 0.0f;         // DS003 fastest laps below it carry no valid time
};

// Circuit c runs from its first lane to the first lane of circuit c + 1 minus 1; the last
// circuit ends at the highest lane of the lane-change order.
CounterSetup counterSetup(const TrackConfig& track, CounterModel model);

// Lanes whose next counter time measures no lap, set for a circuit whose port was closed
// and reopened (see kCounterTimeUntrusted).
class UntrustedLanes {
public:
    void markAll() { m_lanes.set(); }
    // The time to pass on for this report of the lane.
    float take(int lane, float counterTime) {
        if (lane < 0 || lane > kMaxLanes || !m_lanes.test(static_cast<std::size_t>(lane))) {
            return counterTime;
        }
        m_lanes.reset(static_cast<std::size_t>(lane));
        return kCounterTimeUntrusted;
    }

private:
    std::bitset<kMaxLanes + 1> m_lanes;
};

// A lap counter's byte stream, decoded per circuit. Pushed any split of the stream, a
// decoder keeps its state between calls and never waits for more bytes.
class CounterDecoder {
public:
    virtual ~CounterDecoder() = default;
    // Bytes received on circuit 1..n at host time `now` (seconds since midnight). Bytes of
    // an unknown circuit are dropped.
    virtual void read(int circuit, std::string_view bytes, double now) = 0;
    // Forgets a half-received message of the circuit (its port was closed and reopened), and
    // trusts no lane's next counter time there.
    virtual void resetCircuit(int circuit) = 0;
};

// The decoder state of circuit 1..n; nullptr for a circuit the track does not have.
template <class State> State* circuitState(std::vector<State>& circuits, int circuit) {
    return circuit >= 1 && circuit <= static_cast<int>(circuits.size())
               ? &circuits[static_cast<std::size_t>(circuit - 1)]
               : nullptr;
}

std::unique_ptr<CounterDecoder> makeDecoder(const CounterSetup& setup, HeatControl& heat);

} // namespace cronovolta
