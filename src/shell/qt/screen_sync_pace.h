#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace cronovolta {

// How often the screens follow the engine: at most once a frame, at once after a quiet
// spell, and how long the longest gap between two updates was while a heat ran.
class ScreenSyncPace {
public:
    ScreenSyncPace(QObject* context, std::function<void()> sync);

    // The models changed: an update is due, not sooner than a frame after the last.
    void schedule();
    void stop() { m_timer.stop(); }
    // An update is made now; `countGap`: the time since the last one counts.
    void note(bool countGap);
    double longestGapMs() const { return m_longestGap; }
    int syncs() const { return m_syncs; }

private:
    QTimer m_timer;
    double m_lastSync = -1.0;
    double m_longestGap = 0.0;
    int m_syncs = 0;
};

} // namespace cronovolta
