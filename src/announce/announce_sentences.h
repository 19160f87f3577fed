#pragma once

#include <string>

namespace cronovolta {

// The spoken sentences, language 0 Catalan, 1 Castilian. Names may be empty: they are
// then left out. Times are lap times in seconds.
namespace sentence {
std::string heatStart(int language, int heat);
std::string pause(int language);
std::string restart(int language);
std::string fastestLap(int language, int lane, const std::string& name, double lapTime);
std::string newLeader(int language, int lane, const std::string& name);
std::string lastMinute(int language);
std::string lastTenSeconds(int language);
std::string laneSilent(int language, int lane, const std::string& name, int seconds);
std::string heatEnd(int language);
std::string winner(int language, int lane, const std::string& name, int laps);
std::string heatFastestLap(int language, int lane, const std::string& name, double lapTime);
} // namespace sentence

} // namespace cronovolta
