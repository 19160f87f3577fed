#pragma once

#include "heat/heat_engine_types.h"
#include "storage/lap_record.h"

#include <optional>
#include <vector>

namespace cronovolta {

// A recovery of an interrupted heat while it runs: the heat start it resumes from, how it
// went, and the end record of a journal whose heat had ended.
struct HeatRecoveryRun {
    bool recovering = false;
    float start = 0.0f;
    RecoveryOutcome outcome = RecoveryOutcome::Resumed;
    std::vector<LapRecord> replayEnd;
    std::optional<float> endMoment; // the end of a recovered heat that had ended

    void begin(float heatStart) {
        recovering = true;
        start = heatStart;
        outcome = RecoveryOutcome::NotStarted;
        replayEnd.clear();
    }
};

// A journal's header record: lane and participant 0.
inline bool isJournalHeader(const LapRecord& r) {
    return r.lane == 0 && r.participant == 0;
}

// A heat number of the 16-bit range; a damaged header names none (-1).
inline int journalHeaderHeat(const LapRecord& header) {
    float number = header.lapTime;
    return number >= 0.0f && number <= 32767.0f ? static_cast<int>(number) : -1;
}

} // namespace cronovolta
