// The per-lane timers of a heat.
#include "heat/lane_timers.h"

#include <algorithm>

namespace cronovolta {

void LaneTimers::layOut(int highestLane) {
    std::size_t size = static_cast<std::size_t>(std::max(highestLane, 0)) + 1;
    m_driverOnLane.assign(size, 0);
    m_crossingTimes.assign(size, 0.0f);
    m_carriedTime.assign(size, 0.0f);
    m_startTimes.assign(size, 0.0f);
    m_lapHoldsPause.assign(size, false);
}

void LaneTimers::resetForHeat() {
    std::fill(m_carriedTime.begin(), m_carriedTime.end(), 0.0f);
    std::fill(m_crossingTimes.begin(), m_crossingTimes.end(), 0.0f);
    std::fill(m_lapHoldsPause.begin(), m_lapHoldsPause.end(), false);
}

void LaneTimers::clearPilots() {
    std::fill(m_driverOnLane.begin(), m_driverOnLane.end(), 0);
}

void LaneTimers::pauseAll() {
    std::fill(m_lapHoldsPause.begin(), m_lapHoldsPause.end(), true);
}

int LaneTimers::driverOnLane(int lane) const {
    if (lane < 0 || lane >= static_cast<int>(m_driverOnLane.size())) {
        return 0;
    }
    return m_driverOnLane[static_cast<std::size_t>(lane)];
}

float LaneTimers::crossingTime(int lane, double sinceStart) const {
    return std::max(m_crossingTimes[static_cast<std::size_t>(lane)],
                    static_cast<float>(sinceStart));
}

} // namespace cronovolta
