#pragma once

namespace cronovolta {

class MainWindow;

// Connects the entrant-list screen to the main window's list commands ("MnuIns100",
// "MnuIns" 0..4), the results screen to its classification commands ("MnuCls" 2..4), and
// the automatic progression to its new-race-series hook.
void connectResultsScreens(MainWindow& window);

} // namespace cronovolta
