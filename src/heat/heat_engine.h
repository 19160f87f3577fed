#pragma once

#include "counter/heat_control.h"
#include "heat/clock.h"
#include "heat/heat_events.h"
#include "heat/heat_journal.h"
#include "heat/heat_panel.h"
#include "heat/heat_texts.h"
#include "heat/lane_rotation.h"
#include "heat/lap_adjustments.h"
#include "heat/lap_lanes.h"
#include "heat/standings_grid.h"
#include "heat/super_pole.h"
#include "storage/config_pista.h"
#include "storage/config_prg.h"
#include "storage/heat_result_record.h"
#include "storage/participant_list.h"

#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta {

// Which programme of which event to open.
struct ProgrammeRequest {
    fs::path dataDir;
    int event = 0; // 1-based; practice may run without an event (0)
    ProgrammeType programa = ProgrammeType::Practice;
    int serie = 1;              // 1-based within the programme type (1 for practice)
    int seriesCount = 1;        // series of this programme type in the event
    std::string seriesListText; // the series list's text of the series; default its number
};

// Why a programme did not open. The screens say a track with too many lanes in the
// organiser's language; `text` is the problem as the engine words it.
struct OpenProgrammeError {
    enum class Kind { TooManyLanes, Other };
    Kind kind = Kind::Other;
    std::string text;
};

// What a heat key or a heat-panel button asks the screens to do.
enum class HeatCommand {
    None,
    CloseProgramme, // button 0 or Esc: call closeProgramme()
    OpenNextSeries, // Shift+Esc: call openNextSeries()
    ListLaps,       // button 1
    Print,          // button 2
    Correct,        // button 3
    AskCancel,      // button 4: ask cancelQuestion(), then cancelLastHeat()
    EnterComes,     // button 5: comes mode is on until comesEntryClosed()
};

// How a recovery of an interrupted heat went.
enum class RecoveryOutcome {
    Resumed,       // the heat runs on with the laps of its journal
    Completed,     // the journal held the end of the heat: it has been stored now
    AlreadyStored, // the heat had been stored before the program stopped; nothing to do
    NotStarted,    // no programme open, a heat running, or the race is complete
};

// Told about what the screens must follow. Every call is made on the caller's thread,
// inside the engine call that caused it.
class HeatObserver {
public:
    virtual ~HeatObserver() = default;
    virtual void modelsChanged() {}
    // A heat is over: stored, or not stored (heatNotStored came first).
    virtual void heatEnded(int /*heat*/) {}
    // The heat could not be stored in the series files: it does not count. Its laps are kept
    // in a file of their own, or held by the engine until they can be stored (holdsHeat()).
    virtual void heatNotStored(int /*heat*/) {}
    virtual void comesEntryDue(ComesEntry /*entry*/) {}
    // Something the organiser must know: a file that could not be written, for example.
    virtual void problem(const std::string& /*message*/) {}
};

// Heat control: the heat state machine and clock, lap registration and the live
// standings, the lane rotation of a programme's heats, the series files written at the
// end of each heat, and the recovery of an interrupted heat. It holds the models that the
// heat screens show; all times are the PC clock in seconds since midnight, passed in.
class HeatEngine : public HeatControl {
public:
    explicit HeatEngine(ConfigPrg settings);
    ~HeatEngine() override;

    void setObserver(HeatObserver* observer) { m_observer = observer; }
    void setEventListener(HeatEvents* listener) { m_events = listener; }
    const ConfigPrg& settings() const { return m_settings; }

    // --- Programme ---
    std::expected<void, OpenProgrammeError> openProgramme(const ProgrammeRequest& request);
    // Refused (false) while a heat runs. Deletes the lap journal.
    bool closeProgramme();
    // Shift+Esc: the next series of the type, or no programme after the last one.
    std::expected<void, OpenProgrammeError> openNextSeries();
    bool programmeOpen() const { return m_open; }
    const ProgrammeRequest& programme() const { return m_request; }
    const ConfigPista& track() const { return m_track; }
    const ParticipantList& participants() const { return m_participants; }
    int participantCount() const { return static_cast<int>(m_participants.names.size()); }
    // The event folder (or the data folder for practice): where the series files live.
    const fs::path& workFolder() const { return m_workDir; }
    fs::path seriesFile(std::string_view extension) const;

