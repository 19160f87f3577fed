// The pace of the screens' updates during a heat.
#include "shell/qt/screen_sync_pace.h"
#include "shell/qt/heat_session.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace cronovolta {
namespace {

double monotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

ScreenSyncPace::ScreenSyncPace(QObject* context, std::function<void()> sync) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, context, std::move(sync));
}

void ScreenSyncPace::schedule() {
    if (!m_timer.isActive()) {
        // Not sooner than a frame after the last update; at once (once the bytes read are
        // decoded) when that is past.
        const double due = m_lastSync < 0.0 ? 0.0 : m_lastSync + kScreenSyncMs - monotonicMs();
        m_timer.start(static_cast<int>(std::clamp(std::ceil(due), 0.0, double(kScreenSyncMs))));
    }
}

void ScreenSyncPace::note(bool countGap) {
    const double at = monotonicMs();
    if (countGap && m_lastSync >= 0.0) {
        m_longestGap = std::max(m_longestGap, at - m_lastSync);
    }
    m_lastSync = at;
    ++m_syncs;
}

} // namespace cronovolta
