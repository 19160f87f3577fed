#pragma once

#include "results/entrants_model.h"
#include "results/results_source.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/heat_result_record.h"
#include "storage/participant_list.h"
#include "storage/track_config.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace cronovolta::test {

// Test set-up that cannot go on: thrown, so that both test frameworks report it.
inline void check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

// A data folder with one event ("Open Sabadell") on a track of `lanes` lanes; with `table`, the
// lane-distribution table of that track is in the data folder.
class EventFolder {
public:
    explicit EventFolder(int lanes, const std::string& table = {}) {
        TrackConfig track = defaultTrackConfig();
        track.lanes = static_cast<std::int16_t>(lanes);
        track.laneChangeOrder.assign(static_cast<std::size_t>(lanes) + 1, 0);
        for (int i = 1; i <= lanes; ++i) {
            track.laneChangeOrder[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i);
        }
        deriveTrackConfig(track);
        check(saveTrackConfig(data() / kTrackFileName, track).has_value(), "track");
        if (!table.empty()) {
            writeBytes(data() / distributionTableName(lanes), table);
        }
        EventManager manager(data());
        check(manager.createEvent("Open Sabadell", "01-02-2026").value_or(0) == 1, "event");
    }

    const fs::path& data() const { return m_dir.path(); }
    fs::path event() const { return eventFolder(data(), 1); }

    int addSeries(ProgrammeType programmeType) {
        EventManager manager(data());
        return manager.addSeries(1, programmeType).value_or(0);
    }

    // The series' list and one heat in which participant i (1-based) has `totals[i-1]`
    // laps and fastest lap `fastest[i-1]`, on lane (i - 1) % lanes + 1.
    void writeOneHeat(ProgrammeType programmeType, int seriesNumber,
                      const std::vector<std::string>& names, const std::vector<float>& totals,
                      const std::vector<float>& fastest, int lanes) {
        ParticipantList list;
        list.heatsDone = 1;
        list.names = names;
        check(writeParticipantList(participantFile(event(), programmeType, seriesNumber), list)
                  .has_value(),
              "list");
        std::vector<HeatResultRecord> recs(1);
        recs[0].lane = 1;
        recs[0].adjustments = static_cast<std::int16_t>(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            HeatResultRecord r;
            r.participant = static_cast<std::int16_t>(i + 1);
            r.seriesLaps = totals[i];
            r.heatLaps = totals[i];
            r.fastestLap = fastest[i];
            r.heatFastestLap = fastest[i];
            r.crossingTime = 100.0f + static_cast<float>(i);
            r.lane = static_cast<std::int16_t>(static_cast<int>(i) % lanes + 1);
            recs.push_back(r);
        }
        check(
            writeHeatResultFile(event() / seriesFileName(programmeType, seriesNumber, ".DAD"), recs)
                .has_value(),
            "heats");
    }

    // The list screen's context for a list of this event, as the main window opens it.
    EntrantsContext listContext(ProgrammeType programmeType, int seriesNumber) const {
        auto files = openEventFiles(data(), 1);
        check(files.has_value(), "event files");
        EntrantsContext ctx;
        ctx.dataDir = data();
        ctx.eventDir = event();
        ctx.eventName = files->eventName;
        ctx.programmeType = programmeType;
        ctx.seriesNumber = seriesNumber;
        ctx.track = files->track;
        return ctx;
    }

private:
    TempDir m_dir;
};

} // namespace cronovolta::test
