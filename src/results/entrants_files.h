#pragma once

#include "results/entrants_model.h"

#include <expected>
#include <string>
#include <vector>

namespace cronovolta {

// The file the screen edits in its context: "PROVA.PAR" of the data folder or of the
// event, or the series' own list.
fs::path entrantsFile(const EntrantsContext& ctx);

struct EntrantsOpened {
    EntrantsModel model;
    std::vector<std::string> notes; // damaged files, read as far as they are sound
};

// Loads the edited list and the source list of the screen.
std::expected<EntrantsOpened, std::string> openEntrants(EntrantsContext ctx);

struct EntrantsSaved {
    fs::path file;
    bool deleted = false; // an entrant list without any name leaves no file
    bool heatsResized = false;
    bool penaltiesShrunk = false;
    std::vector<std::string> notes;
};

// Saves the screen's rows ("&Gravar").
std::expected<EntrantsSaved, std::string> saveEntrants(const EntrantsModel& model);

// Writes a series list and, when its count changed from `storedCount`, shrinks or extends
// the series' heat data and shrinks its penalties to match.
std::expected<EntrantsSaved, std::string>
saveSeriesList(const fs::path& eventDir, ProgrammeType programmeType, int seriesNumber,
               const ParticipantList& list, int storedCount);

} // namespace cronovolta
