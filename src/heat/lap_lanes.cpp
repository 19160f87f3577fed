#include "heat/lap_lanes.h"

#include "storage/number_format.h"

#include <algorithm>
#include <cstdlib>

namespace cronovolta {

LanesLayout lanesLayout(int lanes) {
    LanesLayout l;
    lanes = std::max(lanes, 1);
    l.panelRows = (lanes - 1) / 10 + 1;
    l.panelsPerRow = (lanes - 1) / l.panelRows + 1;
    if (l.panelRows >= 2) {
        l.gridHeight = 3050;
        l.rowStep = 4025;
    }
    if (l.panelsPerRow > 8) {
        l.fontSize = 20 - l.panelsPerRow;
        l.scale = 8.0 / l.panelsPerRow;
    }
    if (l.panelsPerRow < 8) {
        l.nameFieldFactor = 8.0 / l.panelsPerRow;
    }
    l.scrollBarVisible = l.panelRows > 2;
    l.scrollMax = l.scrollBarVisible ? l.panelRows - 1 : 0;
    return l;
}

int LanePanel::lapCount() const {
    return std::atoi(rows.empty() ? "" : rows[0].c_str());
}

void LanePanel::clearLaps() {
    rows.assign(2, std::string());
    highlighted.assign(2, false);
    currentRow = 1;
    topRow = 1;
    fastestLap.clear();
}

void LapLanes::layOut(const std::vector<std::int16_t>& order, const std::string& lanePrefix,
                      int oddColour, int evenColour) {
    int lanes = static_cast<int>(order.size()) - 1;
    int highest = order.empty() ? 0 : order[0];
    m_panels.assign(static_cast<std::size_t>(std::max(highest, 0)) + 1, LanePanel{});
    m_layout = lanesLayout(lanes);
    m_flagLane = 0;
    m_scroll = 1;
    int p = 0;
    for (int lane = 1; lane <= highest; ++lane) {
        bool listed = false;
        for (int i = 1; i <= lanes && !listed; ++i) {
            listed = order[static_cast<std::size_t>(i)] == lane;
        }
        if (!listed) {
            continue;
        }
        LanePanel& panel = m_panels[static_cast<std::size_t>(lane)];
        panel.position = ++p;
        panel.gridColour = p % 2 == 1 ? oddColour : evenColour;
        panel.title = lanePrefix + strValue(static_cast<float>(lane));
        panel.takesPart = true;
    }
}

void LapLanes::setScrollValue(int value) {
    m_scroll = std::clamp(value, 1, std::max(1, m_layout.scrollMax));
}

void LapLanes::advanceScroll() {
    if (!m_layout.scrollBarVisible) {
        return;
    }
    m_scroll = m_scroll >= m_layout.scrollMax ? 1 : m_scroll + 1;
}

void LapLanes::clearNames() {
    for (auto& panel : m_panels) {
        panel.pilot.clear();
    }
}

} // namespace cronovolta
