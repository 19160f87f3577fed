#include "announce/heat_announcer.h"

namespace cronovolta {

void HeatAnnouncer::heatStarted(int heat) {
    int lanes = m_engine.lanes().highestLane();
    std::vector<std::string> names(static_cast<std::size_t>(lanes) + 1);
    const auto& all = m_engine.participants().names;
    for (int lane = 1; lane <= lanes; ++lane) {
        int p = m_engine.driverOnLane(lane);
        if (p >= 1 && p <= static_cast<int>(all.size())) {
            std::string name = all[static_cast<std::size_t>(p - 1)];
            while (!name.empty() && name.back() == ' ') {
                name.pop_back();
            }
            names[static_cast<std::size_t>(lane)] = std::move(name);
        }
    }
    m_announcer.heatStarted(heat, m_engine.programme().programmeType == ProgrammeType::Race,
                            std::move(names));
    told(0.0);
}

void HeatAnnouncer::heatPaused(double heatTime) {
    m_announcer.paused(heatTime);
    told(heatTime);
}

void HeatAnnouncer::heatResumed(double heatTime) {
    m_announcer.resumed(heatTime);
    told(heatTime);
}

void HeatAnnouncer::heatClock(double heatTime) {
    m_announcer.clock(heatTime);
    told(heatTime);
}

void HeatAnnouncer::heatFinished(double heatTime) {
    m_announcer.heatEnded(heatTime);
    told(heatTime, true);
}

void HeatAnnouncer::recordAppended(const LapRecord& record) {
    // Pauses, rejected crossings and Super Pole sensors carry no lap count of a lane.
    if (record.lane >= 1 && record.laps > 0 && record.splitKind == 0.0f) {
        // Only a lap marked as the lane's best can be a best lap: one across a pause never is.
        float best = record.fastestFlag == -1 ? record.lapTime : 0.0f;
        m_announcer.lap(record.lane, best, record.laps, record.crossingTime);
        told(record.crossingTime);
    }
}

} // namespace cronovolta
