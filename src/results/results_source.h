#pragma once

#include "results/classification.h"
#include "results/results_browser.h"
#include "storage/file_io.h"
#include "storage/track_config.h"

#include <array>
#include <expected>
#include <memory>
#include <string>
#include <vector>

namespace cronovolta {

// What the result screens need to know of an event: its folder, name, series counts,
// its own track configuration and the language of the program settings.
struct EventFiles {
    fs::path dataDir;
    fs::path eventDir;
    int event = 0;
    std::string eventName;
    std::string eventDate;
    std::array<int, 5> seriesCounts{1, 0, 0, 0, 0};
    TrackConfig track;
    int language = 0;
    std::vector<int> colours; // QBColor numbers of the colour slots 1..5
    // Settings files that could not be read, and what was used instead.
    std::vector<std::string> problems;
};

// Reads "PROVA.DAD", the event's "PISTA.CFG" (the data folder's when the event has none)
// and the language of "ZENTOR.CFG".
std::expected<EventFiles, std::string> openEventFiles(const fs::path& dataDir, int event);

// Problems met while reading series files, in the order met; shared by the loader and
// whoever reports them.
using FileProblems = std::shared_ptr<std::vector<std::string>>;

// Reads the ".PAR", ".PEN" and ".DAD" of one series. A missing file reads as empty; an
// unreadable or damaged one is reported in `problems` and read as far as it is sound.
SeriesData loadSeriesData(const fs::path& eventDir, ProgrammeType programmeType, int seriesNumber,
                          std::vector<std::string>& problems);

// A loader of the event's series of one programme for the results browser.
SeriesLoader seriesFileLoader(fs::path eventDir, ProgrammeType programmeType,
                              FileProblems problems);

// A browser over the event's series files, not yet opened. `activeSeriesNumber` is the series
// selected in the main window; `heatPreset` the heat count while the heat panel shows.
ResultsBrowser makeResultsBrowser(const EventFiles& event, ProgrammeType programmeType,
                                  int activeSeriesNumber, FileProblems problems,
                                  std::optional<int> heatPreset = std::nullopt);

// The file problems and the heat-reading issues of the browser's last load, described in
// `language` (-1: English, for the command line).
std::vector<std::string> describeProblems(const ResultsBrowser& browser,
                                          const std::vector<std::string>& fileProblems,
                                          int language);

} // namespace cronovolta
