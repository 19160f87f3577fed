#pragma once

#include "storage/event_files.h"

#include <array>
#include <string_view>
#include <vector>

namespace cronovolta {

// What the main window's commands depend on.
struct ShellSelection {
    bool eventActive = false;
    // Entries of each programme type's series list (type 0 unused).
    std::array<int, 5> seriesListed{};
    bool programmeOpen = false;
    bool heatRunning = false;
};

// One menu entry, button, list or frame of the main window, by the object name of the
// text tables ("MnuPrg", 2), and whether it is enabled and shown.
struct CommandState {
    std::string_view name;
    int index = -1;
    bool enabled = true;
    bool visible = true;
};

// `SerieActiva`(type): the commands of a programme type need an active event and a series
// of that type in its list.
bool seriesActive(const ShellSelection& selection, ProgrammeType programmeType);

// `ProvaActiva` and `SerieActiva` for every programme type, plus the menus that an open
// programme or a running heat switch off. Applying every state in order gives the window.
std::vector<CommandState> commandStates(const ShellSelection& selection);

} // namespace cronovolta
