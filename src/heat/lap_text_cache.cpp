// Lap totals and heat keys formatted once per value.
#include "heat/lap_text_cache.h"

#include "storage/formatting.h"
#include "storage/number_format.h"

namespace cronovolta {
namespace {

constexpr int kCachedTexts = 4096;
const std::string kUnformatted = "\x01";

bool cachedWhole(double value, int& index) {
    if (value < 0.0 || value >= kCachedTexts ||
        value != static_cast<double>(static_cast<int>(value))) {
        return false;
    }
    index = static_cast<int>(value);
    return true;
}

} // namespace

const std::string& LapTextCache::lapsText(double laps, const TrackConfig& track) {
    int i = 0;
    if (!cachedWhole(laps, i)) {
        m_scratchText = formatLaps(laps, false, track);
        return m_scratchText;
    }
    if (m_lapsTexts.empty()) {
        m_lapsTexts.assign(kCachedTexts, kUnformatted);
    }
    std::string& text = m_lapsTexts[static_cast<std::size_t>(i)];
    if (text == kUnformatted) {
        text = formatLaps(laps, false, track);
    }
    return text;
}

const std::string& LapTextCache::wholeText(double value) {
    int i = 0;
    if (!cachedWhole(-value, i)) {
        m_scratchText = singleToText(static_cast<float>(value));
        return m_scratchText;
    }
    if (m_keyTexts.empty()) {
        m_keyTexts.assign(kCachedTexts, kUnformatted);
    }
    std::string& text = m_keyTexts[static_cast<std::size_t>(i)];
    if (text == kUnformatted) {
        text = singleToText(static_cast<float>(value));
    }
    return text;
}

} // namespace cronovolta
