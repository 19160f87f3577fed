#pragma once

#include "heat/heat_journal.h"
#include "heat/lap_adjustments.h"

namespace cronovolta {

// What the registration of a crossing writes: the running heat's journal "VLTAVLT.TMP" and
// its lap adjustments, whether the disk holds every record, and whether the journal is the
// open programme's own (one it found belongs to an interrupted heat).
struct HeatRecords {
    HeatJournal journal;
    AdjustmentJournal adjustments;
    bool failed = false; // the journal on the disk misses records of this heat
    bool owned = false;  // "VLTAVLT.TMP" is this opening's own
};

} // namespace cronovolta
