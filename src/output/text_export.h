#pragma once

#include "results/results_browser.h"
#include "storage/file_io.h"

#include <functional>
#include <optional>
#include <string>

namespace cronovolta {

struct EventFiles;

// What the file screen shows while the export runs: the event line once, then before
// each of the 18 steps its number and what is being written.
struct ExportProgress {
    std::function<void(const std::string& info)> info;
    std::function<void(int step, int steps, const std::string& work)> step;
};

// The results browser of a programme type, opened; nullopt when the programme has no
// series (its heat selector is disabled and the programme is left out).
using BrowserSource = std::function<std::optional<ResultsBrowser>(ProgrammeType programmeType)>;

struct ExportOptions {
    int language = 0;
    bool separateGrids = false; // "Voltes i V.Ràpides en quadrants separats"
    std::string eventLine;      // "Exportant a TXT Open (01-02-2026)", for the progress
    // When set, whole lines are handed to it as the text grows, and the text returned is
    // what is left: a damaged event may export tens of megabytes.
    std::function<void(std::string_view lines)> sink;
};

// The export of official practice, Super Pole and race as UTF-8 text with CR LF line ends.
std::string exportText(const BrowserSource& source, const ExportOptions& options,
                       const ExportProgress& progress = {});

// `exportEvent`: the event's export written to `target` in Windows-1252, replaced
// atomically. Problems met in the series files are added to `problems`.
IoResult exportEvent(const EventFiles& event, const fs::path& target, bool separateGrids,
                     std::vector<std::string>& problems, const ExportProgress& progress = {});

} // namespace cronovolta
