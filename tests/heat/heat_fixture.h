#pragma once

#include "heat/heat_engine.h"
#include "heat/series_files.h"
#include "storage/event_files.h"
#include "storage/heat_result_record.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace cronovolta::test {

struct RecordingObserver : HeatObserver {
    std::vector<int> ended;
    std::vector<LapFractionEntry> lapFraction;
    std::vector<std::string> problems;
    void heatEnded(int heat) override { ended.push_back(heat); }
    void lapFractionEntryDue(LapFractionEntry entry) override { lapFraction.push_back(entry); }
    void problem(const std::string& message) override { problems.push_back(message); }
};

// An event folder with its track and one series, and an engine on it. Times are seconds
// since midnight; heats start at 10:00:00 unless a test says otherwise.
struct HeatFixture : ::testing::Test {
    TempDir dir;
    TrackConfig track = defaultTrackConfig();
    ProgramSettings settings = defaultProgramSettings();
    std::unique_ptr<HeatEngine> engine;
    RecordingObserver observer;
    ProgrammeType programmeType = ProgrammeType::Race;
    static constexpr double kT0 = 36000.0;

    fs::path eventDir() const { return eventFolder(dir.path(), 1); }

    void setTrack(std::vector<std::int16_t> order, float minimumLap = 0.0f) {
        track.lanes = static_cast<std::int16_t>(order.size());
        track.storedLanes = track.lanes;
        order.insert(order.begin(), 0);
        track.laneChangeOrder = order;
        track.minimumLap = minimumLap;
        track.circuits = {{1, 1}};
        deriveTrackConfig(track);
    }

    static std::vector<std::string> names(int count) {
        std::vector<std::string> out;
        for (int i = 1; i <= count; ++i) {
            out.push_back("Pilot " + std::to_string(i));
        }
        return out;
    }

    void writeSeries(ProgrammeType type, std::vector<std::string> participants,
                     int seriesNumber = 1, int heatCounter = 0) {
        programmeType = type;
        fs::create_directories(eventDir());
        ASSERT_TRUE(saveTrackConfig(eventDir() / "PISTA.CFG", track));
        ParticipantList list;
        list.heatsDone = static_cast<std::int16_t>(heatCounter);
        list.names = std::move(participants);
        ASSERT_TRUE(writeParticipantList(participantFile(eventDir(), type, seriesNumber), list));
    }

    void open(int seriesNumber = 1, int seriesCount = 1) {
        engine = std::make_unique<HeatEngine>(settings);
        engine->setObserver(&observer);
        auto opened =
            engine->openProgramme({dir.path(), 1, programmeType, seriesNumber, seriesCount, ""});
        ASSERT_TRUE(opened) << opened.error().text;
    }

    void start(double at = kT0) { engine->handleKey('S', at); }
    void cross(int lane, double at, float counter = 0.0f) {
        engine->registerCrossing(lane, counter, at);
    }
    // The counter's end signal, and the clock ticks until the heat is over.
    void endHeat(double at) {
        engine->armHeatEnd(at);
        for (double t = at; engine->heatRunning() && t < at + 10.0; t += 0.5) {
            engine->tick(t);
        }
    }

    fs::path seriesPath(const char* ext, int seriesNumber = 1) const {
        return eventDir() / seriesFileName(programmeType, seriesNumber, ext);
    }
    std::vector<LapRecord> lapFile(int seriesNumber = 1) const {
        auto f = readLapFile(seriesPath(".VAV", seriesNumber));
        return f ? f->records : std::vector<LapRecord>{};
    }
    std::vector<HeatResultRecord> resultFile(int seriesNumber = 1) const {
        auto f = readHeatResultFile(seriesPath(".DAD", seriesNumber));
        return f ? f->records : std::vector<HeatResultRecord>{};
    }
    std::vector<LapRecord> journal() const {
        auto f = readLapFile(engine->workFolder() / "VLTAVLT.TMP");
        return f ? f->records : std::vector<LapRecord>{};
    }
    int heatCounter(int seriesNumber = 1) const {
        auto list = readParticipantList(participantFile(eventDir(), programmeType, seriesNumber));
        return list ? list->heatsDone : -1;
    }
    const LanePanel& lane(int l) const { return engine->lanes().panel(l); }
    // The standings row of a participant.
    int row(int participant) const { return engine->standings().findParticipant(participant); }
    std::string cell(int participant, int column) const {
        return engine->standings().text(row(participant), column);
    }
};

} // namespace cronovolta::test
