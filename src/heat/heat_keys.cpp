// The heat keys of the heat screens and the heat-panel buttons.
#include "heat/heat_engine.h"

#include "storage/formatting.h"
#include "storage/number_format.h"

#include <cctype>
#include <cmath>
#include <initializer_list>
#include <string>

namespace cronovolta {
namespace {

// A crossing this recent means the cars are still running.
constexpr double kStillCrossingSeconds = 5.0;
// The key of a caption: a single character alone between parentheses, "(L)listar".
bool captionHasKey(const std::string& caption, int upper) {
    for (std::size_t i = 0; i + 2 < caption.size(); ++i) {
        if (caption[i] == '(' && caption[i + 2] == ')' &&
            static_cast<unsigned char>(caption[i + 1]) == upper) {
            return true;
        }
    }
    return false;
}

} // namespace

HeatCommand HeatEngine::clickButton(int button) {
    if (!m_open || m_state.running || button < 0 || button > 5) {
        return HeatCommand::None;
    }
    auto b = static_cast<std::size_t>(button);
    if (!m_panel.buttonVisible[b] || !m_panel.buttonEnabled[b]) {
        return HeatCommand::None;
    }
    switch (button) {
    case 0:
        return HeatCommand::CloseProgramme;
    case 1:
        return HeatCommand::ListLaps;
    case 2:
        return HeatCommand::Print;
    case 3:
        return HeatCommand::Correct;
    case 4:
        return m_state.heat >= 1 ? HeatCommand::AskCancel : HeatCommand::None;
    default:
        m_lapFractionMode = true;
        m_pendingLapFraction = LapFractionEntry::Full;
        return HeatCommand::EnterLapFractions;
    }
}

HeatCommand HeatEngine::handleKey(int key, double now) {
    if (!m_open || m_lapFractionMode) {
        return HeatCommand::None;
    }
    if (key == kKeyShift) {
        m_keys.pressShift();
        return HeatCommand::None;
    }
    const bool shift = m_keys.takeShift();
    if (key == 's' || key == 'S') {
        if (m_state.running) {
            const int heat = m_state.heat;
            armHeatEnd(now);
            finishHeat(now);
            if (!m_state.running) {
                m_keys.endedByKey(now, heat);
            }
        } else {
            m_panel.clearErrors();
            m_panel.showButtons(false);
            m_keys.startingByKey(true);
            startHeat(now);
            m_keys.startingByKey(false);
        }
        return HeatCommand::None;
    }
    if (key == 'p' || key == 'P') {
        if (m_state.running) {
            if (m_state.paused) {
                resumePausedHeat(now);
            } else {
                pauseHeat(now);
            }
        }
        return HeatCommand::None;
    }
    if (m_state.running) {
        if (m_programmeType == ProgrammeType::Race) {
            adjustmentKey(key);
        }
        return HeatCommand::None;
    }
    return idleKey(key, shift);
}

bool HeatEngine::endByKeyNeedsAsking(double now) const {
    if (!m_state.running || !m_keys.counterRun()) {
        return false;
    }
    const auto& records = m_records.journal.records();
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->lane > 0) {
            return sinceHeatStart(now) - it->crossingTime <= kStillCrossingSeconds;
        }
    }
    return false;
}

void HeatEngine::noteHeatStart(double now) {
    m_panel.notice =
        m_keys.heatStarted(now, m_state.heat, m_recovery.recovering, m_texts.counterStartNotice);
}

HeatCommand HeatEngine::idleKey(int key, bool shift) {
    if (!m_panel.shown) {
        return HeatCommand::None;
    }
    if (key == kKeyEsc) {
        HeatCommand command = clickButton(0);
        if (command == HeatCommand::CloseProgramme && shift && standingsProgramme()) {
            return HeatCommand::OpenNextSeries;
        }
        return command;
    }
    if (key <= 0 || key > 255) {
        return HeatCommand::None;
    }
    int upper = std::toupper(key);
    for (int b = 0; b < 6; ++b) {
        if (m_panel.buttonVisible[static_cast<std::size_t>(b)] &&
            captionHasKey(m_panel.captions[static_cast<std::size_t>(b)], upper)) {
            return clickButton(b);
        }
    }
    return HeatCommand::None;
}

void HeatEngine::adjustmentKey(int key) {
    std::string& entry = m_panel.adjustment;
    if (key == '+' || key == '-') {
        entry.assign(1, static_cast<char>(key));
        m_panel.adjustmentVisible = true;
    } else if (key >= '0' && key <= '9') {
        if (!entry.empty() && (entry[0] == '+' || entry[0] == '-') && entry.size() < 6) {
            entry.push_back(static_cast<char>(key));
        }
    } else if (key == kKeyEnter || key == kKeyEsc) {
        if (key == kKeyEnter) {
            applyLapAdjustment();
        }
        entry.clear();
        m_panel.adjustmentVisible = false;
    } else {
        return;
    }
    changed();
}

void HeatEngine::applyLapAdjustment() {
    double entered = numericValue(m_panel.adjustment);
    int lane = static_cast<int>(std::fabs(entered));
    int amount = m_panel.adjustment.starts_with("-") ? -1 : 1;
    if (!adjustLaps(lane, amount)) {
        return;
    }
    const auto& records = m_records.journal.records();
    LapAdjustment adjustment{static_cast<std::int16_t>(m_state.heat),
                             static_cast<std::int16_t>(lane), static_cast<std::int16_t>(amount),
                             records.empty() ? m_state.heatStart : records.front().crossingTime,
                             m_records.journal.recordCount()};
    if (auto written = m_records.adjustments.append(adjustment); !written && !m_records.failed) {
        m_records.failed = true;
        report(written.error());
    }
}

bool HeatEngine::adjustLaps(int lane, int amount) {
    if (lane < 1 || lane > m_lanes.highestLane()) {
        return false;
    }
    int r = m_grid.findLane(lane);
    if (r == 0 || (amount < 0 && m_grid.value(r, col::HeatLaps) < 1.0)) {
        return false;
    }
    m_grid.setText(r, col::SeriesLaps,
                   formatLaps(m_grid.value(r, col::SeriesLaps) + amount, false, m_track));
    m_grid.setText(r, col::HeatLaps,
                   formatLaps(m_grid.value(r, col::HeatLaps) + amount, false, m_track));
    m_grid.setText(r, col::Adjustments,
                   formatNumber(m_grid.value(r, col::Adjustments) + amount, "+#;-#;\\ \\"));
    LanePanel& panel = m_lanes.panel(lane);
    panel.rows[0] = std::to_string(panel.lapCount() + amount);
    panel.driverColour = m_colours.slot[static_cast<std::size_t>(3 + lane % 2)];
    heatKeys(r, lane);
    resortStandings(r);
    return true;
}

} // namespace cronovolta
