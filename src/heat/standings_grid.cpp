#include "heat/standings_grid.h"

#include "storage/number_format.h"

#include <algorithm>
#include <stdexcept>

namespace cronovolta {
namespace {

bool isBlankText(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// Small whole numbers as text without building a string each time.
std::string rankText(int rank) {
    static const std::vector<std::string> kRanks = [] {
        std::vector<std::string> v;
        for (int i = 0; i <= 1000; ++i) {
            v.push_back(std::to_string(i));
        }
        return v;
    }();
    return rank >= 0 && rank <= 1000 ? kRanks[static_cast<std::size_t>(rank)]
                                     : std::to_string(rank);
}

bool isGapColumn(int column) {
    return column == col::GapLeader || column == col::GapPrevious;
}

} // namespace

ColourSlots ColourSlots::from(const std::vector<std::int16_t>& colours) {
    ColourSlots s;
    for (std::size_t i = 0; i < 5 && i < colours.size(); ++i) {
        s.slot[i + 1] = colours[i];
    }
    return s;
}

std::size_t StandingsGrid::idx(int column) {
    if (column < 0 || column >= col::Count) {
        throw std::out_of_range("standings column");
    }
    return static_cast<std::size_t>(column);
}

StandingsGrid::Row& StandingsGrid::at(int row) {
    return m_rows[static_cast<std::size_t>(m_order.at(static_cast<std::size_t>(row - 1)))];
}

const StandingsGrid::Row& StandingsGrid::at(int row) const {
    return m_rows[static_cast<std::size_t>(m_order.at(static_cast<std::size_t>(row - 1)))];
}

void StandingsGrid::reset(int rows) {
    m_rows.assign(static_cast<std::size_t>(std::max(rows, 0)), Row{});
    m_order.resize(m_rows.size());
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        m_order[i] = static_cast<int>(i);
    }
    m_keyOrder = m_order;
    m_colouredFor.clear();
    m_topRow = 1;
}

const std::string& StandingsGrid::shownText(int row, int column) const {
    const Row& r = at(row);
    return column == col::SeriesLaps ? lapsText(r) : r.cells[idx(column)];
}

void StandingsGrid::setPenalties(std::vector<float> lapsByParticipant) {
    m_penalties = std::move(lapsByParticipant);
    for (auto& row : m_rows) {
        row.gapMemo = {};
    }
}

void StandingsGrid::applyPenalties(const TrackConfig& config) {
    for (auto& row : m_rows) {
        const double participant = valueOf(row, col::RaceNumber);
        const float penalty =
            participant >= 1.0 && participant < static_cast<double>(m_penalties.size())
                ? m_penalties[static_cast<std::size_t>(participant)]
                : 0.0f;
        if (penalty != row.penalty) {
            row.penalty = penalty;
            row.gapMemo = {};
        }
        if (penalty > 0.0f) {
            row.netLaps = formatLaps(valueOf(row, col::SeriesLaps) - penalty, false, config);
        }
    }
}

double StandingsGrid::valueOf(const Row& row, int column) const {
    std::uint32_t bit = 1u << column;
    if (!(row.parsed & bit)) {
        row.values[static_cast<std::size_t>(column)] =
            numericValue(row.cells[static_cast<std::size_t>(column)]);
        row.parsed |= bit;
    }
    return row.values[static_cast<std::size_t>(column)];
}

double StandingsGrid::value(int row, int column) const {
    return valueOf(at(row), static_cast<int>(idx(column)));
}

void StandingsGrid::setCell(Row& row, int column, std::string_view text) {
    std::string& cell = row.cells[static_cast<std::size_t>(column)];
    if (cell != text) {
        cell.assign(text);
        row.parsed &= ~(1u << column);
        if (column == col::Fastest || column == col::LastLap || column == col::HeatFastest) {
            row.colourDirty = true;
        }
    }
}

void StandingsGrid::setText(int row, int column, std::string_view text) {
    Row& r = at(row);
    setCell(r, static_cast<int>(idx(column)), text);
    if (isGapColumn(column)) {
        r.gapMemo = {};
    }
    if (column == col::Rank) {
        r.shownRank = -2; // unknown: written again at the next re-sort
    }
    if (column == col::HeatRank) {
        r.shownHeatRank = -2;
    }
}

bool StandingsGrid::blank(int row, int column) const {
    return isBlankText(text(row, column));
}

void StandingsGrid::clearMarkers() {
    for (auto& row : m_rows) {
        row.marker = false;
    }
}

int StandingsGrid::cellColour(int row, int column) const {
    const Row& r = at(row);
    int c = r.colours[idx(column)];
    return c >= 0 ? c : r.background;
}

void StandingsGrid::clearColumns(int from, int to) {
    for (auto& row : m_rows) {
        for (int c = std::max(from, 0); c <= std::min(to, col::Count - 1); ++c) {
            setCell(row, c, "");
            if (isGapColumn(c)) {
                row.gapMemo = {};
            }
            if (c == col::Rank) {
                row.shownRank = -2;
            }
            if (c == col::HeatRank) {
                row.shownHeatRank = -2;
            }
        }
    }
}

int StandingsGrid::findParticipant(int participant) const {
    for (int r = 1; r <= rowCount(); ++r) {
        if (value(r, col::RaceNumber) == participant) {
            return r;
        }
    }
    return 0;
}

int StandingsGrid::findLane(int lane) const {
    std::string wanted = rankText(lane);
    for (int r = 1; r <= rowCount(); ++r) {
        if (text(r, col::Lane) == wanted) {
            return r;
        }
    }
    return 0;
}

// Stable for equal keys given a total order; linear on the nearly sorted orders that a
// single crossing leaves.
template <typename Less> void insertionSort(std::vector<int>& v, Less less) {
    for (std::size_t i = 1; i < v.size(); ++i) {
        int x = v[i];
        std::size_t j = i;
        while (j > 0 && less(x, v[j - 1])) {
            v[j] = v[j - 1];
            --j;
        }
        v[j] = x;
    }
}

// Heat ranks: the rows sorted by the heat keys, as a stable sort of the rows shown would
// leave them (equal keys keep their order on the screen).
void StandingsGrid::numberHeatRanks(ProgrammeType programmeType, int currentRow) {
    if (currentRow >= 1 && currentRow <= rowCount()) {
        setHeatRank(at(currentRow), -1);
    }
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        m_position[static_cast<std::size_t>(m_order[i])] = static_cast<int>(i);
    }
    insertionSort(m_keyOrder, [this](int a, int b) {
        const SortKeys& ka = m_keys[static_cast<std::size_t>(a)];
        const SortKeys& kb = m_keys[static_cast<std::size_t>(b)];
        if (ka.heatKey1 != kb.heatKey1) {
            return ka.heatKey1 < kb.heatKey1;
        }
        if (ka.heatKey2 != kb.heatKey2) {
            return ka.heatKey2 < kb.heatKey2;
        }
        return m_position[static_cast<std::size_t>(a)] < m_position[static_cast<std::size_t>(b)];
    });
    // Official practice skips the rows without a heat time; the others stop at the first.
    int rank = 0;
    bool stopped = false;
    for (std::size_t i = 0; i < m_keyOrder.size(); ++i) {
        int id = m_keyOrder[i];
        m_keyPosition[static_cast<std::size_t>(id)] = static_cast<int>(i);
        Row& row = m_rows[static_cast<std::size_t>(id)];
        if (stopped || m_keys[static_cast<std::size_t>(id)].heatKey1 == 0.0) {
            setHeatRank(row, -1);
            stopped = stopped || programmeType != ProgrammeType::OfficialPractice;
            continue;
        }
        setHeatRank(row, ++rank);
    }
}

