#pragma once

#include "corrections/heat_recompute.h"

#include <expected>
#include <string>
#include <vector>

namespace cronovolta {

enum class CorrectionMode {
    Laps,        // laps (race only) and fastest lap of each lane
    LapFraction, // the fraction of a lap driven after the last crossing
};

// One row of `CorrectionsWindow`: a lane of the lane-change order, or the Super Pole driver.
struct CorrectionRow {
    int lane = 0;        // NP
    int participant = 0; // 0: the heat holds nobody on this lane
    std::string name;    // EQ
    std::string laps;    // NV
    std::string second;  // VR: the fastest lap, or the comes in units of the resolution
    bool enabled = true;
};

// `CorrectionsWindow`: the laps and fastest laps, or the comes, of one stored heat of a series.
// Saving recomputes that heat and every later one of the series. Rows are 1-based.
class CorrectionModel {
public:
    CorrectionModel(SeriesFiles series, CorrectionMode mode);
    static std::expected<CorrectionModel, std::string> open(const fs::path& eventDir,
                                                            ProgrammeType programmeType,
                                                            int seriesNumber, CorrectionMode mode);

    CorrectionMode mode() const { return m_mode; }
    const SeriesFiles& series() const { return m_series; }
    int heatCount() const { return m_series.heats; }
    int selectedHeat() const { return m_heat; }
    // Loads a heat into the rows; false, with the rows empty and problem() set, when the
    // results file does not hold it.
    bool selectHeat(int heat);
    const std::string& problem() const { return m_problem; }

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const CorrectionRow& row(int k) const { return m_rows[static_cast<std::size_t>(k - 1)]; }
    // First row of the lane; 0 when none.
    int rowOfLane(int lane) const;
    bool lapsEditable() const;
    int decimals() const { return static_cast<int>(m_series.track.decimalsText.size()); }

    void setLaps(int k, std::string text) { at(k).laps = std::move(text); }
    void setSecond(int k, std::string text) { at(k).second = std::move(text); }
    // The field rules run when the organiser leaves a field.
    void leaveLaps(int k);
    void leaveSecond(int k);
    // Comes between two passes: only the lane of the last position is asked for.
    void enableOnlyLastRow();

    // "&Gravar": returns the heats rewritten.
    std::expected<std::vector<int>, std::string> save();

private:
    CorrectionRow& at(int k) { return m_rows[static_cast<std::size_t>(k - 1)]; }
    void clearRows();
    void showRecord(CorrectionRow& row, float heatLaps, float heatFastest) const;
    double lapFractionScale() const;

    SeriesFiles m_series;
    CorrectionMode m_mode;
    int m_heat = 0;
    std::vector<CorrectionRow> m_rows;
    std::string m_problem;
};

} // namespace cronovolta
