#include "output/lap_listing.h"

#include "corrections/correction_model.h"
#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/lap_record.h"
#include "storage/number_format.h"
#include "storage/participant_list.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace cronovolta {
namespace {

double cell(const LapRow& row, int column) {
    return row.values[static_cast<std::size_t>(column)];
}

} // namespace

LapListing::LapListing(LapListingSetup setup) : m_setup(std::move(setup)) {}

const std::vector<std::string>& LapListing::entries(Selector selector) const {
    return m_entries[static_cast<std::size_t>(selector)];
}

int LapListing::position(Selector selector) const {
    return m_positions[static_cast<std::size_t>(selector)];
}

void LapListing::load() {
    auto& series = m_entries[SeriesSelector];
    series.clear();
    for (int s = 1; s <= std::max(m_setup.seriesCount, 1); ++s) {
        series.push_back(formatNumber(s, "#"));
    }
    m_entries[ParticipantSelector] = {m_setup.all};
    m_entries[LaneSelector] = {m_setup.allLanes};
    const int seriesNumber =
        m_setup.programmeType >= ProgrammeType::OfficialPractice ? m_setup.activeSeriesNumber : 1;
    choose(SeriesSelector, std::clamp(seriesNumber, 1, static_cast<int>(series.size())) - 1);
}

void LapListing::choose(Selector selector, int position) {
    const auto& list = entries(selector);
    if (position < 0 || position >= static_cast<int>(list.size())) {
        return;
    }
    m_positions[static_cast<std::size_t>(selector)] = position;
    fire(selector);
}

// The first event of a chain remembers itself; the events it sets off do not filter.
void LapListing::fire(Selector selector) {
    if (m_chain == -99) {
        m_chain = selector;
    }
    switch (selector) {
    case SeriesSelector:
        seriesChosen();
        break;
    case HeatSelector:
        loadHeat();
        choose(LaneSelector, 0);
        break;
    default:
        break;
    }
    if (m_chain == selector) {
        filter();
        m_chain = -99;
    }
}

void LapListing::seriesChosen() {
    const int seriesNumber = selectedSeries();
    m_lapFile = m_setup.programmeType >= ProgrammeType::OfficialPractice
                    ? m_setup.folder / seriesFileName(m_setup.programmeType, seriesNumber, ".VAV")
                    : m_setup.folder / "VLTAVLT.TMP";
    clearLists();
    choose(ParticipantSelector, 0);
    choose(LaneSelector, 0);
    const int heat = m_setup.programmeType >= ProgrammeType::OfficialPractice ? m_heats : 1;
    if (heat >= 1) {
        choose(HeatSelector, heat - 1);
    } else {
        m_rows.clear();
    }
}

void LapListing::clearLists() {
    m_entries[HeatSelector].clear();
    m_positions[HeatSelector] = -1;
    m_entries[ParticipantSelector].resize(1);
    m_entries[LaneSelector].resize(1);
    m_names.clear();
    m_heats = 1;
    if (m_setup.programmeType >= ProgrammeType::OfficialPractice) {
        auto list = readParticipantList(
            participantFile(m_setup.folder, m_setup.programmeType, selectedSeries()));
        m_heats = list ? std::max<int>(list->heatsDone, 0) : 0;
        if (list) {
            m_names = list->names;
        }
        for (const auto& n : m_names) {
            m_entries[ParticipantSelector].push_back(n);
        }
    }
    for (int h = 1; h <= m_heats; ++h) {
        m_entries[HeatSelector].push_back(formatNumber(h, "#"));
    }
}

std::string LapListing::name(int participant) const {
    if (participant < 1 || participant > static_cast<int>(m_names.size())) {
        return {};
    }
    return m_names[static_cast<std::size_t>(participant - 1)];
}

namespace {

// Heat headers chain through their record counts; a heat's block is the first header of
// its number on the chain. One walk finds every heat's.
std::map<float, std::size_t> heatHeaders(const std::vector<LapRecord>& records) {
    std::map<float, std::size_t> starts;
    std::size_t pos = 0;
    while (pos < records.size()) {
        const LapRecord& r = records[pos];
        if (r.lane == 0) {
            if (!std::isnan(r.lapTime)) {
                starts.try_emplace(r.lapTime, pos);
            }
            pos += static_cast<std::size_t>(std::max<int>(r.laps, 0));
        }
        ++pos;
    }
    return starts;
}

} // namespace

std::vector<LapRecord> LapListing::readLaps() {
    m_problems.clear();
    auto file = readLapFile(m_lapFile);
    if (!file) {
        m_problems.push_back(file.error());
        return {};
    }
    if (auto skipped = describeSkippedLapBytes(m_lapFile, *file, m_setup.language);
        !skipped.empty()) {
        m_problems.push_back(std::move(skipped));
    }
    return std::move(file->records);
}

void LapListing::loadHeat() {
    const auto records = readLaps();
    const auto starts = heatHeaders(records);
    const auto start = starts.find(static_cast<float>(selectedHeat()));
    listHeat(records, start == starts.end() ? records.size() : start->second);
}

