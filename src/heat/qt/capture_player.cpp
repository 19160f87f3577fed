#include "heat/qt/capture_player.h"

#include "heat/clock.h"

#include <algorithm>
#include <cmath>

namespace cronovolta {

CapturePlayer::CapturePlayer(std::vector<CaptureEvent> events,
                             std::function<void(const CaptureEvent&)> dispatch, QObject* parent)
    : QObject(parent), m_events(std::move(events)), m_dispatch(std::move(dispatch)) {
    double days = 0.0;
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        if (i > 0 && m_events[i].seconds < m_events[i - 1].seconds) {
            days += kSecondsPerDay; // the capture ran past midnight
        }
        m_offsets.push_back(days + m_events[i].seconds -
                            (m_events.empty() ? 0.0 : m_events.front().seconds));
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
}

void CapturePlayer::start() {
    m_next = 0;
    m_clock.start();
    step();
}

void CapturePlayer::stop() {
    m_timer.stop();
    m_next = m_events.size();
}

void CapturePlayer::step() {
    const double elapsed = m_clock.isValid() ? m_clock.elapsed() / 1000.0 * m_speed : 0.0;
    while (m_next < m_events.size() && offset(m_next) <= elapsed) {
        const std::size_t i = m_next++;
        m_dispatch(m_events[i]);
    }
    if (m_next < m_events.size()) {
        const double wait = (offset(m_next) - elapsed) / m_speed;
        m_timer.start(std::max(0, static_cast<int>(std::ceil(wait * 1000.0))));
    }
}

} // namespace cronovolta
