#include "results/classification.h"

#include "results/laps_text.h"
#include "results/results_texts.h"
#include "storage/event_files.h"
#include "storage/lap_record.h"
#include "storage/number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>
#include <utility>

namespace cronovolta {
namespace {

bool isBlank(const std::string& s) {
    return s.find_first_not_of(" \t") == std::string::npos;
}

// Key and tie columns of a criterion; laps criteria sort both descending.
struct SortColumns {
    int key;
    int tie;
    bool descending;
};

SortColumns sortColumns(int criterion) {
    switch (criterion) {
    case kFastestLap:
        return {kColFastest, kColFastestTie, false};
    case kHeatLaps:
        return {kColHeatLaps, kColHeatLapsTie, true};
    case kHeatFastestLap:
        return {kColHeatFastest, kColHeatFastestTie, false};
    default:
        return {kColTotal, kColTotalTie, true};
    }
}

// Rows are large: sort their positions, then put each row in place by following the
// cycles of the permutation, without a second list.
template <class Less> void sortRows(std::vector<ClassificationRow>& rows, Less less) {
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return less(rows[a], rows[b]); });
    for (std::size_t i = 0; i < order.size(); ++i) {
        // Position i takes the row from order[i]; a visited position points to itself.
        std::size_t at = i;
        while (order[at] != i) {
            const std::size_t from = order[at];
            std::swap(rows[at], rows[from]);
            order[at] = at;
            at = from;
        }
        order[at] = at;
    }
}

// The cached value of `key`, made on the first request.
template <class Value, class Make>
const Value& cachedCell(std::unordered_map<std::uint64_t, Value>& cache, std::uint64_t key,
                        Make make) {
    auto it = cache.find(key);
    if (it == cache.end()) {
        it = cache.emplace(key, make()).first;
    }
    return it->second;
}

} // namespace

bool penaltyApplies(const PenaltyRecord& record) {
    return std::isfinite(record.laps) && record.laps > 0.0f;
}

int defaultCriterion(ProgrammeType programmeType) {
    return programmeType == ProgrammeType::Race ? kTotalLaps : kFastestLap;
}

Classification::Classification(TrackConfig track, int language)
    : m_track(std::move(track)), m_language(language) {}

void Classification::clear() {
    m_rows.clear();
    m_lanes.clear();
    m_passes.clear();
    m_maxHeat = 0;
    m_penaltyMark = 0.0f;
    m_issues.clear();
    m_lapsCells.clear();
    m_lapTimeCells.clear();
    m_tieCells.clear();
}

namespace {

// The laps each participant loses: the last record of a participant counts. `mark` takes
// the last penalty that applies.
std::map<int, float> penaltyLaps(const std::vector<PenaltyRecord>& records, float& mark) {
    std::map<int, float> penalty;
    for (const auto& rec : records) {
        // Penalties are stored above 0; any other value would add laps.
        if (!penaltyApplies(rec)) {
            continue;
        }
        penalty[rec.participant] = rec.laps;
        mark = rec.laps;
    }
    return penalty;
}

// Counts `issue` once more, and keeps where it was first seen.
void countIssue(LoadIssue& issue, int heat, int participant) {
    if (issue.count++ == 0) {
        issue.heat = heat;
        issue.participant = participant;
    }
}

} // namespace

void Classification::addSeries(const SeriesData& data, int colourSlot) {
    const auto& names = data.participants.names;
    const std::map<int, float> penalty = penaltyLaps(data.penalties, m_penaltyMark);

    const int heatsRun = data.participants.heatsDone;
    if (heatsRun < 0) {
        m_issues.push_back({data.seriesNumber, heatsRun, LoadIssue::NegativeHeatCounter});
        return;
    }
    if (!data.heats.empty() && std::all_of(names.begin(), names.end(),
                                           [](const std::string& name) { return isBlank(name); })) {
        m_issues.push_back({data.seriesNumber, 0, LoadIssue::NoParticipants});
        return;
    }
    if (data.heatFileMissing) {
        if (heatsRun > 0) {
            m_issues.push_back({data.seriesNumber, 1, LoadIssue::HeatFileMissing});
        }
        return;
    }
    // Rows of participants the list does not hold are left out, and said once per series.
    // A participant has one row in a heat: a repeated one is damage, and the first one stays.
    SeriesRowIssues said{{data.seriesNumber, 0, LoadIssue::UnknownParticipants},
                         {data.seriesNumber, 0, LoadIssue::RepeatedRows}};
    addHeats(data, colourSlot, penalty, said);
    if (said.repeated.count > 0) {
        m_issues.push_back(said.repeated);
    }
    if (said.unknown.count > 0) {
        m_issues.push_back(said.unknown);
    }
}