bool StandingsGrid::seriesBefore(const SortKeys& a, const SortKeys& b, bool race) const {
    if (race) {
        if (a.laps != b.laps) {
            return a.laps > b.laps;
        }
        return a.orderTime > b.orderTime;
    }
    if (a.orderTime != b.orderTime) {
        return a.orderTime < b.orderTime;
    }
    if (a.fastest != b.fastest) {
        return a.fastest < b.fastest;
    }
    return a.fastestTime < b.fastestTime;
}

// The series order: a stable sort of the heat-key order by the series keys.
void StandingsGrid::sortSeries(ProgrammeType programmeType) {
    bool race = programmeType == ProgrammeType::Race;
    insertionSort(m_order, [this, race](int a, int b) {
        const SortKeys& ka = m_keys[static_cast<std::size_t>(a)];
        const SortKeys& kb = m_keys[static_cast<std::size_t>(b)];
        if (seriesBefore(ka, kb, race)) {
            return true;
        }
        if (seriesBefore(kb, ka, race)) {
            return false;
        }
        return m_keyPosition[static_cast<std::size_t>(a)] <
               m_keyPosition[static_cast<std::size_t>(b)];
    });
}

const std::string& StandingsGrid::lapGapText(double laps, const ResortOptions& options) {
    for (const auto& [difference, text] : m_lapGaps) {
        if (difference == laps) {
            return text;
        }
    }
    std::string gap =
        "-" + formatLaps(laps, true, *options.config) + std::string(options.letters.lap);
    m_lapGaps.emplace_back(laps, std::move(gap));
    return m_lapGaps.back().second;
}

