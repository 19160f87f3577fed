// The heat clock's tick of the desktop program.
#include "shell/qt/heat_clock_tick.h"

#include "heat/heat_engine.h"

namespace cronovolta {

HeatClockTick::HeatClockTick(QObject* context, std::function<void()> onTick) {
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, context, std::move(onTick));
}

void HeatClockTick::follow(const HeatEngine* engine) {
    if (engine == nullptr) {
        m_timer.stop();
        return;
    }
    const HeatPanelModel& panel = engine->panel();
    if (!panel.clockTickEnabled) {
        m_timer.stop();
        return;
    }
    if (m_timer.interval() != panel.tickIntervalMs) {
        m_timer.setInterval(panel.tickIntervalMs);
    }
    if (!m_timer.isActive()) {
        m_timer.start();
    }
}

bool HeatClockTick::mayTick() {
    if (m_held) {
        m_deferred = true;
        return false;
    }
    return true;
}

bool HeatClockTick::takeDeferred() {
    const bool due = m_deferred;
    m_deferred = false;
    return due;
}

} // namespace cronovolta
