#pragma once

#include "results/progression.h"
#include "storage/file_io.h"

#include <expected>
#include <functional>
#include <string>
#include <vector>

namespace cronovolta {

struct PlacedSeries {
    int seriesNumber = 0;
    std::vector<std::string> names;
};

struct ProgressionOutcome {
    ProgressionStage stage = kNoProgression;
    std::vector<PlacedSeries> created;
    std::vector<std::string> notes; // why nothing was done, damaged files met
};

// Adds one race series to the event ("PROVA.DAD" count and nothing else) and returns its
// number.
using AppendRaceSeries = std::function<std::expected<int, std::string>()>;

// The automatic progression, run when a race series is about to be added to an event
// whose track has a lane-distribution table in the data folder: from the classifications
// of the earlier series it creates the qualifying race, the repechages, the two
// semi-finals or the final, each through `appendRaceSeries` and with its participant list
// saved. With stage kNoProgression nothing was created and the caller adds the series
// with a list of its own.
std::expected<ProgressionOutcome, std::string>
placeAutomaticEntries(const fs::path& dataDir, int event, const AppendRaceSeries& appendRaceSeries);

// The same for a race series that has just been added (number `added`, already counted in
// "PROVA.DAD", as the main window's new-series command does): the stage fills it first and
// adds any further series it needs. With kNoProgression the added series keeps an empty
// list for the organiser.
std::expected<ProgressionOutcome, std::string> placeAutomaticEntriesInto(const fs::path& dataDir,
                                                                         int event, int added);

} // namespace cronovolta