void Classification::addHeats(const SeriesData& data, int colourSlot,
                              const std::map<int, float>& penalty, SeriesRowIssues& said) {
    const auto& names = data.participants.names;
    const int n = static_cast<int>(names.size());
    std::vector<int> heatCount(static_cast<std::size_t>(n) + 1, 0);
    std::vector<int> participantHeat(heatCount.size(), 0);
    // Room for every row this series may add, taken once: growing the list step by step
    // would hold the old and the new list at once.
    if (const std::size_t wanted =
            std::min(kMaxClassificationRows, m_rows.size() + data.heats.size());
        wanted > m_rows.capacity()) {
        m_rows.reserve(m_rows.empty() ? wanted : kMaxClassificationRows);
    }
    std::size_t next = 0;
    for (int h = 1; h <= data.participants.heatsDone; ++h) {
        if (next >= data.heats.size()) {
            m_issues.push_back({data.seriesNumber, h, LoadIssue::HeatMissing});
            return;
        }
        const HeatResultRecord& header = data.heats[next++];
        if (!header.isHeader() || header.headerHeatNumber() != h ||
            header.headerRecordCount() < 0) {
            m_issues.push_back({data.seriesNumber, h, LoadIssue::WrongHeader});
            return;
        }
        for (int k = 0; k < header.headerRecordCount(); ++k) {
            if (next >= data.heats.size()) {
                m_issues.push_back({data.seriesNumber, h, LoadIssue::RecordsMissing});
                return;
            }
            const HeatResultRecord& rec = data.heats[next++];
            if (rec.isHeader()) {
                m_issues.push_back({data.seriesNumber, h, LoadIssue::UnexpectedRecord});
                return;
            }
            const int p = rec.participant;
            if (p < 1 || p > n) {
                countIssue(said.unknown, h, p);
                continue;
            }
            if (isBlank(names[static_cast<std::size_t>(p - 1)])) {
                continue;
            }
            if (rec.lane == 0 && (rec.heatFastestLap == 0.0f || rec.heatFastestLap >= 99.9f)) {
                continue; // waited this heat out
            }
            int& seenIn = participantHeat[static_cast<std::size_t>(p)];
            if (seenIn == h) {
                countIssue(said.repeated, h, p);
                continue;
            }
            seenIn = h;
            int count = ++heatCount[static_cast<std::size_t>(p)];
            if (rec.seriesLaps <= 0.0f && rec.fastestLap == kNoLapTime) {
                continue;
            }
            if (m_rows.size() >= kMaxClassificationRows) {
                m_issues.push_back({data.seriesNumber, h, LoadIssue::TooManyRows});
                return;
            }
            auto pen = penalty.find(p);
            addRow(data, rec, pen == penalty.end() ? 0.0f : pen->second, count, colourSlot);
        }
    }
}

void Classification::addRow(const SeriesData& data, const HeatResultRecord& rec, float penalty,
                            int heatCount, int colourSlot) {
    ClassificationRow row;
    row.seriesNumber = data.seriesNumber;
    row.participant = rec.participant;
    row.name = data.participants.names[static_cast<std::size_t>(rec.participant - 1)];
    row.lane = rec.lane;
    row.heat = heatCount;
    row.colourSlot = colourSlot;
    auto& c = row.cells;
    auto& v = row.values;
    // Whole numbers, never 0 where "#" would leave the cell empty.
    c[kColSeriesNumber] = std::to_string(data.seriesNumber);
    v[kColSeriesNumber] = data.seriesNumber;
    c[kColRaceNumber] = std::to_string(rec.participant);
    v[kColRaceNumber] = rec.participant;
    c[kColName] = row.name;
    c[kColLane] = std::to_string(rec.lane);
    v[kColLane] = rec.lane;
    c[kColHeat] = std::to_string(heatCount);
    v[kColHeat] = heatCount;

    const Cell& crossing = tieCell(rec.crossingTime);
    const Cell& heatKey = tieCell(rec.sortKey2 != 0.0f ? rec.sortKey2 : rec.crossingTime);
    setCell(row, kColTotal, lapsCell(static_cast<double>(rec.seriesLaps) - penalty));
    setNegatedCell(row, kColTotalTie, crossing);
    setCell(row, kColFastest, lapTimeCell(rec.fastestLap));
    setCell(row, kColFastestTie, crossing);
    setCell(row, kColHeatLaps, lapsCell(rec.heatLaps));
    setNegatedCell(row, kColHeatLapsTie, heatKey);
    setCell(row, kColHeatFastest, lapTimeCell(rec.heatFastestLap));
    setCell(row, kColHeatFastestTie, heatKey);
    c[kColPenalty] = penalty > 0.0f ? lapsText(-static_cast<double>(penalty), m_track, false) : "";
    m_rows.push_back(std::move(row));
}

