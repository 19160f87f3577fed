#pragma once

#include "results/classification.h"
#include "storage/track_config.h"

#include <string>
#include <vector>

namespace cronovolta::test {

// A track with `lanes` lanes in order and lap totals shown with `decimals` decimals.
inline TrackConfig trackWith(int lanes, int decimals = 0) {
    TrackConfig t;
    t.lanes = static_cast<std::int16_t>(lanes);
    t.laneChangeOrder.assign(static_cast<std::size_t>(lanes) + 1, 0);
    for (int i = 1; i <= lanes; ++i) {
        t.laneChangeOrder[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
    }
    t.laneChangeOrder[0] = static_cast<std::int16_t>(lanes);
    t.decimalsText = std::string(static_cast<std::size_t>(decimals), '0');
    t.lapTotalFormat = decimals == 0 ? "0" : "0." + t.decimalsText;
    int largest = decimals == 0 ? 0 : 1;
    for (int i = 0; i < decimals; ++i) {
        largest *= 10;
    }
    t.largestPartial = static_cast<std::int16_t>(largest);
    return t;
}

struct Driven {
    int participant;
    float seriesLaps;
    float crossing; // field 3
    float fastest;
    int lane;
    float heatLaps;
    float heatFastest;
    float key2 = 0.0f;
};

// Builds the lists and heats of one series heat by heat.
class SeriesBuilder {
public:
    SeriesBuilder(int seriesNumber, std::vector<std::string> names) {
        m_data.seriesNumber = seriesNumber;
        m_data.participants.names = std::move(names);
        m_data.heatFileMissing = false;
    }
    SeriesBuilder& heat(const std::vector<Driven>& rows) {
        HeatResultRecord h;
        h.lane = static_cast<std::int16_t>(++m_data.participants.heatsDone);
        h.adjustments = static_cast<std::int16_t>(rows.size());
        m_data.heats.push_back(h);
        for (const auto& d : rows) {
            HeatResultRecord r;
            r.participant = static_cast<std::int16_t>(d.participant);
            r.seriesLaps = d.seriesLaps;
            r.crossingTime = d.crossing;
            r.fastestLap = d.fastest;
            r.lane = static_cast<std::int16_t>(d.lane);
            r.heatLaps = d.heatLaps;
            r.heatFastestLap = d.heatFastest;
            r.sortKey2 = d.key2;
            m_data.heats.push_back(r);
        }
        return *this;
    }
    SeriesBuilder& penalty(int participant, float laps) {
        m_data.penalties.push_back({static_cast<std::int16_t>(participant), laps, "motiu"});
        return *this;
    }
    SeriesData& data() { return m_data; }

private:
    SeriesData m_data;
};

} // namespace cronovolta::test
