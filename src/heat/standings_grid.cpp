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
    m_topRow = 1;
}

double StandingsGrid::valueOf(const Row& row, int column) const {
    std::uint32_t bit = 1u << column;
    if (!(row.parsed & bit)) {
        row.values[static_cast<std::size_t>(column)] =
            ValorNumeric(row.cells[static_cast<std::size_t>(column)]);
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
    }
}

void StandingsGrid::setText(int row, int column, std::string_view text) {
    Row& r = at(row);
    setCell(r, static_cast<int>(idx(column)), text);
    if (isGapColumn(column)) {
        r.gapMemo = {};
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
        }
    }
}

int StandingsGrid::findParticipant(int participant) const {
    for (int r = 1; r <= rowCount(); ++r) {
        if (value(r, col::Dorsal) == participant) {
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

void StandingsGrid::numberHeatRanks(std::vector<int>& order, int programa, int currentRow) {
    if (currentRow >= 1 && currentRow <= rowCount()) {
        setCell(at(currentRow), col::HeatRank, "");
    }
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        const Row& ra = m_rows[static_cast<std::size_t>(a)];
        const Row& rb = m_rows[static_cast<std::size_t>(b)];
        double ka = valueOf(ra, col::HeatKey1);
        double kb = valueOf(rb, col::HeatKey1);
        if (ka != kb) {
            return ka < kb;
        }
        return valueOf(ra, col::HeatKey2) < valueOf(rb, col::HeatKey2);
    });
    // Official practice skips the rows without a heat time; the others stop at the first.
    int rank = 0;
    bool stopped = false;
    for (int id : order) {
        Row& row = m_rows[static_cast<std::size_t>(id)];
        if (stopped || valueOf(row, col::HeatKey1) == 0.0) {
            setCell(row, col::HeatRank, "");
            stopped = stopped || programa != 2;
            continue;
        }
        setCell(row, col::HeatRank, rankText(++rank));
    }
}

void StandingsGrid::sortSeries(std::vector<int>& order, int programa) const {
    if (programa == 4) {
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            const Row& ra = m_rows[static_cast<std::size_t>(a)];
            const Row& rb = m_rows[static_cast<std::size_t>(b)];
            double la = valueOf(ra, col::SeriesLaps);
            double lb = valueOf(rb, col::SeriesLaps);
            if (la != lb) {
                return la > lb;
            }
            return valueOf(ra, col::OrderTime) > valueOf(rb, col::OrderTime);
        });
        return;
    }
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        const Row& ra = m_rows[static_cast<std::size_t>(a)];
        const Row& rb = m_rows[static_cast<std::size_t>(b)];
        for (int c : {col::OrderTime, col::Fastest, col::FastestTime}) {
            double va = valueOf(ra, c);
            double vb = valueOf(rb, c);
            if (va != vb) {
                return va < vb;
            }
        }
        return false;
    });
}

const std::string& StandingsGrid::lapGapText(double laps, const ResortOptions& options) {
    for (const auto& [difference, text] : m_lapGaps) {
        if (difference == laps) {
            return text;
        }
    }
    std::string gap =
        "-" + FormatVoltes(laps, true, *options.config) + std::string(options.letters.lap);
    m_lapGaps.emplace_back(laps, std::move(gap));
    return m_lapGaps.back().second;
}

std::string StandingsGrid::raceGap(const Row& reference, const Row& own,
                                   const ResortOptions& options, GapMemo& memo, bool& changed) {
    GapMemo key;
    const std::string& refLaps = reference.cells[col::SeriesLaps];
    const std::string& ownLaps = own.cells[col::SeriesLaps];
    if (refLaps != ownLaps) {
        key = {1, valueOf(reference, col::SeriesLaps) - valueOf(own, col::SeriesLaps), 0.0};
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
    return Diferencia(refLaps, ownLaps, reference.cells[col::OrderTime], own.cells[col::OrderTime],
                      *options.config, options.letters);
}

void StandingsGrid::writeRanksAndGaps(const ResortOptions& options) {
    bool race = options.programa == 4;
    int rows = rowCount();
    for (int r = 1; r <= rows; ++r) {
        Row& row = at(r);
        int test = race ? col::SeriesLaps : col::Fastest;
        if (valueOf(row, test) == 0.0) {
            setCell(row, col::Rank, "");
            setCell(row, col::GapLeader, "");
            setCell(row, col::GapPrevious, "");
            row.gapMemo = {};
            continue;
        }
        setCell(row, col::Rank, rankText(r));
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
    std::vector<int> order = m_order;
    numberHeatRanks(order, options.programa, options.currentRow);
    sortSeries(order, options.programa);
    m_order = std::move(order);
    writeRanksAndGaps(options);
}

void StandingsGrid::colour(const ColourSlots& slots, const std::string& absoluteFastest) {
    auto matches = [](const std::string& a, const std::string& b) { return a == b; };
    for (int r = 1; r <= rowCount(); ++r) {
        Row& row = at(r);
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
