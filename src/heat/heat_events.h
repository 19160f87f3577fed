#pragma once

#include "storage/lap_record.h"

namespace cronovolta {

// Follows a heat as it happens, for listeners beside the screens (the announcer). Heat
// times are seconds since the heat started, pauses excluded. Calls are made inside the
// engine call that caused them and must return quickly: they run on the timing path.
class HeatEvents {
public:
    virtual ~HeatEvents() = default;
    virtual void heatStarted(int /*heat*/) {}
    virtual void heatPaused(double /*heatTime*/) {}
    virtual void heatResumed(double /*heatTime*/) {}
    // Every journal record of the running heat: laps, rejected crossings, pauses.
    virtual void recordAppended(const LapRecord& /*record*/) {}
    virtual void heatClock(double /*heatTime*/) {}
    virtual void heatFinished(double /*heatTime*/) {}
};

} // namespace cronovolta
