#pragma once

namespace cronovolta {

// What the laps and lap-time fields of the corrections and penalties can store. A lap count
// is a single-precision value that must keep the track's lap fraction exact, and no heat
// runs more laps than a day of one-second laps.
inline constexpr double kMostLapsInAHeat = 99999.0;
// A lap longer than this is no lap of a slot car; the field shows "0.0000" up to it.
inline constexpr double kLongestLap = 999.9999;

// The most laps a heat or a penalty can hold with `decimals` digits of lap fraction.
double largestLapCount(int decimals);

} // namespace cronovolta