const Classification::Cell& Classification::lapsCell(double laps) {
    return cachedCell(m_lapsCells, std::bit_cast<std::uint64_t>(laps), [&] {
        Cell cell{lapsText(laps, m_track, true)};
        cell.value = cellValue(cell.text);
        return cell;
    });
}

const Classification::Cell& Classification::lapTimeCell(float seconds) {
    return cachedCell(m_lapTimeCells, std::bit_cast<std::uint32_t>(seconds), [&] {
        Cell cell{formatSingle(seconds, std::string("0.0000;;").append(kNoLapTimeText))};
        cell.value = cellValue(cell.text);
        return cell;
    });
}

const Classification::Cell& Classification::tieCell(float key) {
    return cachedCell(m_tieCells, std::bit_cast<std::uint32_t>(key), [&] {
        Cell cell{formatSingle(key, "0.00")};
        cell.value = cellValue(cell.text);
        return cell;
    });
}

void Classification::setCell(ClassificationRow& row, int column, const Cell& cell) const {
    row.cells[static_cast<std::size_t>(column)] = cell.text;
    row.values[static_cast<std::size_t>(column)] = cell.value;
}

// The cell of the negated number: the number format gives -x the digits of x, and no
// sign when they are all zero.
void Classification::setNegatedCell(ClassificationRow& row, int column, const Cell& cell) const {
    std::string text = cell.text;
    const bool nonZero = text.find_first_of("123456789") != std::string::npos;
    if (nonZero) {
        if (text.starts_with('-')) {
            text.erase(0, 1);
        } else {
            text.insert(0, 1, '-');
        }
    }
    row.cells[static_cast<std::size_t>(column)] = std::move(text);
    row.values[static_cast<std::size_t>(column)] = nonZero ? -cell.value : 0.0;
}

void Classification::finishLoad() {
    // A pass is one turn over the lanes: the second time a participant drives a lane is
    // their pass 2.
    sortRows(m_rows, [](const auto& a, const auto& b) {
        // The name goes with the participant number: no need to compare it.
        return std::tie(a.seriesNumber, a.participant, a.lane, a.heat) <
               std::tie(b.seriesNumber, b.participant, b.lane, b.heat);
    });
    m_lanes.clear();
    m_passes.clear();
    m_maxHeat = 0;
    int pass = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        auto& row = m_rows[i];
        const bool sameTurn = i > 0 && m_rows[i - 1].seriesNumber == row.seriesNumber &&
                              m_rows[i - 1].participant == row.participant &&
                              m_rows[i - 1].lane == row.lane;
        pass = sameTurn ? pass + 1 : 1;
        row.cells[kColPass] = std::to_string(pass);
        row.values[kColPass] = pass;
        m_lanes.push_back(row.lane);
        m_passes.push_back(pass);
        m_maxHeat = std::max(m_maxHeat, row.heat);
    }
    for (auto* list : {&m_lanes, &m_passes}) {
        std::sort(list->begin(), list->end());
        list->erase(std::unique(list->begin(), list->end()), list->end());
    }
    std::map<std::pair<int, int>, int> last;
    for (const auto& row : m_rows) {
        int& h = last[{row.seriesNumber, row.participant}];
        h = std::max(h, row.heat);
    }
    for (auto& row : m_rows) {
        row.latest = row.heat == last[{row.seriesNumber, row.participant}];
    }
    sortRows(m_rows,
             [](const auto& a, const auto& b) { return a.values[kColPass] < b.values[kColPass]; });
}

void Classification::rank(int criterion) {
    if (criterion < kTotalLaps || criterion > kHeatFastestLap) {
        criterion = kTotalLaps;
    }
    m_criterion = criterion;
    sortBy(criterion);
    fillRanks(criterion);
}

