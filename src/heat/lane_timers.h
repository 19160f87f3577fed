#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cronovolta {

// The timers of each lane, 0 .. highest lane: who drives on it, its last crossing, the time
// of a rejected lap carried to the next, the start of its heat time, and whether its lap
// holds part of a pause. Lane 0 holds the lane of the last crossing (m_driverOnLane[0]) and
// the start of the Super Pole's run (m_crossingTimes[0]).
struct LaneTimers {
    std::vector<std::int16_t> m_driverOnLane;
    std::vector<float> m_crossingTimes;
    std::vector<float> m_carriedTime;
    std::vector<float> m_startTimes;
    // The lane's lap running since its last crossing holds some of a pause: its time is not
    // a time driven, so the minimum does not judge it and it is nobody's best lap.
    std::vector<bool> m_lapHoldsPause;

    // Every array for lanes 0 .. highestLane, cleared.
    void layOut(int highestLane);
    // A new heat: no crossing, nothing carried, no pause.
    void resetForHeat();
    void clearPilots();
    // A pause began: every lane's lap holds part of it.
    void pauseAll();
    int driverOnLane(int lane) const;
    // The crossing's heat time: never before the lane's last crossing.
    float crossingTime(int lane, double sinceStart) const;
};

} // namespace cronovolta
