#pragma once

#include "cli_common.h"

#include "heat/heat_engine.h"
#include "storage/platform.h"

#include <expected>

namespace cronovolta::cli {

// One function per command word; each lives in the cli_<area>.cpp of its subsystem.
int cmdEvents(const Invocation& inv);
int cmdEvent(const Invocation& inv);
int cmdSeries(const Invocation& inv);
int cmdTrack(const Invocation& inv);
int cmdSettings(const Invocation& inv);
int cmdSimulate(const Invocation& inv);
int cmdReplay(const Invocation& inv);
int cmdAnnounce(const Invocation& inv);
int cmdEntrants(const Invocation& inv);
int cmdParticipants(const Invocation& inv);
int cmdClassify(const Invocation& inv);
int cmdServe(const Invocation& inv);
int cmdArchive(const Invocation& inv);
int cmdUnarchive(const Invocation& inv);
int cmdExport(const Invocation& inv);
int cmdResultTables(const Invocation& inv);
int cmdCorrect(const Invocation& inv);
int cmdLapFractions(const Invocation& inv);
int cmdPenalty(const Invocation& inv);
int cmdLaps(const Invocation& inv);
int cmdPrint(const Invocation& inv);

// `series add EVENT CRS` on a track with a lane-distribution table: the automatic
// progression creates the next stage's series and prints them, one line per series (its
// number, then its names, tab-separated). nullopt: nothing placed, add the series as usual.
std::optional<int> addRaceSeriesByProgression(const Invocation& inv, int event);

// The program settings of the data folder, or the defaults (with a note) when unreadable.
ProgramSettings programSettings(const Invocation& inv);

// EVENT TYPE SERIES CAPTURE of the commands that run heats from a capture.
struct ReplayRequest {
    int event = 0;
    ProgrammeType type = ProgrammeType::Practice;
    int seriesNumber = 1;
    int seriesCount = 1;
    std::string capture;
    bool recover = false;
    // Without --recover: an interrupted heat is refused unless --discard sets it aside. A
    // replay into a scratch copy of the folder (announce) has nothing to guard.
    bool discard = false;
    bool guardInterrupted = true;
};
// On failure, the exit code after the usage or the message has been printed.
std::expected<ReplayRequest, int> parseReplayRequest(const Invocation& inv,
                                                     const std::vector<std::string>& words,
                                                     const std::string& synopsis);
// Plays the capture through an engine whose observers are attached already.
int runReplay(const Invocation& inv, const ReplayRequest& request, HeatEngine& engine);

} // namespace cronovolta::cli
