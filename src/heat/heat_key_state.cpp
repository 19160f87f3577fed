// What the heat keys remember between keys and between heats.
#include "heat/heat_key_state.h"

#include <cmath>

namespace cronovolta {

std::string fillIn(std::string text, std::initializer_list<std::string> values) {
    int n = 1;
    for (const std::string& value : values) {
        const std::string mark = "%" + std::to_string(n++);
        if (auto at = text.find(mark); at != std::string::npos) {
            text.replace(at, mark.size(), value);
        }
    }
    return text;
}

bool HeatKeyState::takeShift() {
    bool shift = m_shiftHeld;
    m_shiftHeld = false;
    return shift;
}

void HeatKeyState::endedByKey(double now, int heat) {
    m_keyEndedAt = now;
    m_keyEndedHeat = heat;
}

std::string HeatKeyState::heatStarted(double now, int heat, bool recovering,
                                      const std::string& noticeText) {
    m_counterRun = !m_startingByKey && !recovering;
    std::string notice;
    if (m_counterRun && m_keyEndedAt) {
        const double after = now - *m_keyEndedAt;
        if (after >= 0.0 && after <= kCounterStartAfterKeyEnd) {
            notice = fillIn(noticeText, {std::to_string(heat),
                                         std::to_string(static_cast<int>(std::lround(after))),
                                         std::to_string(m_keyEndedHeat)});
        }
    }
    m_keyEndedAt.reset();
    return notice;
}

} // namespace cronovolta
