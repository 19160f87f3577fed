#pragma once

#include "heat/standings_grid.h"
#include "storage/heat_result_record.h"

#include <string>

namespace cronovolta {

// A standings row written back from a stored participant record, with the cell formats
// of a rebuild (a zero shows as a blank cell). Columns 0, 8 and 9 come from the re-sort.
void fillStandingsRow(StandingsGrid& grid, int row, const HeatResultRecord& record,
                      const std::string& name, ProgrammeType programmeType,
                      const TrackConfig& config);

// The participant record stored for a standings row at the end of a heat, parsed from the
// texts shown. `lastLane` is the lane that crossed last (element 0 of PilotPista).
HeatResultRecord recordFromStandingsRow(const StandingsGrid& grid, int row,
                                        ProgrammeType programmeType, int lastLane);

// A whole number of a record field, as the 16-bit integers of the files take it.
std::int16_t toInt16(double value);

} // namespace cronovolta