void Classification::sortBy(int criterion) {
    const SortColumns s = sortColumns(criterion);
    const auto key = static_cast<std::size_t>(s.key);
    const auto tie = static_cast<std::size_t>(s.tie);
    sortRows(m_rows, [&](const auto& a, const auto& b) {
        if (a.values[key] != b.values[key]) {
            return s.descending ? a.values[key] > b.values[key] : a.values[key] < b.values[key];
        }
        return s.descending ? a.values[tie] > b.values[tie] : a.values[tie] < b.values[tie];
    });
}

void Classification::fillRanks(int criterion) {
    const SortColumns s = sortColumns(criterion);
    const auto key = static_cast<std::size_t>(s.key);
    const auto tie = static_cast<std::size_t>(s.tie);
    const auto& texts = resultsTexts(m_language);
    auto gap = [&](const ClassificationRow& ref, const ClassificationRow& row) {
        if (!s.descending) {
            return formatNumber(row.values[key] - ref.values[key], "+0.0000");
        }
        return lapGapText(ref.cells[key], row.cells[key], ref.cells[tie], row.cells[tie], m_track,
                          texts.lapLetter, texts.secondsLetter);
    };
    const ClassificationRow* first = nullptr;
    const ClassificationRow* previous = nullptr;
    int i = 0;
    for (auto& row : m_rows) {
        row.cells[kColRank].clear();
        row.cells[kColGapFirst].clear();
        row.cells[kColGapPrevious].clear();
        if (!row.visible) {
            continue;
        }
        ++i;
        bool ownRank = i == 1;
        if (i >= 2) {
            row.cells[kColGapFirst] = gap(*first, row);
        }
        if (i >= 3) {
            row.cells[kColGapPrevious] = gap(*previous, row);
            ownRank = !gapIsZero(row.cells[kColGapPrevious]);
        } else if (i == 2) {
            ownRank = !gapIsZero(row.cells[kColGapFirst]);
        }
        row.cells[kColRank] = ownRank ? std::to_string(i) + ".-" : previous->cells[kColRank];
        if (i == 1) {
            first = &row;
        }
        previous = &row;
    }
}

int Classification::columnWidth(int column) const {
    switch (column) {
    case kColRank:
        return 600;
    case kColSeriesNumber:
    case kColPass:
    case kColLane:
    case kColHeat:
        return 400;
    case kColName:
        return 1500;
    case kColGapFirst:
    case kColGapPrevious:
        return 1000;
    case kColPenalty:
        return m_criterion == kTotalLaps && penaltiesPresent() ? 500 : 0;
    case kColTotal:
    case kColFastest:
    case kColHeatLaps:
    case kColHeatFastest:
        return sortColumns(m_criterion).key == column ? 1000 : 0;
    default:
        return 0;
    }
}

namespace {

// The participant file beside a series results file: "CRS002.DAD" -> "CRS002.PAR".
std::string listFile(const std::string& resultsFile) {
    return fs::path(resultsFile).replace_extension(".PAR").string();
}

} // namespace

std::string describeLoadIssue(const LoadIssue& issue, const std::string& fileName) {
    const std::string heat = std::to_string(issue.heat);
    const std::string seriesNumber = std::to_string(issue.seriesNumber);
    switch (issue.kind) {
    case LoadIssue::HeatFileMissing:
        return fileName + " is missing although heats were run in series " +
               std::to_string(issue.seriesNumber);
    case LoadIssue::HeatMissing:
        return fileName + " ends before heat " + heat + "; the heats before it are shown";
    case LoadIssue::WrongHeader:
        return fileName + " holds no header of heat " + heat +
               " where one was expected; the heats before it are shown";
    case LoadIssue::RecordsMissing:
        return fileName + " ends inside heat " + heat + "; the rows read so far are shown";
    case LoadIssue::UnexpectedRecord:
        return fileName + " holds an unexpected record in heat " + heat +
               "; the rows read so far are shown";
    case LoadIssue::NegativeHeatCounter:
        return listFile(fileName) + " holds the heat counter " + heat + "; series " + seriesNumber +
               " is left out";
    case LoadIssue::NoParticipants:
        return listFile(fileName) + " is missing or holds no name although " + fileName +
               " holds heats; series " + seriesNumber + " is left out";
    case LoadIssue::UnknownParticipants:
        return fileName + " holds " + std::to_string(issue.count) + " rows of participants that " +
               listFile(fileName) + " does not list (the first: participant " +
               std::to_string(issue.participant) + " in heat " + heat + "); they are left out";
    case LoadIssue::RepeatedRows:
        return fileName + " holds " + std::to_string(issue.count) +
               " rows that repeat a participant of their heat (the first: participant " +
               std::to_string(issue.participant) + " in heat " + heat + "); they are left out";
    case LoadIssue::TooManyRows:
        return "the classification holds at most " + std::to_string(kMaxClassificationRows) +
               " rows; the rows of " + fileName + " from heat " + heat + " on are left out";
    }
    return fileName;
}

