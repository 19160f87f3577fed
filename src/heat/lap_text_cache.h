#pragma once

#include "storage/track_config.h"

#include <string>
#include <vector>

namespace cronovolta {

// Whole lap totals and heat keys as their texts, formatted once per value.
class LapTextCache {
public:
    // The lap total as the standings show it; its format depends on the track's largest
    // partial, so a new track clears the cache.
    const std::string& lapsText(double laps, const TrackConfig& track);
    // A heat key "1 - heat laps" as its text.
    const std::string& wholeText(double value);
    void clearLaps() { m_lapsTexts.clear(); }

private:
    std::vector<std::string> m_lapsTexts; // by whole lap total; "\x01" not yet formatted
    std::vector<std::string> m_keyTexts;  // by 1 - heat laps, negated
    std::string m_scratchText;
};

} // namespace cronovolta
