#pragma once

#include "counter/capture.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

namespace cronovolta {

// Plays the lines of a byte capture again in real time: each event is handed on at the
// same distance from the first one as it was recorded.
class CapturePlayer : public QObject {
public:
    CapturePlayer(std::vector<CaptureEvent> events,
                  std::function<void(const CaptureEvent&)> dispatch, QObject* parent = nullptr);

    void start();
    void stop();
    bool finished() const { return m_next >= m_events.size(); }
    // Time runs this many times faster (tests).
    void setSpeed(double factor) { m_speed = factor; }

private:
    void step();
    double offset(std::size_t i) const { return m_offsets[i]; }

    std::vector<CaptureEvent> m_events;
    std::vector<double> m_offsets; // seconds from the first event, across midnight
    std::function<void(const CaptureEvent&)> m_dispatch;
    QElapsedTimer m_clock;
    QTimer m_timer;
    std::size_t m_next = 0;
    double m_speed = 1.0;
};

} // namespace cronovolta
