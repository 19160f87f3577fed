// The heat's state: running, paused, its start and its end deadline.
#include "heat/heat_state.h"
#include "heat/clock.h"
#include "heat/heat_engine.h"

namespace cronovolta {

// Heat time stands still during a pause: a crossing in a pause takes the pause's start, and
// a lap across a pause leaves the pause out, as the heat clock does. A resumed start is
// stored rounded down, so crossing times never go backwards; a lap is a plain difference of
// two of them, never negative, and the midnight rule belongs to the heat clock alone.
double HeatState::sinceStart(double now) const {
    return sinceEarlier(paused ? static_cast<double>(pauseStart) : now,
                        static_cast<double>(heatStart));
}

void HeatState::pause(double now) {
    paused = true;
    pauseStart = static_cast<float>(now);
}

double HeatState::resume(double now) {
    paused = false;
    pauseCount += 1;
    double from = pauseStart;
    if (now - from < 0.0) {
        from -= kSecondsPerDay;
    }
    double start = heatStart + (now - from);
    if (start >= kSecondsPerDay) {
        start -= kSecondsPerDay;
    }
    heatStart = storableTimeNotAfter(start);
    return now - from;
}

void HeatState::armEnd(double now) {
    if (running) {
        endDeadline = static_cast<float>(now + 2.5);
    }
}

bool HeatState::endDeadlinePassed(double now) const {
    double signal = static_cast<double>(endDeadline) - 2.5;
    double since = now - signal;
    if (since < -kSecondsPerDay / 2) {
        since += kSecondsPerDay; // midnight passed since the end signal
    }
    return since > 2.5;
}

} // namespace cronovolta
