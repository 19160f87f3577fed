#pragma once

#include "storage/event_files.h"
#include "storage/rename_journal.h"

#include <expected>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// What went wrong with an event operation. The kind lets a screen show its own localised
// text (a missing name); the message is ready for the organiser otherwise.
struct EventError {
    enum Kind {
        MissingName, // "Falta el nom de la prova"
        InvalidText, // too long for its 16-bit length, or a control character
        NoSuchEvent,
        NoSuchSeries,
        NoTrack,      // the data folder has no PISTA.CFG to copy
        RenameFailed, // a folder or file could not be renamed; everything was put back
        Io,
    };
    Kind kind;
    std::string message;
};

template <typename T> using EventResult = std::expected<T, EventError>;

// Creates, changes and deletes events and series in the data folder, keeping events
// numbered without gaps, series numbered without gaps per programme type and the counts in
// "PROVA.DAD" matching the series files. Operations that change the events rebuild the
// catalogue; the catalogue is removed first, so an interrupted operation leaves none and
// the next load rebuilds it from the folders.
class EventManager {
public:
    using RenameFunction = cronovolta::RenameFunction;

    // Deletions go through a rename journal in the data folder (see RenameJournal).
    explicit EventManager(fs::path dataDir, RenameFunction rename = {}, StepGate gate = {});

    // Name and date trimmed of blanks; an empty name, a text too long for its 16-bit
    // length or one with control characters is refused.
    static EventResult<CatalogEntry> checkEventText(std::string_view name, std::string_view date);

    int eventCount() const { return countEventFolders(m_dataDir); }

    // New event after the last one: its folder, its copy of the data folder's PISTA.CFG,
    // its header and its catalogue entry. Returns the new event number. Nothing is left
    // behind when a step fails.
    EventResult<int> createEvent(std::string_view name, std::string_view date);
    // 0 when the distribution table of that many lanes is in the data folder, else 1.
    int initialSeriesCount(int lanes) const;

    EventResult<void> modifyEvent(int event, std::string_view name, std::string_view date);

    // Deletes the event's folder and numbers the following folders one down. If a rename
    // fails, the renames already done are undone and the event is kept. The returned text
    // is a warning ("" when none), for a deleted event whose files could not all be removed.
    EventResult<std::string> deleteEvent(int event);

    // Programme types 1..4. Returns the new series number.
    EventResult<int> addSeries(int event, ProgrammeType programmeType);
    // Deletes the series' .PAR, .DAD, .VAV and .PEN files, numbers the following series one
    // down and lowers the count. A failed rename undoes everything.
    EventResult<std::string> deleteSeries(int event, ProgrammeType programmeType, int seriesNumber);

    // Finishes (or, when it can no longer be finished, undoes) a deletion that a stopped
    // run left half-way, and rebuilds the catalogue; nullopt when nothing was left.
    std::optional<RenameOutcome> finishInterruptedDeletion();

private:
    struct SeriesEvent {
        fs::path folder;
        EventHeader header;
    };

    EventResult<fs::path> existingEvent(int event) const;
    // The folder and header of an event whose series of programme type 1..4 change.
    EventResult<SeriesEvent> seriesEvent(int event, ProgrammeType programmeType) const;
    EventResult<EventHeader> readCounts(const fs::path& eventDir) const;
    EventResult<void> updateCatalogAfterCreate(int event, const CatalogEntry& entry);
    EventResult<std::string> runDeletion(const std::vector<RenameStep>& plan,
                                         std::string_view whatKept);

    fs::path m_dataDir;
    RenameFunction m_rename;
    StepGate m_gate;
};

// The outcome of finishInterruptedDeletion in a line.
std::string describeInterruptedDeletion(const RenameOutcome& outcome);

} // namespace cronovolta
