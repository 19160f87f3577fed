#pragma once

#include "live/live_snapshot.h"
#include "storage/event_files.h"
#include "storage/file_io.h"

#include <expected>
#include <string>
#include <vector>

namespace cronovolta::live {

// The classification of one series (or all, `seriesNumber` 0) of a programme type of an event,
// as the classify command of the command line lists it.
struct LiveClassification {
    int event = 0;
    std::string eventName;
    ProgrammeType programmeType = ProgrammeType::Practice;
    int seriesNumber = 0;
    std::vector<std::string> titles; // of every column of the list
    std::string align;               // 'l', 'c' or 'r' per column
    std::vector<bool> shown;         // the columns the results screen shows for the criterion
    std::vector<std::vector<std::string>> rows; // every column; "no time" is empty
    std::vector<std::string> problems;          // files read only in part
};

std::expected<LiveClassification, std::string> loadLiveClassification(const fs::path& dataDir,
                                                                      int event,
                                                                      ProgrammeType programmeType,
                                                                      int seriesNumber);

// The API's text: the rows as objects keyed by stable English column names.
std::string classificationJson(const LiveClassification& list);
// The page's table: the columns the results screen shows.
LiveTable classificationTable(const LiveClassification& list);

// The page's context for a selected series: the event's name and, for programme types
// 2..4, the series' classification (`seriesNumber` 0: all series). What cannot be read is left out.
LiveContext selectionContext(const fs::path& dataDir, int event, ProgrammeType programmeType,
                             int seriesNumber, int language);

// What `cronovolta-cli serve` shows without a selection: the last event of the folder and
// the classification of all series of its highest programme type that has series.
struct ServeSelection {
    int event = 0;
    ProgrammeType programmeType = ProgrammeType::Race;
    int seriesNumber = 0;
};
ServeSelection defaultServeSelection(const fs::path& dataDir);

// Keys of the classification's columns in the API, in column order.
const std::vector<std::string>& classificationKeys();

} // namespace cronovolta::live
