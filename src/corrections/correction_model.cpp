#include "corrections/correction_model.h"

#include "heat/series_files.h"
#include "results/laps_text.h"
#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/heat_result_record.h"
#include "storage/number_format.h"

#include <cmath>

namespace cronovolta {
namespace {

constexpr const char* kLapFormat = "0.0000";

} // namespace

CorrectionModel::CorrectionModel(SeriesFiles series, CorrectionMode mode)
    : m_series(std::move(series)), m_mode(mode) {
    const int rows = m_series.programmeType == ProgrammeType::SuperPole ? 1 : m_series.track.lanes;
    m_rows.resize(static_cast<std::size_t>(std::max(rows, 0)));
    for (int k = 1; k <= rowCount() && m_series.programmeType != ProgrammeType::SuperPole; ++k) {
        if (static_cast<std::size_t>(k) < m_series.track.laneChangeOrder.size()) {
            at(k).lane = m_series.track.laneChangeOrder[static_cast<std::size_t>(k)];
        }
    }
    selectHeat(m_series.heats);
}

std::expected<CorrectionModel, std::string> CorrectionModel::open(const fs::path& eventDir,
                                                                  ProgrammeType programmeType,
                                                                  int seriesNumber,
                                                                  CorrectionMode mode) {
    auto series = openSeriesFiles(eventDir, programmeType, seriesNumber);
    if (!series) {
        return std::unexpected(series.error());
    }
    if (series->heats < 1) {
        return std::unexpected(seriesBaseName(programmeType, seriesNumber) +
                               " has no heat run yet");
    }
    return CorrectionModel(std::move(*series), mode);
}

bool CorrectionModel::lapsEditable() const {
    return m_mode == CorrectionMode::Laps && m_series.programmeType == ProgrammeType::Race;
}

int CorrectionModel::rowOfLane(int lane) const {
    for (int k = 1; k <= rowCount(); ++k) {
        if (row(k).lane == lane) {
            return k;
        }
    }
    return 0;
}

void CorrectionModel::clearRows() {
    for (auto& r : m_rows) {
        if (m_series.programmeType == ProgrammeType::SuperPole) {
            r.lane = 0;
        }
        r.participant = 0;
        r.name.clear();
        r.laps.clear();
        r.second.clear();
    }
}

double CorrectionModel::lapFractionScale() const {
    return std::pow(10.0, decimals());
}

void CorrectionModel::showRecord(CorrectionRow& row, float heatLaps, float heatFastest) const {
    if (m_mode == CorrectionMode::Laps) {
        row.laps = lapsText(heatLaps, m_series.track, true);
        row.second = formatSingle(heatFastest, kLapFormat);
        return;
    }
    // Whole laps and the fraction in units; a value stored in single precision may sit a
    // hair below its decimal text, which must not lose a unit.
    const double scaled = static_cast<double>(heatLaps) * lapFractionScale();
    double units = std::round(scaled);
    if (std::abs(scaled - units) > 0.05) {
        units = std::floor(scaled);
    }
    const double whole = std::floor(units / lapFractionScale());
    row.laps = formatNumber(whole, "0");
    row.second = formatNumber(units - whole * lapFractionScale(), std::string(decimals(), '0'));
}

bool CorrectionModel::selectHeat(int heat) {
    m_heat = heat;
    m_problem.clear();
    clearRows();
    std::optional<std::vector<HeatResultRecord>> block;
    if (auto file = readHeatResultFile(m_series.file(".DAD")); !file) {
        m_problem = file.error();
    } else if (block = resultBlock(file->records, heat); !block) {
        m_problem = "the results file " + m_series.file(".DAD").filename().string() +
                    " holds no heat " + std::to_string(heat);
    }
    for (const auto& record : block.value_or(std::vector<HeatResultRecord>{})) {
        int k = 0;
        if (m_series.programmeType == ProgrammeType::SuperPole) {
            k = record.participant == superPoleDriver(heat, m_series.participants()) ? 1 : 0;
            if (k == 1) {
                at(1).lane = record.lane;
            }
        } else {
            k = rowOfLane(record.lane);
        }
        if (k == 0 || at(k).participant != 0) {
            continue;
        }
        CorrectionRow& r = at(k);
        r.participant = record.participant;
        r.name = m_series.name(record.participant);
        showRecord(r, record.heatLaps, record.heatFastestLap);
    }
    for (int k = 1; k <= rowCount(); ++k) {
        leaveLaps(k);
        leaveSecond(k);
    }
    return m_problem.empty();
}

void CorrectionModel::leaveLaps(int k) {
    // A heat cannot take laps away from the series.
    at(k).laps = lapsText(std::max(numericValue(at(k).laps), 0.0), m_series.track, true);
}

void CorrectionModel::leaveSecond(int k) {
    CorrectionRow& r = at(k);
    const double value = numericValue(r.second);
    if (m_mode == CorrectionMode::Laps) {
        r.second = formatNumber(value > m_series.track.minimumLap ? value : 0.0, kLapFormat);
        return;
    }
    const std::string zeros(decimals(), '0');
    std::string text = value > 0.0 ? formatNumber(value, zeros) : zeros;
    // A whole lap or more is not a fraction of one.
    if (numericValue(text) >= lapFractionScale()) {
        text = zeros;
    }
    r.second = text;
}

void CorrectionModel::enableOnlyLastRow() {
    for (int k = 1; k <= rowCount(); ++k) {
        at(k).enabled = k == rowCount();
    }
}

std::expected<std::vector<int>, std::string> CorrectionModel::save() {
    std::vector<LaneValues> values;
    for (int k = 1; k <= rowCount(); ++k) {
        leaveLaps(k);
        leaveSecond(k);
        const CorrectionRow& r = row(k);
        LaneValues v;
        v.lane = r.lane;
        if (m_mode == CorrectionMode::Laps) {
            v.laps = static_cast<float>(numericValue(r.laps));
            v.fastest = static_cast<float>(numericValue(r.second));
        } else {
            const double lapFraction =
                decimals() > 0 ? numericValue(r.second) / lapFractionScale() : 0.0;
            v.laps = static_cast<float>(numericValue(r.laps) + lapFraction);
        }
        values.push_back(v);
    }
    return recomputeSeries(m_series, m_heat, values);
}

} // namespace cronovolta
