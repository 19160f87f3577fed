#pragma once

#include <string>

namespace cronovolta {

// Numbers as people say them at the track side: language 0 Catalan, 1 Castilian.
// `feminine` agrees with a feminine noun ("dues voltes", "veintiuna vueltas").
std::string spokenNumber(long long value, int language, bool feminine = false);
// To hundredths: "set coma quaranta-dos", "siete coma cero cinco".
std::string spokenDecimal(double value, int language);

} // namespace cronovolta
