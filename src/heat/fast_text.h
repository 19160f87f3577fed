#pragma once

#include <string>

namespace cronovolta {

// The texts of lap times and crossing times written on every crossing, without the
// general pattern machinery: the same text as formatSingle(value, "0.0000") (decimals 4)
// or "0.00" (decimals 2), and as singleToText(value).
std::string fixedSingleText(float value, int decimals);
std::string singleText(float value);

} // namespace cronovolta
