#pragma once

#include "heat/lane_rotation.h"
#include "storage/event_files.h"
#include "storage/file_io.h"

#include <string>

namespace cronovolta {

// Which programme of which event to open.
struct ProgrammeRequest {
    fs::path dataDir;
    int event = 0; // 1-based; practice may run without an event (0)
    ProgrammeType programmeType = ProgrammeType::Practice;
    int seriesNumber = 1;       // 1-based within the programme type (1 for practice)
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
    CloseProgramme,    // button 0 or Esc: call closeProgramme()
    OpenNextSeries,    // Shift+Esc: call openNextSeries()
    ListLaps,          // button 1
    Print,             // button 2
    Correct,           // button 3
    AskCancel,         // button 4: ask cancelQuestion(), then cancelLastHeat()
    EnterLapFractions, // button 5: comes mode is on until lapFractionEntryClosed()
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
    virtual void lapFractionEntryDue(LapFractionEntry /*entry*/) {}
    // Something the organiser must know: a file that could not be written, for example.
    virtual void problem(const std::string& /*message*/) {}
};

} // namespace cronovolta