std::string StandingsGrid::raceGap(const Row& reference, const Row& own,
                                   const ResortOptions& options, GapMemo& memo, bool& changed) {
    GapMemo key;
    const std::string& refLaps = lapsText(reference);
    const std::string& ownLaps = lapsText(own);
    // Equal texts read as equal values, so differing values settle it without comparing.
    bool differ = lapsValue(reference) != lapsValue(own) || refLaps != ownLaps;
    if (differ) {
        key = {1, lapsValue(reference) - lapsValue(own), 0.0};
    } else {
        key = {2, valueOf(reference, col::OrderTime), valueOf(own, col::OrderTime)};
    }
    changed = !(key == memo);
    if (!changed) {
        return {};
    }
    memo = key;
    if (key.kind == 1) {
        return lapGapText(key.a, options);
    }
    return lapGap(refLaps, ownLaps, reference.cells[col::OrderTime], own.cells[col::OrderTime],
                  *options.config, options.letters);
}

void StandingsGrid::setRank(Row& row, int rank) {
    if (row.shownRank != rank) {
        setCell(row, col::Rank, rank < 0 ? std::string() : rankText(rank));
        row.shownRank = rank;
    }
}

void StandingsGrid::setHeatRank(Row& row, int rank) {
    if (row.shownHeatRank != rank) {
        setCell(row, col::HeatRank, rank < 0 ? std::string() : rankText(rank));
        row.shownHeatRank = rank;
    }
}

void StandingsGrid::writeRanksAndGaps(const ResortOptions& options) {
    bool race = options.programmeType == ProgrammeType::Race;
    int rows = rowCount();
    for (int r = 1; r <= rows; ++r) {
        Row& row = at(r);
        int test = race ? col::SeriesLaps : col::Fastest;
        if (valueOf(row, test) == 0.0) {
            setRank(row, -1);
            setCell(row, col::GapLeader, "");
            setCell(row, col::GapPrevious, "");
            row.gapMemo = {};
            continue;
        }
        setRank(row, r);
        if (r == 1) {
            continue; // the leader's gaps are blank
        }
        for (int which = 0; which < 2; ++which) {
            const Row& reference = at(which == 0 ? 1 : r - 1);
            int column = which == 0 ? col::GapLeader : col::GapPrevious;
            GapMemo& memo = row.gapMemo[static_cast<std::size_t>(which)];
            if (race) {
                bool changed = false;
                std::string gap = raceGap(reference, row, options, memo, changed);
                if (changed) {
                    setCell(row, column, gap);
                }
                continue;
            }
            GapMemo key{3, valueOf(row, col::Fastest), valueOf(reference, col::Fastest)};
            if (!(key == memo)) {
                memo = key;
                setCell(row, column, formatNumber(key.a - key.b, "+0.0000"));
            }
        }
    }
    if (rows >= 1) {
        Row& leader = at(1);
        setCell(leader, col::GapLeader, "");
        setCell(leader, col::GapPrevious, "");
        leader.gapMemo = {};
    }
    if (rows >= 2) {
        Row& second = at(2);
        setCell(second, col::GapPrevious, "");
        second.gapMemo[1] = {};
    }
}

