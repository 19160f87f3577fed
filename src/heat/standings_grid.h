#pragma once

#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/track_config.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// Columns of the standings grid (InfoClass). 16 to 18 are hidden working columns.
namespace col {
inline constexpr int Rank = 0;
inline constexpr int RaceNumber = 1;
inline constexpr int Name = 2;
inline constexpr int SeriesLaps = 3;
inline constexpr int OrderTime = 4; // HoraPas: the race's sort time, or "0" with a fastest lap
inline constexpr int Fastest = 5;
inline constexpr int FastestTime = 6;
inline constexpr int FastestLane = 7;
inline constexpr int GapLeader = 8;
inline constexpr int GapPrevious = 9;
inline constexpr int Heats = 10; // "nm": heat count, and the last-crossing marker
inline constexpr int Lane = 11;
inline constexpr int HeatLaps = 12;
inline constexpr int Adjustments = 13;
inline constexpr int LastLap = 14;
inline constexpr int HeatFastest = 15;
inline constexpr int HeatRank = 16;
inline constexpr int HeatKey1 = 17;
inline constexpr int HeatKey2 = 18;
inline constexpr int Count = 19;
} // namespace col

// Row 1 of the absolute fastest-lap table (TaulaVR): the fastest lap of every series of
// the programme type.
struct AbsoluteFastestLap {
    std::string time; // "0.0000"; empty while there is none
    std::string participant;
    std::string name;
    std::string lane;
    std::string series;
};

// QBColor of the five colour slots of the program settings, by slot number 1..5.
struct ColourSlots {
    std::array<int, 6> slot{0, 12, 10, 15, 14, 11};
    static ColourSlots from(const std::vector<std::int16_t>& colours);
};

// The live standings of a series: one row per participant, every cell a text as shown,
// numbers read back from the texts (a blank reads 0). Rows are numbered from 1 in the
// order shown.
class StandingsGrid {
public:
    void reset(int rows);
    int rowCount() const { return static_cast<int>(m_order.size()); }

    const std::string& text(int row, int column) const { return at(row).cells[idx(column)]; }
    // The cell as the screens, prints and live page show it: the series laps less the
    // participant's penalty laps. The cells themselves keep what the heats store.
    const std::string& shownText(int row, int column) const;
    // The cell read as a number (numericValue), cached until the cell changes.
    double value(int row, int column) const;
    void setText(int row, int column, std::string_view text);
    bool blank(int row, int column) const;

    bool marker(int row) const { return at(row).marker; }
    void setMarker(int row, bool on) { at(row).marker = on; }
    void clearMarkers();
    int background(int row) const { return at(row).background; }
    // Background of one cell: the row's unless a fastest-lap colour applies.
    int cellColour(int row, int column) const;

    // Penalty laps by participant number (index 0 unused): the race ranks by the laps less
    // them from the next re-sort on.
    void setPenalties(std::vector<float> lapsByParticipant);

    // Empties columns from..to of every row.
    void clearColumns(int from, int to);

    // First row whose "Dorsal" is the participant; 0 when none.
    int findParticipant(int participant) const;
    // First row whose current lane (column 11) shows this lane; 0 when none.
    int findLane(int lane) const;

    // The re-sort after a crossing: heat ranks from the heat keys, the series order, ranks
    // and gaps. `currentRow` (0: none) has its heat rank cleared first.
    struct ResortOptions {
        ProgrammeType programmeType = ProgrammeType::Race;
        const TrackConfig* config = nullptr;
        GapLetters letters;
        int currentRow = 0;
    };
    void resort(const ResortOptions& options);

    // Row and fastest-lap cell colours, compared on the texts shown.
    void colour(const ColourSlots& slots, const std::string& absoluteFastest);

    // The top row of the visible part.
    int topRow() const { return m_topRow; }
    void setTopRow(int row);
    // Brings the row of the lane that crossed last into view when it is out of it.
    void keepInView(int lane);
    // One auto-scroll step: 24 rows on, back to row 1 when fewer than 24 remain below.
    void scrollPage();

private:
    struct GapMemo {
        int kind = 0; // 0: not computed
        double a = 0.0;
        double b = 0.0;
        bool operator==(const GapMemo&) const = default;
    };
    struct Row {
        std::array<std::string, col::Count> cells;
        bool marker = false;
        int background = 15;
        std::array<std::int8_t, col::Count> colours{};
        mutable std::array<double, col::Count> values{};
        mutable std::uint32_t parsed = 0;
        std::array<GapMemo, 2> gapMemo;
        int shownRank = -1;      // the number in column 0, -1 blank, -2 unknown
        int shownHeatRank = -2;  // the same for column 16
        bool colourDirty = true; // a cell that decides a colour changed
        int colouredParity = -1; // the row parity the colours were set for
        float penalty = 0.0f;    // penalty laps of the row's participant
        std::string netLaps;     // the series laps less the penalty, when there is one
        Row() { colours.fill(-1); }
    };

    static std::size_t idx(int column);
    Row& at(int row);
    const Row& at(int row) const;
    double valueOf(const Row& row, int column) const;
    void setCell(Row& row, int column, std::string_view text);
    void numberHeatRanks(ProgrammeType programmeType, int currentRow);
    void sortSeries(ProgrammeType programmeType);
    // The numbers the re-sort compares, gathered once per re-sort for every row.
    struct SortKeys {
        double heatKey1 = 0.0;
        double heatKey2 = 0.0;
        double laps = 0.0;
        double orderTime = 0.0;
        double fastest = 0.0;
        double fastestTime = 0.0;
    };
    bool seriesBefore(const SortKeys& a, const SortKeys& b, bool race) const;
    void applyPenalties(const TrackConfig& config);
    double lapsValue(const Row& row) const { return valueOf(row, col::SeriesLaps) - row.penalty; }
    const std::string& lapsText(const Row& row) const {
        return row.penalty > 0.0f ? row.netLaps : row.cells[col::SeriesLaps];
    }
    void setRank(Row& row, int rank);
    void setHeatRank(Row& row, int rank);
    void writeRanksAndGaps(const ResortOptions& options);
    std::string raceGap(const Row& reference, const Row& own, const ResortOptions& options,
                        GapMemo& memo, bool& changed);
    const std::string& lapGapText(double laps, const ResortOptions& options);

    std::vector<Row> m_rows;
    std::vector<int> m_order; // row number - 1 -> index into m_rows
    // The rows by heat keys, kept between re-sorts: after a crossing it is nearly sorted.
    std::vector<int> m_keyOrder;
    std::vector<int> m_position;    // index into m_rows -> place in m_order before the re-sort
    std::vector<int> m_keyPosition; // index into m_rows -> place in m_keyOrder
    std::vector<SortKeys> m_keys;   // index into m_rows -> its numbers
    std::string m_colouredFor;      // absolute fastest lap and slots of the last colouring
    int m_topRow = 1;
    std::vector<std::pair<double, std::string>> m_lapGaps; // "-2v" texts by lap difference
    std::string m_lapTotalFormat = "?";
    std::string m_lapLetter;
    std::string m_secondsLetter;
    std::vector<float> m_penalties;
};

} // namespace cronovolta
