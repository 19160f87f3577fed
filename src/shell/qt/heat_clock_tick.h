#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace cronovolta {

class HeatEngine;

// The heat clock's tick (`Transcorregut`): it runs while the engine's panel says the clock
// runs, at the panel's interval, and waits while the bytes of a counter are decoded.
class HeatClockTick {
public:
    HeatClockTick(QObject* context, std::function<void()> onTick);

    const QTimer& timer() const { return m_timer; }
    // Ticking while the engine's clock runs, at its interval; stopped without an engine.
    void follow(const HeatEngine* engine);
    void stop() { m_timer.stop(); }
    // Bytes are being decoded (and a modal question may be waiting): a tick waits.
    void hold() { m_held = true; }
    void release() { m_held = false; }
    // False while held: the tick is then due once released (takeDeferred).
    bool mayTick();
    bool takeDeferred();

private:
    QTimer m_timer;
    bool m_held = false;
    bool m_deferred = false;
};

} // namespace cronovolta
