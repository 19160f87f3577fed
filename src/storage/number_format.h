#pragma once

#include <string>
#include <string_view>

namespace cronovolta {

// Format patterns of the classic BASIC kind: up to three sections "positive;negative;zero",
// digit placeholders "0" (always a digit) and "#" (no digit for a zero), one ".", a
// backslash escaping the next character, anything else literal. Rounding is half away from
// zero on the decimal value. The decimal separator written is ".".
std::string formatNumber(double value, std::string_view pattern);

// The same for a value that is stored in single precision: it is rounded on its own
// shortest decimal text, so 0.00005f with "0.0000" gives "0.0001".
std::string formatSingle(float value, std::string_view pattern);

// The standard number-to-text conversion of a single: up to 7 significant digits, no
// trailing zeros, no exponent ("11.2", "36001", "0.1", "-3").
std::string singleToText(float value);
// Str: the same with one leading blank before a non-negative number (" 3").
std::string strValue(float value);
// The line printer's rule: a leading blank or minus sign and one trailing blank (" 3 ").
std::string printedNumber(float value);

// "H:mm:ss" of seconds since midnight (hours without a leading zero). Values are taken
// modulo one day, as the clock they come from.
std::string longTime(double seconds);

} // namespace cronovolta
