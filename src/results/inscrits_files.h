#pragma once

#include "results/inscrits_model.h"

#include <expected>
#include <string>
#include <vector>

namespace cronovolta {

// The file the screen edits in its context: "PROVA.PAR" of the data folder or of the
// event, or the series' own list.
fs::path inscritsFile(const InscritsContext& ctx);

struct InscritsOpened {
    InscritsModel model;
    std::vector<std::string> notes; // damaged files, read as far as they are sound
};

// Loads the edited list and the source list of the screen.
std::expected<InscritsOpened, std::string> openInscrits(InscritsContext ctx);

struct InscritsSaved {
    fs::path file;
    bool deleted = false; // an entrant list without any name leaves no file
    bool heatsResized = false;
    bool penaltiesShrunk = false;
    std::vector<std::string> notes;
};

// Saves the screen's rows ("&Gravar").
std::expected<InscritsSaved, std::string> saveInscrits(const InscritsModel& model);

// Writes a series list and, when its count changed from `storedCount`, shrinks or extends
// the series' heat data and shrinks its penalties to match.
std::expected<InscritsSaved, std::string> saveSeriesList(const fs::path& eventDir,
                                                         ProgrammeType programa, int serie,
                                                         const ParticipantList& list,
                                                         int storedCount);

} // namespace cronovolta
