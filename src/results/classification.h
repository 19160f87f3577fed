#pragma once

#include "storage/event_files.h"
#include "storage/heat_result_record.h"
#include "storage/participant_list.h"
#include "storage/penalty_record.h"
#include "storage/track_config.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace cronovolta {

// Columns of the classification list, in the order of its layout string.
enum ClassColumn : int {
    kColRank = 0,
    kColSeriesNumber,
    kColRaceNumber,
    kColName,
    kColPass,
    kColLane,
    kColHeat,
    kColTotal,
    kColTotalTie,
    kColFastest,
    kColFastestTie,
    kColHeatLaps,
    kColHeatLapsTie,
    kColHeatFastest,
    kColHeatFastestTie,
    kColGapFirst,
    kColGapPrevious,
    kColPenalty,
    kClassColumnCount
};

// Ranking criteria, numbered as the screen's options.
enum Criterion : int {
    kTotalLaps = 1,
    kFastestLap = 2,
    kHeatLaps = 3,
    kHeatFastestLap = 4,
};

// A stored penalty counts when it is a number of laps above 0.
bool penaltyApplies(const PenaltyRecord& record);

// Default criterion of a programme type: total laps for races, fastest lap otherwise.
int defaultCriterion(ProgrammeType programmeType);

// What one series contributes to a classification, as read from its files.
struct SeriesData {
    int seriesNumber = 0;
    ParticipantList participants;
    std::vector<PenaltyRecord> penalties;
    std::vector<HeatResultRecord> heats; // the ".DAD" records in file order
    bool heatFileMissing = true;
};

// Why the reading of a series' heats stopped before `ManiguesFetes`.
struct LoadIssue {
    enum Kind {
        HeatFileMissing,     // heats were run but the file is not there
        HeatMissing,         // the file ends before the header of `heat`
        WrongHeader,         // the record where `heat` should start is something else
        RecordsMissing,      // the file ends inside the block of `heat`
        UnexpectedRecord,    // a header where a participant record of `heat` should be
        NegativeHeatCounter, // the participant file's heat counter (in `heat`) is below 0
        NoParticipants,      // heats are stored but the participant list is missing or empty
        UnknownParticipants, // `count` rows of participants the list does not hold
        RepeatedRows,        // `count` rows repeat a participant of their heat
        TooManyRows,         // the list is full: the rows from `heat` on are left out
    };
    int seriesNumber = 0;
    int heat = 0;
    Kind kind = HeatMissing;
    int participant = 0; // UnknownParticipants, RepeatedRows: the first one met, in `heat`
    int count = 0;
};

// A list of all the series of a programme holds at most this many rows (a heat has one
// row per car, so 500 heats of the largest track, 4000 of an eight-lane one): a damaged
// file cannot fill the memory.
inline constexpr std::size_t kMaxClassificationRows = 32000;

struct ClassificationRow {
    std::array<std::string, kClassColumnCount> cells;
    std::array<double, kClassColumnCount> values{}; // numbers as read back from the cells
    int seriesNumber = 0;
    int participant = 0;
    std::string name;
    int lane = 0;
    int heat = 0;        // the participant's own heat count
    bool latest = false; // the participant's last heat in its series
    int colourSlot = 0;  // 0 none; else the 1-based colour slot of the program settings
    bool visible = true;
};

// The classification list of one series or of all series of a programme. Load adds
// the series in order, finishLoad numbers the passes, rank sorts and fills ranks and gaps
// over the visible rows.
class Classification {
public:
    explicit Classification(TrackConfig track, int language = 0);

    void clear();
    // `colourSlot` is applied to the series' rows (0 when a single series is loaded).
    void addSeries(const SeriesData& data, int colourSlot);
    void finishLoad();
    void rank(int criterion);

    const std::vector<ClassificationRow>& rows() const { return m_rows; }
    std::vector<ClassificationRow>& rows() { return m_rows; }
    const std::vector<int>& lanes() const { return m_lanes; }
    const std::vector<int>& passes() const { return m_passes; }
    int maxHeat() const { return m_maxHeat; }
    bool penaltiesPresent() const { return m_penaltyMark > 0.0f; }
    const std::vector<LoadIssue>& issues() const { return m_issues; }
    int criterion() const { return m_criterion; }

    // Column width in twips for the last ranking (0 = hidden).
    int columnWidth(int column) const;

private:
    // A cell text and the number it reads back as.
    struct Cell {
        std::string text;
        double value = 0.0;
    };
    // Texts already made in this load: lap totals and lap times repeat from row to row,
    // and the number formatting is what a load spends most of its time on.
    using CellCache = std::unordered_map<std::uint64_t, Cell>;

    // What a series' rows may hold that is said once for the whole series.
    struct SeriesRowIssues {
        LoadIssue unknown;
        LoadIssue repeated;
    };

    // The rows of a series' heats, block by block; `penalty` holds each participant's laps.
    void addHeats(const SeriesData& data, int colourSlot, const std::map<int, float>& penalty,
                  SeriesRowIssues& said);
    void addRow(const SeriesData& data, const HeatResultRecord& rec, float penalty, int heatCount,
                int colourSlot);
    const Cell& lapsCell(double laps);
    const Cell& lapTimeCell(float seconds);
    const Cell& tieCell(float key);
    void setCell(ClassificationRow& row, int column, const Cell& cell) const;
    void setNegatedCell(ClassificationRow& row, int column, const Cell& cell) const;
    void sortBy(int criterion);
    void fillRanks(int criterion);

    TrackConfig m_track;
    int m_language = 0;
    std::vector<ClassificationRow> m_rows;
    std::vector<int> m_lanes;
    std::vector<int> m_passes;
    int m_maxHeat = 0;
    float m_penaltyMark = 0.0f;
    std::vector<LoadIssue> m_issues;
    int m_criterion = kTotalLaps;
    CellCache m_lapsCells;
    CellCache m_lapTimeCells;
    CellCache m_tieCells;
};

// The English and the screen-language descriptions of a load issue.
std::string describeLoadIssue(const LoadIssue& issue, const std::string& fileName);
std::string describeLoadIssue(const LoadIssue& issue, const std::string& fileName, int language);

} // namespace cronovolta
