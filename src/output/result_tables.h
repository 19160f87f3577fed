#pragma once

#include "results/progression.h"
#include "results/results_browser.h"
#include "storage/file_io.h"
#include "storage/track_config.h"

#include <expected>
#include <string>
#include <vector>

namespace cronovolta {

struct EventFiles;

// "ENTRENAMENTS.TXT" from the opened official-practice browser: a pair of rows per
// participant in ranking order (rank and name, then the ranks on each lane of the change
// order, the fastest lap; below them the fastest lap on each lane), TAB-separated, no line
// break after the last row.
std::string trainingTable(ResultsBrowser& browser, const TrackConfig& track);

// The stage of each race series 1..count as the lane-distribution table places them.
std::vector<ProgressionStage> raceStages(int seriesCount, const Distribution& distribution);

// One heading line, then one line per participant of each race series (of the
// repechages only when `repechagesOnly`): series, stage, number, name, start lane, and
// the rank, laps and fastest lap after the series' last heat.
std::string raceTable(ResultsBrowser& race, const std::vector<ProgressionStage>& stages,
                      bool repechagesOnly, int language);

// Writes the files above into the event folder and returns their paths: the training
// table when the event has official practice, the race tables when it has race series
// and the track's lane-distribution table exists.
std::expected<std::vector<fs::path>, std::string>
writeResultTables(const EventFiles& event, std::vector<std::string>& problems);

} // namespace cronovolta
