#pragma once

#include "announce/announcer.h"
#include "heat/heat_engine.h"

#include <functional>

namespace cronovolta {

// Lets an announcer follow a heat engine: attach it with engine.setEventListener(&link).
// After each event the voice is told the heat time, to say what is due when it is free.
class HeatAnnouncer : public HeatEvents {
public:
    HeatAnnouncer(const HeatEngine& engine, Announcer& announcer)
        : m_engine(engine), m_announcer(announcer) {}

    void onEvent(std::function<void(double heatTime, bool ended)> voice) {
        m_voice = std::move(voice);
    }

    void heatStarted(int heat) override;
    void heatPaused(double heatTime) override;
    void heatResumed(double heatTime) override;
    void recordAppended(const LapRecord& record) override;
    void heatClock(double heatTime) override;
    void heatFinished(double heatTime) override;

private:
    void told(double heatTime, bool ended = false) {
        if (m_voice) {
            m_voice(heatTime, ended);
        }
    }

    const HeatEngine& m_engine;
    Announcer& m_announcer;
    std::function<void(double, bool)> m_voice;
};

} // namespace cronovolta
