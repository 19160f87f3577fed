#pragma once

#include "heat/heat_panel.h"

namespace cronovolta {

class HeatPanel;

// Shows the heat engine's panel model on the main window's heat panel (`FonsDeMenu`):
// start lights, buttons, clock, pause label, rejected crossings and the lap adjustment.
// Only what changed since the last call is touched.
class HeatPanelAdapter {
public:
    explicit HeatPanelAdapter(HeatPanel& panel) : m_panel(panel) {}

    void sync(const HeatPanelModel& model);
    // Forgets what was shown: the next sync writes everything.
    void invalidate() { m_valid = false; }

private:
    void syncColours(const HeatPanelModel& model);
    void syncErrors(const HeatPanelModel& model);

    HeatPanel& m_panel;
    HeatPanelModel m_shown;
    bool m_valid = false;
};

} // namespace cronovolta
