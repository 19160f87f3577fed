#pragma once

#include "heat/heat_engine.h"
#include "live/live_snapshot.h"

#include <string>

namespace cronovolta::live {

// The heading fields of the page without a heat: its words and the event.
LiveSnapshot idleSnapshot(const LiveContext& context);

// The page's view of the running programme: heat, clock, the standings grid's rows with
// the columns the standings window shows (the lanes in free practice) and the heat's
// fastest lap.
LiveSnapshot heatSnapshot(const HeatEngine& engine, const LiveContext& context);

} // namespace cronovolta::live
