#pragma once

#include "storage/event_files.h"
#include "storage/file_io.h"
#include "storage/track_config.h"

#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta {

// The files of one series of an event, as a correction reads them.
struct SeriesFiles {
    fs::path eventDir;
    ProgrammeType programmeType = ProgrammeType::Race;
    int seriesNumber = 1;
    TrackConfig track;              // the event's own copy
    std::vector<std::string> names; // by participant number, padded up to the lanes
    int heats = 0;                  // the heat counter of the ".PAR"

    fs::path file(std::string_view extension) const;
    int participants() const { return static_cast<int>(names.size()); }
    std::string name(int participant) const;
};

// Reads the track, the participants and the heat counter of a series (types 2..4).
std::expected<SeriesFiles, std::string>
openSeriesFiles(const fs::path& eventDir, ProgrammeType programmeType, int seriesNumber);

// The participant who drives Super Pole heat `heat` of a series of `participants`.
int superPoleDriver(int heat, int participants);

// New heat values of one lane of the corrected heat. `fastest` nullopt keeps the stored
// fastest lap of the heat (comes entry).
struct LaneValues {
    int lane = 0; // ignored in Super Pole: the heat's only driver takes the values
    float laps = 0.0f;
    std::optional<float> fastest;
};

// Replaces the heat values of heat `heat` and recomputes the accumulated laps, fastest laps
// and ranks of that heat and every later one through the standings re-sort, as the heats
// would have stored them. Every block it rewrites is read and checked first; nothing is
// written when one is missing or damaged, and the results file is replaced atomically.
// Heat keys the correction does not change stay as stored. Returns the heats rewritten:
// none, with nothing written, when no heat value changes.
std::expected<std::vector<int>, std::string> recomputeSeries(const SeriesFiles& series, int heat,
                                                             const std::vector<LaneValues>& values);

} // namespace cronovolta
