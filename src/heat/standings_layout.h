#pragma once

#include "heat/standings_grid.h"

#include <array>

namespace cronovolta {

// Row height (twips) and font size of the standings grid for N participants: the rows
// shown are the smaller of N and 24.
struct StandingsRowSize {
    int height = 600;
    int fontSize = 14;
};
StandingsRowSize standingsRowSize(int participants);

// Column widths in twips of the standings grid of a programme type (2 official practice,
// 3 Super Pole, 4 race); 0 is a hidden column.
std::array<int, col::Count> standingsColumnWidths(ProgrammeType programmeType);

} // namespace cronovolta
