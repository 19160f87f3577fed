#pragma once

#include "storage/event_files.h"
#include "storage/file_io.h"
#include "storage/lap_record.h"

#include <array>
#include <expected>
#include <string>
#include <vector>

namespace cronovolta {

// Columns of the lap listing (`LlistaVoltes`); 2, 4, 8 and 10 are hidden keys.
namespace lapcol {
inline constexpr int Ordinal = 0;
inline constexpr int Series = 1;
inline constexpr int Participant = 2;
inline constexpr int Name = 3;
inline constexpr int Pass = 4;
inline constexpr int Lane = 5;
inline constexpr int Heat = 6;
inline constexpr int Lap = 7;
inline constexpr int SinceStart = 8;
inline constexpr int LapTime = 9;
inline constexpr int SinceStartKey = 10;
inline constexpr int Clock = 11;
inline constexpr int Count = 12;
} // namespace lapcol

// Column widths in twips; 0 hides the column.
inline constexpr std::array<int, lapcol::Count> kLapListingWidths = {600, 400, 0, 1500, 0, 400,
                                                                     400, 700, 0, 1100, 0, 1100};

struct LapListingSetup {
    fs::path folder; // where the lap files are: the event folder (the data folder for practice)
    ProgrammeType programmeType = ProgrammeType::Race;
    int seriesCount = 1;
    int activeSeriesNumber = 1; // the series selected in the main window
    bool programmeOpen = false; // a programme of the main window is open
    std::string all = "Tots";   // entry 0 of the participant selector
    std::string allLanes = "Totes";
    int language = 0; // of the problems
};

struct LapRow {
    std::array<std::string, lapcol::Count> cells;
    bool visible = true;
    // The cells read back as numbers, as the sorts and filters compare them.
    std::array<double, lapcol::Count> values{};
};

// `LapListingWindow`: the crossings of one heat of one series, read from its lap file, with
// selectors for series, participant, lane and heat, three sort orders, the number of rows
// listed and the heat's start time. Choosing in a selector may set others; one choice filters
// the rows once, after all of them have settled.
class LapListing {
public:
    enum Selector {
        SeriesSelector = 0,
        ParticipantSelector = 1,
        LaneSelector = 2,
        HeatSelector = 4
    };

    explicit LapListing(LapListingSetup setup);
    const LapListingSetup& setup() const { return m_setup; }

    // Opening: the selectors filled and the series of the main window (or the journal)
    // listed.
    void load();
    void choose(Selector selector, int position);
    void sortBy(int option); // 1 by lap number, 2 by lap time, 3 by heat time

    const std::vector<std::string>& entries(Selector selector) const;
    int position(Selector selector) const;
    // Programmes with series: the series is the main window's while a programme is open.
    bool seriesSelectorEnabled() const {
        return !(m_setup.programmeOpen && m_setup.programmeType >= ProgrammeType::OfficialPractice);
    }
    // Practice and free practice list the journal of the running programme: lanes only.
    bool onlyLaneSelector() const { return m_setup.programmeType <= ProgrammeType::FreePractice; }
    int sortOption() const { return m_sort; }
    int selectedSeries() const { return position(SeriesSelector) + 1; }
    int selectedHeat() const { return position(HeatSelector) + 1; }
    const fs::path& lapFile() const { return m_lapFile; }

    // Rows in the order shown; hidden ones stay in place.
    const std::vector<LapRow>& rows() const { return m_rows; }
    int visibleCount() const { return m_visible; }
    bool startTimeShown() const { return m_startShown; }
    const std::string& startTime() const { return m_startTime; }
    int filterRuns() const { return m_filterRuns; }
    // What the last read of the lap file could not read or skipped, in the setup's language.
    const std::vector<std::string>& problems() const { return m_problems; }

    // `LlistatLectures`: every crossing of every heat of the series with a participant,
    // "name;lane;heat;lap;time;clock" per line, into "VLTAVLT.TXT" of the folder.
    std::expected<fs::path, std::string> writeDump();

    // Whether a listed lap can become a fastest lap (a programme is open).
    bool canAssignFastest() const {
        return m_setup.programmeOpen && m_setup.programmeType >= ProgrammeType::OfficialPractice;
    }
    // Makes the lap of `row` the fastest lap of its lane in the heat and recomputes the
    // series as the correction screen does; returns the heats rewritten.
    std::expected<std::vector<int>, std::string> assignFastest(int row);

private:
    void fire(Selector selector);
    void seriesChosen();
    void clearLists();
    void loadHeat();
    std::vector<LapRecord> readLaps();
    // The rows of the heat whose header is records[pos] (none past the end).
    void listHeat(const std::vector<LapRecord>& records, std::size_t pos);
    void filter();
    std::string name(int participant) const;

    LapListingSetup m_setup;
    std::array<std::vector<std::string>, 5> m_entries;
    std::array<int, 5> m_positions{-1, -1, -1, -1, -1};
    int m_chain = -99;
    int m_sort = 1;
    fs::path m_lapFile;
    std::vector<std::string> m_names;
    int m_heats = 0;
    std::vector<LapRow> m_rows;
    int m_visible = 0;
    bool m_startShown = false;
    std::string m_startTime;
    int m_filterRuns = 0;
    std::vector<std::string> m_problems;
};

} // namespace cronovolta
