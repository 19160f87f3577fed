#pragma once

#include "counter/heat_control.h"
#include "heat/clock.h"
#include "heat/heat_engine_types.h"
#include "heat/heat_events.h"
#include "heat/heat_journal.h"
#include "heat/heat_key_state.h"
#include "heat/heat_panel.h"
#include "heat/heat_records.h"
#include "heat/heat_recovery_run.h"
#include "heat/heat_state.h"
#include "heat/heat_texts.h"
#include "heat/lane_rotation.h"
#include "heat/lane_timers.h"
#include "heat/lap_adjustments.h"
#include "heat/lap_lanes.h"
#include "heat/lap_text_cache.h"
#include "heat/standings_grid.h"
#include "heat/super_pole.h"
#include "heat/super_pole_run.h"
#include "storage/heat_result_record.h"
#include "storage/participant_list.h"
#include "storage/program_settings.h"
#include "storage/track_config.h"

#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta {

// Heat control: the heat state machine and clock, lap registration and the live
// standings, the lane rotation of a programme's heats, the series files written at the
// end of each heat, and the recovery of an interrupted heat. It holds the models that the
// heat screens show; all times are the PC clock in seconds since midnight, passed in.
class HeatEngine : public HeatControl {
public:
    explicit HeatEngine(ProgramSettings settings);
    ~HeatEngine() override;

    void setObserver(HeatObserver* observer) { m_observer = observer; }
    void setEventListener(HeatEvents* listener) { m_events = listener; }
    const ProgramSettings& settings() const { return m_settings; }

    // --- Programme ---
    std::expected<void, OpenProgrammeError> openProgramme(const ProgrammeRequest& request);
    // Refused (false) while a heat runs. Deletes the lap journal.
    bool closeProgramme();
    // Shift+Esc: the next series of the type, or no programme after the last one.
    std::expected<void, OpenProgrammeError> openNextSeries();
    bool programmeOpen() const { return m_open; }
    const ProgrammeRequest& programme() const { return m_request; }
    const TrackConfig& track() const { return m_track; }
    const ParticipantList& participants() const { return m_participants; }
    int participantCount() const { return static_cast<int>(m_participants.names.size()); }
    // The event folder (or the data folder for practice): where the series files live.
    const fs::path& workFolder() const { return m_workDir; }
    fs::path seriesFile(std::string_view extension) const;

    // --- HeatControl ---
    bool heatPanelShown() const override { return m_panel.shown; }
    bool heatRunning() const override { return m_state.running; }
    bool heatPaused() const override { return m_state.paused; }
    void setStartLight(StartLight light) override;
    void setRestartLight(RestartLight light) override;
    void startHeat(double now) override;
    void pauseHeat(double now) override;
    void resumePausedHeat(double now) override;
    void finishHeat(double now) override;
    void armHeatEnd(double now) override;
    void registerCrossing(int lane, float counterTime, double now) override;
    void registerCounterResult(int lane, int laps, float fastestLap, double now) override;

    // --- Clock, keys, buttons ---
    void tick(double now);
    // Character codes, and kKeyShift, kKeyEnter, kKeyEsc for the keys without one.
    HeatCommand handleKey(int key, double now);
    HeatCommand clickButton(int button);
    std::string cancelQuestion() const;
    // S would end a heat that the counter started while its crossings still come in: the
    // counter goes on, and its next start would begin a heat of its own. Ask first.
    bool endByKeyNeedsAsking(double now) const;
    // Button 4 after the organiser said Yes: the last heat is forgotten.
    bool cancelLastHeat();
    // The correction screen opened for comes entry has closed.
    void lapFractionEntryClosed();
    bool lapFractionMode() const { return m_lapFractionMode; }
    LapFractionEntry pendingLapFractionEntry() const { return m_pendingLapFraction; }

    // --- Recovery (the program stopped during a heat) ---
    // Starts the heat again from its journal, with the heat start read from "ZTR4.TMP".
    RecoveryOutcome recoverHeat(float heatStart, double now);

    // --- A heat that could be neither stored nor kept ---
    // Its laps are held in memory (and in "VLTAVLT.TMP" as far as the disk took them); no
    // heat starts until they are stored or kept. Every start, and closing the programme,
    // tries again.
    bool holdsHeat() const { return m_held.has_value(); }
    // Heats that ended and were not stored, since the engine was made.
    int heatsNotStored() const { return m_heatsNotStored; }
    int heldHeat() const { return m_held ? m_held->heat : 0; }
    // "VLTAVLT.TMP" holds every record of the held heat, so a recovery can store it.
    bool heldJournalWhole() const { return m_held && m_held->journalWhole; }

    // --- Standings from the series files (window opening, cancel, corrections) ---
    void rebuildStandings();
    // The series' penalties read again (after the penalties screen): the race standings rank
    // by the laps less them, as the classification does; the stored heats keep their laps.
    void reloadPenalties();