    // --- HeatControl ---
    bool heatPanelShown() const override { return m_panel.shown; }
    bool heatRunning() const override { return m_running; }
    bool heatPaused() const override { return m_paused; }
    void setStartLight(StartLight light) override;
    void setRestartLight(RestartLight light) override;
    void IniciarManiga(double now) override;
    void PausarManiga(double now) override;
    void ReprendreManiga(double now) override;
    void AcabarManiga(double now) override;
    void armHeatEnd(double now) override;
    void RegistrarPas(int lane, float counterTime, double now) override;
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
    void comesEntryClosed();
    bool comesMode() const { return m_comesMode; }
    ComesEntry pendingComesEntry() const { return m_pendingComes; }

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
    int heatNumber() const { return m_heat; }
    float heatStart() const { return m_heatStart; }
    float heatEndDeadline() const { return m_endDeadline; }
    int pauseCount() const { return m_pauseCount; }
    int pilotOnLane(int lane) const;
    const HeatPanelModel& panel() const { return m_panel; }
    const LapLanes& lanes() const { return m_lanes; }
    const StandingsGrid& standings() const { return m_grid; }
    StandingsGrid& standings() { return m_grid; }
    const AbsoluteFastestLap& absoluteFastestLap() const { return m_absolute; }
    const SuperPoleModel& superPole() const { return m_superPole; }
    // Heading texts of the standings grid (column 10's is cleared when no counts apply).
    const std::vector<std::string>& standingsHeadings() const { return m_headings; }
    // Columns shown for the open programme, besides rank, number and name.
    std::vector<int> visibleStandingsColumns() const;
    const std::vector<LapRecord>& journalRecords() const { return m_journal.records(); }
    const HeatTexts& texts() const { return m_texts; }

private:
    // lifecycle
    void resetLanesForHeat();
    void setUpHeat();
    void resetHeatDisplay();
    void setHeatMarker();
    std::optional<int> heatAllowedToStart();
    void startHeatRecords(double now);
    void writeResumeState();
    void writeResumeStart();
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
    void offerComes();
    void enableButtonsAfterHeat();
    bool endDeadlinePassed(double now) const;
    // registration
    double sinceHeatStart(double now) const;
    float crossingTime(int lane, double now) const;
    void rejectCrossing(int lane, int participant, float lapTime, const std::string& clock);
    void addRejectedEntry(int lane, const std::string& clock);
    void standingsUpdate(int lane, int participant, int increment, bool counterResult,
                         bool validTime);
    void heatKeys(int row, int lane);
    void resortStandings(int currentRow);
    void superPoleSensor(int lane, float counterTime, double now);
    void startSuperPoleRun(float crossingTime);
    void finishSuperPoleRun(const std::string& lapText);
    void writeSectorValue(int column, double value, const std::string& text);
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
    fs::path keepAside(const fs::path& file, int heat);
    void replayRecord(const LapRecord& record);
    std::vector<LapAdjustment> heatAdjustments(const LapRecord& header);
    // misc
    // Whole lap totals and heat keys as their texts, formatted once per value.
    const std::string& lapsText(double laps);
    const std::string& wholeText(double value);
    void report(const std::string& message);
    // Appends to the journal; a failing journal is reported once per heat.
    void journalRecord(const LapRecord& record);
    void journalFailure(const std::string& error);
    void changed();
    bool standingsProgramme() const { return hasStandings(m_programa); }

    ConfigPrg m_settings;
    HeatTexts m_texts;
    HeatObserver* m_observer = nullptr;
    HeatEvents* m_events = nullptr;

    bool m_open = false;
    ProgrammeRequest m_request;
    ProgrammeType m_programa = ProgrammeType::Practice;
    fs::path m_workDir;
    ConfigPista m_track;
    ParticipantList m_participants;

    // Heat state.
    bool m_running = false;
    bool m_paused = false;
    int m_pauseCount = 0;
    float m_heatStart = 0.0f;
    float m_pauseStart = 0.0f;
    float m_endDeadline = -99.0f;
    int m_heat = 0;
    bool m_comesMode = false;
    ComesEntry m_pendingComes = ComesEntry::None;
    int m_autoScrollPeriods = 0;
    bool m_shiftHeld = false;
    bool m_recovering = false;
    bool m_journalFailed = false; // the journal on the disk misses records of this heat
    bool m_journalOwned = false;  // "VLTAVLT.TMP" is this opening's own
    std::optional<UnstoredHeat> m_held;
    int m_heatsNotStored = 0;
    float m_recoveryStart = 0.0f;
    bool m_startingByKey = false;
    bool m_counterRun = false;          // the running heat was started by the counter
    std::optional<double> m_keyEndedAt; // the last heat ended with S, and when
    int m_keyEndedHeat = 0;

    // Per-lane arrays, 0 .. highest lane.
    std::vector<std::int16_t> m_pilotPista;
    std::vector<float> m_tempsPas;
    std::vector<float> m_tempsArrossegat;
    std::vector<float> m_tempsInici;
    // The lane's lap running since its last crossing holds some of a pause: its time is not
    // a time driven, so the minimum does not judge it and it is nobody's best lap.
    std::vector<bool> m_lapHoldsPause;

    // Super Pole run state.
    int m_activeLane = 0;
    bool m_splitStored = false;
    float m_splitStoredTime = 0.0f;
    int m_splitStoredLane = 0;

    HeatJournal m_journal;
    AdjustmentJournal m_adjustments;
    HeatPanelModel m_panel;
    LapLanes m_lanes;
    StandingsGrid m_grid;
    AbsoluteFastestLap m_absolute;
    SuperPoleModel m_superPole;
    std::vector<std::string> m_headings;
    std::vector<std::string> m_layoutHeadings;
    std::vector<std::string> m_lapsTexts; // by whole lap total; "\x01" not yet formatted
    std::vector<std::string> m_keyTexts;  // by 1 - heat laps, negated
    std::string m_scratchText;
    ColourSlots m_colours;
    RecoveryOutcome m_recoveryOutcome = RecoveryOutcome::Resumed;
    std::vector<LapRecord> m_replayEnd;
    std::optional<float> m_endMoment; // the end of a recovered heat that had ended
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
