#pragma once

#include "storage/file_io.h"
#include "storage/heat_result_record.h"
#include "storage/lap_record.h"

#include <optional>
#include <vector>

namespace cronovolta {

// Where the heat blocks of a series' files lie. Both files are written in place and never
// truncated: a cancelled heat's block stays until the heat is run again.

// Index (0-based record) at which heat `heat` starts in the lap file ".VAV": 0 for heat 1,
// otherwise right after the previous heat's header, records and end record. nullopt when
// the previous heat's block cannot be found.
std::optional<std::size_t> lapBlockStart(const std::vector<LapRecord>& records, int heat);

// Index of the header of heat `heat` in a results file ".DAD" (first match), or nullopt.
std::optional<std::size_t> resultHeaderIndex(const std::vector<HeatResultRecord>& records,
                                             int heat);

// The participant records of heat `heat` (as many as the header announces and the file
// holds); nullopt when no header of that heat exists.
std::optional<std::vector<HeatResultRecord>>
resultBlock(const std::vector<HeatResultRecord>& records, int heat);

// Writes the journal of heat `heat` as its block of the lap file. A lap file whose earlier
// blocks cannot be found gets the block at its end, so no lap is lost.
IoResult writeLapBlock(const fs::path& path, int heat, const std::vector<LapRecord>& journal);

// Writes header and participant records of heat `heat` into the results file; heat 1
// replaces the file.
IoResult writeResultBlock(const fs::path& path, int heat, float heatStart,
                          const std::vector<HeatResultRecord>& rows);

} // namespace cronovolta