std::string describeLoadIssue(const LoadIssue& issue, const std::string& fileName, int language) {
    const std::string heat = std::to_string(issue.heat);
    const std::string seriesNumber = std::to_string(issue.seriesNumber);
    const bool es = language == 1;
    const std::string file = (es ? "El archivo " : "El fitxer ") + fileName;
    switch (issue.kind) {
    case LoadIssue::HeatFileMissing:
        return es ? "Falta el archivo " + fileName + ", y ya se han disputado mangas."
                  : "Falta el fitxer " + fileName + ", i ja s'han disputat mànigues.";
    case LoadIssue::HeatMissing:
        return file +
               (es ? " termina antes de la manga " + heat + ": se muestran las mangas anteriores."
                   : " s'acaba abans de la màniga " + heat +
                         ": es mostren les mànigues anteriors.");
    case LoadIssue::WrongHeader:
        return file + (es ? " no tiene la cabecera de la manga " + heat +
                                " donde corresponde: se muestran las mangas anteriores."
                          : " no té la capçalera de la màniga " + heat +
                                " on correspon: es mostren les mànigues anteriors.");
    case LoadIssue::RecordsMissing:
        return file + (es ? " termina dentro de la manga " + heat +
                                ": se muestran los datos leídos hasta aquí."
                          : " s'acaba dins la màniga " + heat +
                                ": es mostren les dades llegides fins aquí.");
    case LoadIssue::UnexpectedRecord:
        return file + (es ? " tiene un registro inesperado en la manga " + heat +
                                ": se muestran los datos leídos hasta aquí."
                          : " té un registre inesperat a la màniga " + heat +
                                ": es mostren les dades llegides fins aquí.");
    case LoadIssue::NegativeHeatCounter:
        return (es ? "El archivo " : "El fitxer ") + listFile(fileName) +
               (es ? " tiene el contador de mangas " + heat + ": la serie " + seriesNumber +
                         " no se muestra."
                   : " té el comptador de mànigues " + heat + ": la sèrie " + seriesNumber +
                         " no es mostra.");
    case LoadIssue::NoParticipants:
        return es ? "Falta el archivo " + listFile(fileName) + " o no tiene ningún nombre, y " +
                        fileName + " tiene mangas: la serie " + seriesNumber + " no se muestra."
                  : "Falta el fitxer " + listFile(fileName) + " o no té cap nom, i " + fileName +
                        " té mànigues: la sèrie " + seriesNumber + " no es mostra.";
    case LoadIssue::UnknownParticipants: {
        const std::string count = std::to_string(issue.count);
        const std::string p = std::to_string(issue.participant);
        return file + (es ? " tiene " + count + " filas de participantes que no están en " +
                                listFile(fileName) + " (la primera: participante " + p +
                                " en la manga " + heat + "): no se muestran."
                          : " té " + count + " files de participants que no són a " +
                                listFile(fileName) + " (la primera: participant " + p +
                                " a la màniga " + heat + "): no es mostren.");
    }
    case LoadIssue::RepeatedRows: {
        const std::string count = std::to_string(issue.count);
        const std::string p = std::to_string(issue.participant);
        return file + (es ? " tiene " + count +
                                " filas que repiten un participante de su manga (la primera: "
                                "participante " +
                                p + " en la manga " + heat + "): no se muestran."
                          : " té " + count +
                                " files que repeteixen un participant de la seva màniga (la "
                                "primera: participant " +
                                p + " a la màniga " + heat + "): no es mostren.");
    }
    case LoadIssue::TooManyRows: {
        const std::string most = std::to_string(kMaxClassificationRows);
        return es ? "La clasificación tiene como máximo " + most +
                        " filas: no se muestran las "
                        "de " +
                        fileName + " desde la manga " + heat + "."
                  : "La classificació té com a màxim " + most + " files: no es mostren les de " +
                        fileName + " des de la màniga " + heat + ".";
    }
    }
    return file;
}

} // namespace cronovolta
