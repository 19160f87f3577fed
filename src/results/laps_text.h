#pragma once

#include "storage/track_config.h"

#include <string>
#include <string_view>

namespace cronovolta {

// Lap totals as the classification shows them (`formatLaps`): whole numbers when there
// are no comes, else with the decimals of the track's resolution. A value whose fraction
// that resolution cannot show (a half-lap penalty on a track without comes) keeps its own
// decimals instead of being rounded to a lap it was not credited with.
std::string lapsText(double laps, const TrackConfig& track, bool keepZero);

// Number read back from a cell text (`numericValue`).
double cellValue(std::string_view text);

// The gap of one row to another (`lapGap`): "-1.500v" when the laps texts differ,
// else the time gap of the tie texts "+0.4s", capped at "+99.9s".
std::string lapGapText(std::string_view referenceLaps, std::string_view ownLaps,
                       std::string_view referenceTie, std::string_view ownTie,
                       const TrackConfig& track, std::string_view lapLetter,
                       std::string_view secondsLetter);

// True when the number in a gap text is 0 ("+0.0s", "+0.0000"): the rows share a rank.
bool gapIsZero(std::string_view gap);

} // namespace cronovolta
