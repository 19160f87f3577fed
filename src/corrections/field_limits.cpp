#include "corrections/field_limits.h"

#include <algorithm>
#include <cmath>

namespace cronovolta {

double largestLapCount(int decimals) {
    // A single holds every whole number up to 2^24 exactly.
    const double units = std::pow(10.0, std::clamp(decimals, 0, 6));
    return std::min(kMostLapsInAHeat, std::floor((16777216.0 - 1.0) / units));
}

} // namespace cronovolta
