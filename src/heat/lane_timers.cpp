// The per-lane timers of a heat.
#include "heat/lane_timers.h"

#include <algorithm>

namespace cronovolta {

void LaneTimers::layOut(int highestLane) {
    std::size_t size = static_cast<std::size_t>(std::max(highestLane, 0)) + 1;
    m_pilotPista.assign(size, 0);
    m_tempsPas.assign(size, 0.0f);
    m_tempsArrossegat.assign(size, 0.0f);
    m_tempsInici.assign(size, 0.0f);
    m_lapHoldsPause.assign(size, false);
}

void LaneTimers::resetForHeat() {
    std::fill(m_tempsArrossegat.begin(), m_tempsArrossegat.end(), 0.0f);
    std::fill(m_tempsPas.begin(), m_tempsPas.end(), 0.0f);
    std::fill(m_lapHoldsPause.begin(), m_lapHoldsPause.end(), false);
}

void LaneTimers::clearPilots() {
    std::fill(m_pilotPista.begin(), m_pilotPista.end(), 0);
}

void LaneTimers::pauseAll() {
    std::fill(m_lapHoldsPause.begin(), m_lapHoldsPause.end(), true);
}

int LaneTimers::pilotOnLane(int lane) const {
    if (lane < 0 || lane >= static_cast<int>(m_pilotPista.size())) {
        return 0;
    }
    return m_pilotPista[static_cast<std::size_t>(lane)];
}

float LaneTimers::crossingTime(int lane, double sinceStart) const {
    return std::max(m_tempsPas[static_cast<std::size_t>(lane)], static_cast<float>(sinceStart));
}

} // namespace cronovolta