void LapListing::listHeat(const std::vector<LapRecord>& records, std::size_t pos) {
    const int seriesNumber = selectedSeries();
    const int heat = selectedHeat();
    m_rows.clear();
    if (pos < records.size()) {
        const LapRecord& header = records[pos];
        m_startShown = true;
        m_startTime = longTime(header.crossingTime);
        const int count = std::max<int>(header.laps, 0);
        for (int i = 1; i <= count && pos + static_cast<std::size_t>(i) < records.size(); ++i) {
            const LapRecord& r = records[pos + static_cast<std::size_t>(i)];
            if (r.splitKind != 0.0f || r.lane == 0) {
                continue;
            }
            LapRow row;
            auto& c = row.cells;
            c[lapcol::Series] = formatNumber(seriesNumber, "#");
            c[lapcol::Participant] = formatNumber(r.participant, "#");
            c[lapcol::Name] = name(r.participant);
            c[lapcol::Lane] = formatNumber(r.lane, "0");
            c[lapcol::Heat] = formatNumber(heat, "0");
            c[lapcol::Lap] = formatNumber(r.laps, "0");
            c[lapcol::SinceStart] = formatSingle(r.crossingTime, "0.0000");
            // The last record of a heat that ended in a pause holds the pause length.
            c[lapcol::LapTime] =
                i == count && r.lane < 0 ? longTime(r.lapTime) : formatSingle(r.lapTime, "0.0000");
            c[lapcol::SinceStartKey] = c[lapcol::SinceStart];
            c[lapcol::Clock] = longTime(r.crossingTime);
            for (std::size_t k = 0; k < c.size(); ++k) {
                row.values[k] = numericValue(c[k]);
            }
            m_rows.push_back(std::move(row));
        }
    }
    auto& lanes = m_entries[LaneSelector];
    lanes.resize(1);
    std::set<int> seen;
    for (const auto& row : m_rows) {
        seen.insert(static_cast<int>(cell(row, lapcol::Lane)));
    }
    for (int lane : seen) {
        lanes.push_back(formatNumber(lane, "#"));
    }
    sortBy(m_sort);
}

void LapListing::filter() {
    ++m_filterRuns;
    const int participant = position(ParticipantSelector);
    const int lanePosition = position(LaneSelector);
    const double lane =
        lanePosition >= 1
            ? numericValue(entries(LaneSelector)[static_cast<std::size_t>(lanePosition)])
            : 0.0;
    for (auto& row : m_rows) {
        const double rowLane = cell(row, lapcol::Lane);
        row.visible = !(participant >= 1 && cell(row, lapcol::Participant) != participant) &&
                      !(lanePosition >= 1 && lane != rowLane) &&
                      !(lanePosition == 0 && rowLane < 0);
    }
    sortBy(m_sort);
}

void LapListing::sortBy(int option) {
    m_sort = std::clamp(option, 1, 3);
    const int first = m_sort == 1   ? lapcol::Lap
                      : m_sort == 2 ? lapcol::LapTime
                                    : lapcol::SinceStartKey;
    const int second = m_sort == 1 ? lapcol::SinceStart : lapcol::SinceStartKey;
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const LapRow& a, const LapRow& b) {
        const double a1 = cell(a, first);
        const double b1 = cell(b, first);
        return a1 != b1 ? a1 < b1 : cell(a, second) < cell(b, second);
    });
    m_visible = 0;
    for (auto& row : m_rows) {
        if (row.visible) {
            row.cells[lapcol::Ordinal] = formatNumber(++m_visible, "#") + ".-";
        }
    }
}

std::expected<fs::path, std::string> LapListing::writeDump() {
    sortBy(3);
    std::string text;
    const int heats = static_cast<int>(entries(HeatSelector).size());
    // One read for every heat: a heat counter of thousands must not read the file as often.
    const auto records = readLaps();
    const auto starts = heatHeaders(records);
    for (int k = 0; k < heats; ++k) {
        const auto start = starts.find(static_cast<float>(k + 1));
        if (start == starts.end()) {
            continue;
        }
        m_positions[HeatSelector] = k;
        listHeat(records, start->second);
        for (const auto& row : m_rows) {
            const auto& c = row.cells;
            if (c[lapcol::Name].empty()) {
                continue;
            }
            text += c[lapcol::Name] + ";" + c[lapcol::Lane] + ";" + c[lapcol::Heat] + ";" +
                    c[lapcol::Lap] + ";" + c[lapcol::LapTime] + ";" + c[lapcol::Clock] + "\r\n";
        }
    }
    if (heats > 0) {
        choose(HeatSelector, heats - 1); // the last heat stays listed, as after a choice
    }
    const fs::path path = m_setup.folder / "VLTAVLT.TXT";
    if (auto written = writeFileAtomic(path, utf8ToWindows1252(text)); !written) {
        return std::unexpected(written.error());
    }
    return path;
}

std::expected<std::vector<int>, std::string> LapListing::assignFastest(int row) {
    if (!canAssignFastest() || row < 0 || row >= static_cast<int>(m_rows.size())) {
        return std::unexpected("no lap to assign");
    }
    const auto& c = m_rows[static_cast<std::size_t>(row)].cells;
    auto model = CorrectionModel::open(m_setup.folder, m_setup.programmeType, selectedSeries(),
                                       CorrectionMode::Laps);
    if (!model) {
        return std::unexpected(model.error());
    }
    if (!model->selectHeat(selectedHeat())) {
        return std::unexpected(model->problem());
    }
    const int k = model->rowOfLane(static_cast<int>(numericValue(c[lapcol::Lane])));
    if (k == 0) {
        return std::unexpected("heat " + std::to_string(selectedHeat()) + " has no row of lane " +
                               c[lapcol::Lane]);
    }
    model->setSecond(k, c[lapcol::LapTime]);
    model->leaveSecond(k);
    return model->save();
}

} // namespace cronovolta
