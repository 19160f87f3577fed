#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cronovolta {

// Panel arrangement of the lap-by-lap view for N lanes, in twips of the 800 x 600 design.
struct LanesLayout {
    int panelRows = 1;    // FilesDePanells
    int panelsPerRow = 1; // PanellsPerFila
    int gridHeight = 7000;
    int rowStep = 8500;
    int fontSize = 12;
    double scale = 1.0;
    bool scrollBarVisible = false;
    int scrollMax = 0;
    double nameFieldFactor = 1.0; // the name field grows by 8 / PanellsPerFila below 8
};

LanesLayout lanesLayout(int lanes);

// One lane's panel of the lap-by-lap view.
struct LanePanel {
    bool takesPart = false; // Titol visible
    std::string title;      // "Pista 3"
    int position = 0;       // panel position from 1, 0 when the lane has none
    int gridColour = -1;    // QBColor of the lap grid
    std::string pilot;      // name of the participant on the lane
    int driverColour = -1;  // -1: the template field's colour, else a QBColor
    // Llista: row 0 the lap count, row 1 the first-crossing mark, then the laps.
    std::vector<std::string> rows{"", ""};
    std::vector<bool> highlighted{false, false}; // rows painted in the fastest-lap colour
    int currentRow = 1;
    int topRow = 1;
    std::string fastestLap; // VRapida

    int lapCount() const;
    void clearLaps();
};

// The lap-by-lap view's state: one panel per lane number 1..highest lane (index 0 unused).
class LapLanes {
public:
    // Lays the panels out for the lanes of the order (order[1..N]); `oddColour` and
    // `evenColour` are the QBColors of slots 4 and 3.
    void layOut(const std::vector<std::int16_t>& order, const std::string& lanePrefix,
                int oddColour, int evenColour);

    int highestLane() const { return static_cast<int>(m_panels.size()) - 1; }
    bool takesPart(int lane) const {
        return lane >= 1 && lane <= highestLane() &&
               m_panels[static_cast<std::size_t>(lane)].takesPart;
    }
    LanePanel& panel(int lane) { return m_panels.at(static_cast<std::size_t>(lane)); }
    const LanePanel& panel(int lane) const { return m_panels.at(static_cast<std::size_t>(lane)); }
    const LanesLayout& layout() const { return m_layout; }

    // Bandera: the marker of the lane that crossed last (0: hidden).
    int flagLane() const { return m_flagLane; }
    void setFlagLane(int lane) { m_flagLane = lane; }

    // Scroll-bar value from 1 (the first row of panels at the top).
    int scrollValue() const { return m_scroll; }
    void setScrollValue(int value);
    // One auto-scroll step: to the next value, from the maximum back to the minimum.
    void advanceScroll();
    // Top of the panel area for a scroll value: -(v - 1) x row step, in design twips.
    int panelAreaTop() const { return -(m_scroll - 1) * m_layout.rowStep; }

    void clearNames();

private:
    std::vector<LanePanel> m_panels;
    LanesLayout m_layout;
    int m_flagLane = 0;
    int m_scroll = 1;
};

} // namespace cronovolta
