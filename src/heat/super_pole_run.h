#pragma once

#include "heat/standings_grid.h"
#include "heat/super_pole.h"
#include "storage/lap_record.h"
#include "storage/track_config.h"

#include <string>

namespace cronovolta {

// The Super Pole of the open programme: its displays (the model), the lane of the driver
// on track and the split timing between the crossings of the split and speed inputs.
class SuperPoleRun {
public:
    // What a crossing of a split or speed input measured, as the journal stores it.
    struct SensorReading {
        float kind = 0.0f; // kSplitFirst, kSplitSecond, kSplitBothFilled, kSplitSpeed...
        float value = 0.0f;
    };

    // A programme opens: a Super Pole shows its displays, others none.
    void open(bool superPole, bool splitDisplay, const fs::path& dataDir,
              const ColourSlots& colours);
    void close() { m_model = SuperPoleModel{}; }
    const SuperPoleModel& model() const { return m_model; }
    SuperPoleModel& model() { return m_model; }

    // The lane of the driver on track, 0 before the heat's first crossing.
    int activeLane() const { return m_activeLane; }
    void setActiveLane(int lane) { m_activeLane = lane; }
    // A new heat: nobody on track, no split stored.
    void resetForHeat();
    // A new heat's displays: no driver, no run.
    void clearRuns();

    // A run begins at the line (the timing row and the split row); a run ends with its lap.
    void startRun(const std::string& partialHeading, const std::string& speedHeading);
    void finishRun(const std::string& lapText);
    // A split input (sinceRun: the time since the run began) or the speed input crossed.
    SensorReading sensor(int lane, float crossing, float counterTime, double sinceRun,
                         const TrackConfig& track);
    // A sensor record of a journal being replayed.
    void replaySensor(int lane, const LapRecord& record);
    void writeSectorValue(int column, double value, const std::string& text);

private:
    void storeSplit(float time, int lane);

    SuperPoleModel m_model;
    fs::path m_dataDir;
    ColourSlots m_colours;
    int m_activeLane = 0;
    bool m_splitStored = false;
    float m_splitStoredTime = 0.0f;
    int m_splitStoredLane = 0;
};

} // namespace cronovolta
