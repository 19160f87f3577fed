#pragma once

#include "storage/event_files.h"
#include "storage/participant_list.h"
#include "storage/program_settings.h"
#include "storage/track_config.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <expected>
#include <string>

namespace cronovolta {

// The state of one run that every part of the program shares. It is created at start-up
// and handed down explicitly; nothing keeps a copy of its own.
struct AppContext {
    fs::path dataDir; // where ZENTOR.CFG, PISTA.CFG, PROVES.LLS and the events live
    ActiveSelection activeSelection;
    // Series per programme type 0..4; practice always has exactly one.
    std::array<std::int16_t, 5> seriesCounts{1, 0, 0, 0, 0};
    TrackConfig trackConfig;
    ProgramSettings programConfig;
    ParticipantList activeParticipants; // the active series, padded to the lanes
    bool abnormalEnd = false;           // the last run did not close the main window

    fs::path dataFile(std::string_view name) const { return dataDir / name; }
    // The folder of the active event; empty without one.
    fs::path activeEventDir() const {
        return activeSelection.event > 0 ? eventFolder(dataDir, activeSelection.event) : fs::path{};
    }
    // Counts of an event header; a corrupt negative count means no series.
    void setSeriesCounts(const EventHeader& header) {
        seriesCounts[0] = 1;
        for (std::size_t t = 0; t < 4; ++t) {
            seriesCounts[t + 1] = std::max<std::int16_t>(header.seriesCounts[t], 0);
        }
    }
};

// Loads the active event's series counts from its "PROVA.DAD".
std::expected<void, std::string> loadEventSeriesCounts(AppContext& context);

// Loads `LlistaParticipants` of the active series (padded to the track's lanes) and its
// heat counter into the selection. A missing file gives empty names and counter 0.
std::expected<void, std::string> loadActiveSeries(AppContext& context);

} // namespace cronovolta
