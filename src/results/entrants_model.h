#pragma once

#include "storage/file_io.h"
#include "storage/participant_list.h"
#include "storage/track_config.h"

#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// Which list the entrant-list screen edits.
enum class EntrantsMode {
    GeneralList,        // the data folder's pool of names, no event open
    EventEntrants,      // the entrants of the open event (also the practice list)
    SeriesParticipants, // the participants of one series of programme 1..4
};

// Where the screen was opened.
struct EntrantsContext {
    fs::path dataDir;
    fs::path eventDir; // empty: no event open
    std::string eventName;
    ProgrammeType programmeType = ProgrammeType::Practice;
    int seriesNumber = 1;
    TrackConfig track; // the event's copy (the data folder's without an event)
    int language = 0;
    std::string caption; // the menu entry that opened it, without "..."; "" for the default
};

EntrantsMode entrantsMode(const EntrantsContext& ctx);

// Lowest count of a series list: the lanes, plus the participants who have already
// started in a rolling order of heats; Super Pole runs one participant at a time.
int countLowerBound(ProgrammeType programmeType, int lanes, int heatsDone);

// Start lane of row i (1-based): the lane-change order read backwards, so that with
// lanes in order 1..4 the first rows start on 4, 3, 2, 1 and every later row on lane 1.
// Super Pole shows the row number itself.
int startLane(ProgrammeType programmeType, int row, const TrackConfig& track);

struct SourceRow {
    int number = 0;
    std::string name;
};

// The state of the entrant-list screen (`EntrantsWindow`): its rows, count limits, source list and
// cursor. Nothing is written until save (see inscrits_files.h).
class EntrantsModel {
public:
    // `list`: the edited list as stored (the screen pads a series list to the lanes);
    // `source`: the names that can be copied, `sourceIsEntrants` when they are the
    // event's entrants rather than the general list.
    EntrantsModel(EntrantsContext ctx, ParticipantList list, std::vector<std::string> source,
                  bool sourceIsEntrants);

    const EntrantsContext& context() const { return m_ctx; }
    EntrantsMode mode() const { return m_mode; }

    std::string title() const;
    std::string countLabel() const;
    std::string nameHeader() const;
    std::string numberHeader() const;
    bool hasSource() const { return m_mode != EntrantsMode::GeneralList; }
    std::string sourceNumberHeader() const;
    std::string sourceNameHeader() const;
    std::string sourceCaption() const; // with the row count "(12)"
    bool showsStartLanes() const;

    int lowerBound() const { return m_lowerBound; }
    // A series whose bound has passed its stored count keeps its count.
    bool countEnabled() const {
        return m_mode != EntrantsMode::SeriesParticipants || m_lowerBound <= m_storedCount;
    }
    std::string rangeLabel() const;

    int count() const { return static_cast<int>(m_names.size()); }
    int storedCount() const { return m_storedCount; }
    int heatsDone() const { return m_heatsDone; }
    const std::vector<std::string>& names() const { return m_names; }
    std::string orderText(int row) const;
    std::string startLaneText(int row) const;

    // Applies a typed count within the limits and puts the cursor on row 1. Returns the
    // count applied.
    int applyCount(std::string_view typed);
    // Double-click on a label: one row more, cursor on it.
    void addRow();

    void setName(int row, std::string name);
    int currentRow() const { return m_current; }
    void setCurrentRow(int row);
    // Enter in a name field: the next row, from the last back to the first.
    void nextRow();

    const std::vector<SourceRow>& source() const { return m_source; }
    // 0: by number, 1: by name (ignoring case).
    void sortSource(int option);
    // Double-click on a source row: its name (under Shift in a series, "#number name")
    // goes to the current row and the cursor moves on.
    void copyFromSource(int sourceIndex, bool shift);

    // The list as it will be saved: names trimmed, heat counter unchanged.
    ParticipantList listToSave() const;

private:
    void resize(int count);

    EntrantsContext m_ctx;
    EntrantsMode m_mode;
    std::vector<std::string> m_names;
    int m_storedCount = 0;
    int m_heatsDone = 0;
    int m_lowerBound = 1;
    std::vector<SourceRow> m_source;
    bool m_sourceIsEntrants = false;
    int m_current = 1;
};

std::string trimBlanks(std::string_view text);

} // namespace cronovolta
