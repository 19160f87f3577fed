#pragma once

#include "storage/heat_result_record.h"
#include "storage/penalty_record.h"

#include <vector>

namespace cronovolta {

struct HeatResize {
    std::vector<HeatResultRecord> records;
    std::vector<int> missingHeats; // heats whose header was not found; left out
};

// The heat blocks 1..heatsDone of a series results file after its participant count
// went from oldCount to newCount: fewer keeps the records of participants up to newCount,
// more appends a zero record for each new participant. Every header counts the records
// that follow it.
HeatResize resizeHeatBlocks(const std::vector<HeatResultRecord>& records, int heatsDone,
                            int oldCount, int newCount);

// The penalties of participants up to `count`, in order.
std::vector<PenaltyRecord> penaltiesUpTo(const std::vector<PenaltyRecord>& records, int count);

} // namespace cronovolta