    // --- State and models ---
    int heatNumber() const { return m_state.heat; }
    float heatStart() const { return m_state.heatStart; }
    float heatEndDeadline() const { return m_state.endDeadline; }
    int pauseCount() const { return m_state.pauseCount; }
    int driverOnLane(int lane) const { return m_timers.driverOnLane(lane); }
    const HeatPanelModel& panel() const { return m_panel; }
    const LapLanes& lanes() const { return m_lanes; }
    const StandingsGrid& standings() const { return m_grid; }
    StandingsGrid& standings() { return m_grid; }
    const AbsoluteFastestLap& absoluteFastestLap() const { return m_absolute; }
    const SuperPoleModel& superPole() const { return m_superPole.model(); }
    // Heading texts of the standings grid (column 10's is cleared when no counts apply).
    const std::vector<std::string>& standingsHeadings() const { return m_headings; }
    // Columns shown for the open programme, besides rank, number and name.
    std::vector<int> visibleStandingsColumns() const;
    const std::vector<LapRecord>& journalRecords() const { return m_records.journal.records(); }
    const HeatTexts& texts() const { return m_texts; }

private:
    // programme
    std::expected<void, OpenProgrammeError> loadProgramme(const ProgrammeRequest& request);
    void layOutProgramme(const ProgrammeRequest& request);
    void layOutPanel(const ProgrammeRequest& request);
    // lifecycle
    void resetLanesForHeat();
    void setUpHeat();
    void resetHeatDisplay();
    void setHeatMarker();
    std::optional<int> heatAllowedToStart();
    void startHeatPanel();
    bool resumeRecoveredHeat();
    void startHeatRecords(double now);
    void writeResumeState();
    struct UnstoredHeat {
        int heat = 0;
        float heatStart = 0.0f;
        std::vector<LapRecord> records;
        std::vector<HeatResultRecord> rows;
        bool journalWhole = false; // "VLTAVLT.TMP" holds every record
    };
    bool finishHeatFiles();
    bool storeHeat(const UnstoredHeat& heat);
    bool keepUnstoredJournal(const UnstoredHeat& heat);
    bool settleHeldHeat();
    bool setAsideInterruptedJournal();
    void removeResumeFile();
    std::string seriesName() const;
    void offerLapFractions();
    void enableButtonsAfterHeat();
    // registration
    double sinceHeatStart(double now) const { return m_state.sinceStart(now); }
    float crossingTime(int lane, double now) const {
        return m_timers.crossingTime(lane, sinceHeatStart(now));
    }
    void rejectCrossing(int lane, int participant, float lapTime, const std::string& clock);
    void addRejectedEntry(int lane, const std::string& clock);
    void standingsUpdate(int lane, int participant, int increment, bool counterResult,
                         bool validTime);
    void fastestLapUpdate(int r, int lane);
    void heatKeys(int row, int lane);
    void resortStandings(int currentRow);
    void superPoleSensor(int lane, float counterTime, double now);
    void startSuperPoleRun(float crossingTime);
    // keys
    HeatCommand idleKey(int key, bool shift);
    void adjustmentKey(int key);
    void applyLapAdjustment();
    bool adjustLaps(int lane, int amount);
    // Called by every heat start: notes who started it and whether the panel must say why.
    void noteHeatStart(double now);
    // standings rebuild
    void entryMarksAndHeatCounts();
    void scanAbsoluteFastestLap();
    void seedSectorReferences();
    void entryStandingsRow(int row, int participant);
    std::vector<float> seriesPenalties();
    std::string participantName(int participant) const;
    // recovery
    RecoveryOutcome replayJournal();
    std::vector<LapRecord> readRecoveryJournal(const fs::path& journal, const fs::path& backup,
                                               bool& dropBackup);
    bool journalHeatStored(std::vector<LapRecord>& records, const fs::path& journal);
    void replayRecords(const std::vector<LapRecord>& records);
    fs::path keepAside(const fs::path& file, int heat);
    void replayRecord(const LapRecord& record);
    std::vector<LapAdjustment> heatAdjustments(const LapRecord& header);
    // misc
    const std::string& lapsText(double laps) { return m_lapTexts.lapsText(laps, m_track); }
    const std::string& wholeText(double value) { return m_lapTexts.wholeText(value); }
    void report(const std::string& message);
    // Appends to the journal; a failing journal is reported once per heat.
    void journalRecord(const LapRecord& record);
    void journalFailure(const std::string& error);
    void changed();
    bool standingsProgramme() const { return hasStandings(m_programmeType); }

    ProgramSettings m_settings;
    HeatTexts m_texts;
    HeatObserver* m_observer = nullptr;
    HeatEvents* m_events = nullptr;

    // The open programme.
    bool m_open = false;
    ProgrammeRequest m_request;
    ProgrammeType m_programmeType = ProgrammeType::Practice;
    fs::path m_workDir;
    TrackConfig m_track;
    ParticipantList m_participants;

    // The parts: the heat's state, the lanes' timers, the Super Pole, the keys, a recovery.
    HeatState m_state;
    LaneTimers m_timers;
    SuperPoleRun m_superPole;
    HeatKeyState m_keys;
    HeatRecoveryRun m_recovery;

    // After a heat: comes entry.
    bool m_lapFractionMode = false;
    LapFractionEntry m_pendingLapFraction = LapFractionEntry::None;

    // The heat's records and what became of them.
    HeatRecords m_records;
    std::optional<UnstoredHeat> m_held;
    int m_heatsNotStored = 0;

    // The models the screens show.
    HeatPanelModel m_panel;
    LapLanes m_lanes;
    StandingsGrid m_grid;
    AbsoluteFastestLap m_absolute;
    std::vector<std::string> m_headings;
    std::vector<std::string> m_layoutHeadings;
    LapTextCache m_lapTexts;
    ColourSlots m_colours;
};

// A time of day as it reads back from the text of "ZTR4.TMP" (seven significant digits):
// the heat start is kept at that value so a recovered heat goes on from the same instant.
float storableTime(double seconds);
// The same, never later than `seconds`: a start moved by a pause keeps the heat clock from
// stepping back.
float storableTimeNotAfter(double seconds);

// The start a heat's journal resumes from: its header's start moved on by every pause.
float journalHeatStart(const std::vector<LapRecord>& records);

} // namespace cronovolta
