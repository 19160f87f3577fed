#pragma once

// A data folder with one event, the main window and the heat session on it, for the flows
// of the live heats. COM1 is a pseudo-terminal: idle unless a test plays a counter on it.

#include "counter/pseudo_terminal.h"
#include "heat/clock.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/main_window.h"
#include "storage/event_manager.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "storage/program_settings.h"
#include "storage/track_config.h"
#include "storage/ui_context.h"
#include "support/qt/qt_test_support.h"
#include "support/temp_dir.h"

#include <QListWidget>
#include <QTest>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta::test {

struct LiveFixture {
    TempDir dir;
    UiContext ui;
    ScriptedAsker asker;
    std::optional<PseudoTerminal> pty;
    ManualClock clock{36000.0};
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<HeatSession> session;

    // `lanes` in order 1..N on one circuit at COM1; each race series gets `participants`.
    LiveFixture(int lanes, int participants, int raceSeries = 1, float minimumLap = 0.0f) {
        ui.app.dataDir = dir.path();
        ui.app.programConfig = defaultProgramSettings();
        ui.app.programConfig.counterModel = CounterModel::DS300;
        saveProgramSettings(dir.path() / "ZENTOR.CFG", ui.app.programConfig);
        TrackConfig track = defaultTrackConfig();
        track.lanes = track.storedLanes = static_cast<std::int16_t>(lanes);
        track.laneChangeOrder.assign(1, 0);
        for (int i = 1; i <= lanes; ++i) {
            track.laneChangeOrder.push_back(static_cast<std::int16_t>(i));
        }
        track.circuits = {{1, 1}};
        track.minimumLap = minimumLap;
        deriveTrackConfig(track);
        saveTrackConfig(dir.path() / "PISTA.CFG", track);

        EventManager(dir.path()).createEvent("Gran Premi", "07-12-2026");
        ensureSeries(ProgrammeType::Race, raceSeries);
        for (int s = 1; s <= raceSeries; ++s) {
            writeParticipants(ProgrammeType::Race, s, participants);
        }
        auto opened = PseudoTerminal::open();
        if (opened) {
            pty.emplace(std::move(*opened));
        }
    }

    ~LiveFixture() {
        session.reset();
        window.reset();
    }

    fs::path eventDir() const { return eventFolder(dir.path(), 1); }

    // At least `count` series of the programme type in the event (a new event may have some).
    void ensureSeries(ProgrammeType programmeType, int count) {
        auto header = readEventHeader(eventDir() / "PROVA.DAD");
        const int existing =
            header ? header->header.seriesCounts[static_cast<std::size_t>(index(programmeType) - 1)]
                   : 0;
        for (int s = existing; s < count; ++s) {
            EventManager(dir.path()).addSeries(1, programmeType);
        }
    }

    void writeParticipants(ProgrammeType programmeType, int seriesNumber, int count) {
        ParticipantList list;
        for (int i = 1; i <= count; ++i) {
            list.names.push_back("Pilot " + std::to_string(i));
        }
        writeParticipantList(participantFile(eventDir(), programmeType, seriesNumber), list);
    }

    // The main window with the event and the first series of `programmeType` selected, and the
    // session on it, reading COM1 from the pseudo-terminal.
    void start(ProgrammeType programmeType = ProgrammeType::Race, bool manualClock = true) {
        window = std::make_unique<MainWindow>(ui, asker);
        window->loadCatalog();
        window->selectEvent(0);
        if (programmeType >= ProgrammeType::FreePractice) {
            window->selectSeries(programmeType, 0);
        }
        session = std::make_unique<HeatSession>(*window, ui, asker);
        if (manualClock) {
            session->setClock([this] { return clock.now(); });
        }
        if (pty) {
            session->setPortOverride(1, QString::fromStdString(pty->devicePath()));
        }
    }

    // A crossing `seconds` after the previous moment, through the "Manual" menu's lane.
    void cross(int lane, double seconds) {
        clock.advance(seconds);
        session->manualCrossing(lane);
    }

    std::vector<LapRecord> lapFile(int seriesNumber = 1) const {
        auto file =
            readLapFile(eventDir() / seriesFileName(ProgrammeType::Race, seriesNumber, ".VAV"));
        return file ? file->records : std::vector<LapRecord>{};
    }

    int storedHeats(int seriesNumber = 1) const {
        auto list =
            readParticipantList(participantFile(eventDir(), ProgrammeType::Race, seriesNumber));
        return list ? list->heatsDone : -1;
    }
};

// Lap and rejected-crossing records of one heat's block in a lap file, found along the
// chain of heat headers (a header's count covers itself and the records before its end
// record).
inline std::vector<LapRecord> crossingsOfHeat(const std::vector<LapRecord>& records, int heat) {
    std::size_t i = 0;
    while (i < records.size() && records[i].lane == 0 && records[i].laps > 0) {
        const auto count = static_cast<std::size_t>(records[i].laps);
        if (static_cast<int>(records[i].lapTime) == heat) {
            std::vector<LapRecord> out;
            for (std::size_t k = i + 1; k < i + count && k < records.size(); ++k) {
                if (records[k].lane > 0) {
                    out.push_back(records[k]);
                }
            }
            return out;
        }
        i += count + 1;
    }
    return {};
}

} // namespace cronovolta::test