void StandingsGrid::resort(const ResortOptions& options) {
    if (options.config == nullptr) {
        throw std::invalid_argument("standings re-sort without a track configuration");
    }
    // Gap texts depend on the lap-total format and the letters: start afresh when they change.
    if (m_lapTotalFormat != options.config->lapTotalFormat || m_lapLetter != options.letters.lap ||
        m_secondsLetter != options.letters.seconds || m_lapGaps.size() > 256) {
        m_lapGaps.clear();
        m_lapTotalFormat = options.config->lapTotalFormat;
        m_lapLetter = options.letters.lap;
        m_secondsLetter = options.letters.seconds;
        for (auto& row : m_rows) {
            row.gapMemo = {};
        }
    }
    if (m_keyOrder.size() != m_order.size()) {
        m_keyOrder = m_order;
    }
    m_position.resize(m_rows.size());
    m_keyPosition.resize(m_rows.size());
    m_keys.resize(m_rows.size());
    applyPenalties(*options.config);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Row& row = m_rows[i];
        m_keys[i] = {valueOf(row, col::HeatKey1),
                     valueOf(row, col::HeatKey2),
                     lapsValue(row),
                     valueOf(row, col::OrderTime),
                     valueOf(row, col::Fastest),
                     valueOf(row, col::FastestTime)};
    }
    numberHeatRanks(options.programmeType, options.currentRow);
    sortSeries(options.programmeType);
    writeRanksAndGaps(options);
}

void StandingsGrid::colour(const ColourSlots& slots, const std::string& absoluteFastest) {
    auto matches = [](const std::string& a, const std::string& b) { return a == b; };
    std::string key = absoluteFastest;
    for (int c : slots.slot) {
        key += "|" + std::to_string(c);
    }
    bool all = key != m_colouredFor;
    m_colouredFor = std::move(key);
    for (int r = 1; r <= rowCount(); ++r) {
        Row& row = at(r);
        if (!all && !row.colourDirty && row.colouredParity == r % 2) {
            continue;
        }
        row.colourDirty = false;
        row.colouredParity = r % 2;
        row.background = slots.slot[r % 2 == 1 ? 4 : 3];
        row.colours.fill(-1);
        const std::string& last = row.cells[col::LastLap];
        const std::string& best = row.cells[col::HeatFastest];
        const std::string& fastest = row.cells[col::Fastest];
        auto paint = [&](int column, int slot) {
            row.colours[static_cast<std::size_t>(column)] =
                static_cast<std::int8_t>(slots.slot[static_cast<std::size_t>(slot)]);
        };
        if (!isBlankText(last)) {
            if (matches(last, absoluteFastest)) {
                paint(col::LastLap, 1);
            } else if (matches(last, fastest)) {
                paint(col::LastLap, 5);
            } else if (matches(last, best)) {
                paint(col::LastLap, 2);
            }
        }
        if (!isBlankText(best)) {
            if (matches(best, absoluteFastest)) {
                paint(col::HeatFastest, 1);
            } else if (matches(best, fastest)) {
                paint(col::HeatFastest, 5);
            } else if (matches(best, last)) {
                paint(col::HeatFastest, 2);
            }
        }
        if (!isBlankText(fastest)) {
            if (matches(fastest, absoluteFastest)) {
                paint(col::Fastest, 1);
            } else if (matches(fastest, best)) {
                paint(col::Fastest, 5);
            }
        }
    }
}

void StandingsGrid::setTopRow(int row) {
    m_topRow = std::clamp(row, 1, std::max(1, rowCount()));
}

void StandingsGrid::keepInView(int lane) {
    int r = findLane(lane);
    if (r == 0) {
        return;
    }
    if (r < m_topRow || r > m_topRow + 15) {
        setTopRow(r < 9 ? 1 : r - 8);
    }
}

void StandingsGrid::scrollPage() {
    if (rowCount() - m_topRow < 24) {
        m_topRow = 1;
    } else {
        m_topRow += 24;
    }
}

} // namespace cronovolta
