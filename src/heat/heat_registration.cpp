// One crossing of one lane: the lap, the lane's lap list, the journal record and the
// standings (registerCrossing and the standings update).
#include "heat/fast_text.h"
#include "heat/heat_engine.h"

#include "storage/formatting.h"
#include "storage/lap_record.h"
#include "storage/number_format.h"

#include <algorithm>
#include <cmath>

namespace cronovolta {
namespace {

std::string lapText(float lapTime) {
    return fixedSingleText(lapTime, 4);
}

} // namespace

void HeatEngine::registerCrossing(int lane, float counterTime, double now) {
    if (!m_open || !m_state.running || !m_lanes.takesPart(lane)) {
        return;
    }
    auto l = static_cast<std::size_t>(lane);
    int participant = m_timers.m_driverOnLane[l];
    if (m_programmeType == ProgrammeType::SuperPole) {
        if (m_track.splitTiming && (lane == m_track.partialLane || lane == m_track.speedLane)) {
            superPoleSensor(lane, counterTime, now);
            return;
        }
        if (m_superPole.activeLane() == 0) {
            m_superPole.setActiveLane(lane);
        } else if (lane != m_superPole.activeLane()) {
            return;
        }
    }
    float crossing = crossingTime(lane, now);
    LanePanel& panel = m_lanes.panel(lane);
    float lapTime = kNoLapTime;
    std::int16_t fastestFlag = 0;
    bool firstCrossing = panel.rows[1].empty();
    // A crossing in a pause ends a lap that holds part of it and starts another that will.
    bool acrossPause = m_timers.m_lapHoldsPause[l] || m_state.paused;
    m_timers.m_lapHoldsPause[l] = m_state.paused;
    bool untimed = counterTime < 0.0f || acrossPause;
    if (firstCrossing) {
        panel.rows[1] = "+1";
        m_timers.m_crossingTimes[l] = crossing;
    } else {
        double pcLap =
            static_cast<double>(crossing) - m_timers.m_crossingTimes[l] + m_timers.m_carriedTime[l];
        // The counter's time unless it is missing or the lap is beyond its two-digit seconds.
        lapTime = pcLap <= 99.0 && counterTime > 0.0f ? counterTime + m_timers.m_carriedTime[l]
                                                      : static_cast<float>(pcLap);
        m_timers.m_crossingTimes[l] = crossing;
        if (lapTime < m_track.minimumLap && !acrossPause) {
            rejectCrossing(lane, participant, lapTime, m_panel.clock);
            changed();
            return;
        }
        m_timers.m_carriedTime[l] = 0.0f;
        panel.rows.push_back(lapText(lapTime));
        panel.highlighted.push_back(false);
        if (!untimed && (panel.fastestLap.empty() || numericValue(panel.fastestLap) >= lapTime)) {
            panel.fastestLap = panel.rows.back();
            panel.highlighted.back() = true;
            fastestFlag = -1;
        }
        panel.topRow = static_cast<int>(panel.rows.size()) - 1;
    }
    int laps = panel.lapCount() + 1;
    panel.rows[0] = std::to_string(laps);
    panel.currentRow = static_cast<int>(panel.rows.size()) - 1;
    m_lanes.setFlagLane(lane);

    LapRecord record;
    record.lane = static_cast<std::int16_t>(lane);
    record.participant = static_cast<std::int16_t>(participant);
    record.crossingTime = m_timers.m_crossingTimes[l];
    record.lapTime = lapTime;
    record.fastestFlag = fastestFlag;
    record.laps = static_cast<std::int16_t>(laps);
    journalRecord(record);
    if (m_programmeType == ProgrammeType::SuperPole) {
        if (!firstCrossing) {
            m_superPole.finishRun(panel.rows.back());
        }
        startSuperPoleRun(crossing);
    }
    if (standingsProgramme()) {
        standingsUpdate(lane, participant, 1, false, !untimed);
    }
    changed();
}

void HeatEngine::rejectCrossing(int lane, int participant, float lapTime,
                                const std::string& clock) {
    auto l = static_cast<std::size_t>(lane);
    m_timers.m_carriedTime[l] = lapTime;
    LapRecord record;
    record.lane = static_cast<std::int16_t>(lane);
    record.participant = static_cast<std::int16_t>(participant);
    record.crossingTime = m_timers.m_crossingTimes[l];
    record.lapTime = lapTime;
    journalRecord(record);
    addRejectedEntry(lane, clock);
}

void HeatEngine::addRejectedEntry(int lane, const std::string& clock) {
    int earlier = 0;
    for (const auto& entry : m_panel.errors) {
        if (numericValue(entry) == -lane) {
            ++earlier;
        }
    }
    m_panel.errors.push_back(formatNumber(lane, "-0  ") + formatNumber(earlier + 1, "(0)  ") +
                             clock);
    m_panel.errorsVisible = true;
    m_panel.selectedError = static_cast<int>(m_panel.errors.size()) - 1;
}

void HeatEngine::registerCounterResult(int lane, int laps, float fastestLap, double now) {
    (void)now;
    if (!m_open || !m_state.running || lane < 1 || lane > m_lanes.highestLane()) {
        return;
    }
    LanePanel& panel = m_lanes.panel(lane);
    std::string text = lapText(fastestLap);
    if (panel.rows[1].empty()) {
        panel.rows[1] = text;
    } else {
        panel.rows.push_back(text);
        panel.highlighted.push_back(false);
    }
    int last = static_cast<int>(panel.rows.size()) - 1;
    // 99.9999 (or nothing) is no time: it must not become anyone's fastest lap.
    bool valid = fastestLap > 0.0f && fastestLap < kNoLapTime;
    if (valid && (panel.fastestLap.empty() || numericValue(panel.fastestLap) >= fastestLap)) {
        panel.fastestLap = text;
        panel.highlighted[static_cast<std::size_t>(last)] = true;
    }
    panel.currentRow = last;
    panel.topRow = last;
    panel.rows[0] = std::to_string(laps);
    if (standingsProgramme()) {
        standingsUpdate(lane, driverOnLane(lane), laps, true, valid);
    }
    changed();
}

void HeatEngine::standingsUpdate(int lane, int participant, int increment, bool counterResult,
                                 bool validTime) {
    int r = m_grid.findParticipant(participant);
    if (r == 0) {
        return;
    }
    auto l = static_cast<std::size_t>(lane);
    const LanePanel& panel = m_lanes.panel(lane);
    if (!counterResult) {
        m_grid.clearMarkers();
        m_grid.setMarker(r, true);
        m_timers.m_driverOnLane[0] = static_cast<std::int16_t>(lane);
    }
    m_grid.setText(r, col::SeriesLaps, lapsText(m_grid.value(r, col::SeriesLaps) + increment));
    m_grid.setText(r, col::HeatLaps, lapsText(m_grid.value(r, col::HeatLaps) + increment));
    m_grid.setText(r, col::Lane, std::to_string(lane));
    m_grid.setText(r, col::LastLap, panel.rows[static_cast<std::size_t>(panel.currentRow)]);
    if (validTime) {
        fastestLapUpdate(r, lane);
    }
    if (m_programmeType == ProgrammeType::Race) {
        if (counterResult) {
            // A participant without a valid fastest lap goes after those with one.
            m_grid.setText(r, col::OrderTime,
                           "-" + (m_grid.blank(r, col::Fastest) ? std::string(kNoLapTimeText)
                                                                : m_grid.text(r, col::Fastest)));
        } else {
            m_grid.setText(r, col::OrderTime, fixedSingleText(-m_timers.m_crossingTimes[l], 2));
        }
    }
    heatKeys(r, lane);
    resortStandings(r);
}

// A timed lap: the participant's fastest of the heat, of the series, and the absolute one.
void HeatEngine::fastestLapUpdate(int r, int lane) {
    auto l = static_cast<std::size_t>(lane);
    const LanePanel& panel = m_lanes.panel(lane);
    if (m_grid.blank(r, col::HeatFastest) ||
        m_grid.value(r, col::HeatFastest) > m_grid.value(r, col::LastLap)) {
        m_grid.setText(r, col::HeatFastest, panel.fastestLap);
    }
    if (!m_grid.blank(r, col::HeatFastest) &&
        (m_grid.blank(r, col::Fastest) ||
         m_grid.value(r, col::Fastest) > m_grid.value(r, col::HeatFastest))) {
        m_grid.setText(r, col::Fastest, m_grid.text(r, col::HeatFastest));
        m_grid.setText(r, col::FastestTime, singleText(m_timers.m_crossingTimes[l]));
        m_grid.setText(r, col::FastestLane, std::to_string(lane));
        if (m_programmeType != ProgrammeType::Race) {
            m_grid.setText(r, col::OrderTime, "0");
        }
        if (m_absolute.time.empty() ||
            m_grid.value(r, col::Fastest) < numericValue(m_absolute.time)) {
            m_absolute = {m_grid.text(r, col::Fastest), m_grid.text(r, col::RaceNumber),
                          m_grid.text(r, col::Name), std::to_string(lane),
                          std::to_string(m_request.seriesNumber)};
        }
    }
}

void HeatEngine::heatKeys(int r, int lane) {
    auto l = static_cast<std::size_t>(lane);
    if (m_grid.value(r, col::HeatLaps) < 2.0) {
        bool superPoleRepeat = m_programmeType == ProgrammeType::SuperPole &&
                               m_grid.text(r, col::SeriesLaps) != m_grid.text(r, col::HeatLaps);
        m_timers.m_startTimes[l] = superPoleRepeat ? m_timers.m_crossingTimes[l] : 0.0f;
        // Back to one lap by an adjustment: no heat time any more.
        m_grid.setText(r, col::HeatKey1, "");
        m_grid.setText(r, col::HeatKey2, "");
        return;
    }
    if (m_grid.text(r, col::LastLap) == m_grid.text(r, col::HeatFastest) ||
        m_programmeType == ProgrammeType::Race) {
        m_grid.setText(r, col::HeatKey2,
                       singleText(static_cast<float>(
                           wrapDay(m_timers.m_crossingTimes[l] - m_timers.m_startTimes[l]))));
    }
    if (m_programmeType == ProgrammeType::OfficialPractice) {
        m_grid.setText(r, col::HeatKey1, m_grid.text(r, col::HeatFastest));
    } else if (m_programmeType == ProgrammeType::Race) {
        m_grid.setText(r, col::HeatKey1, wholeText(1.0 - m_grid.value(r, col::HeatLaps)));
    }
}

void HeatEngine::resortStandings(int currentRow) {
    m_grid.resort(
        {m_programmeType, &m_track, {m_texts.lapLetter, m_texts.secondsLetter}, currentRow});
    if (m_state.running && !m_lanes.layout().scrollBarVisible) {
        m_grid.keepInView(driverOnLane(0));
    }
    m_grid.colour(m_colours, m_absolute.time);
}

// --- Super Pole ---

void HeatEngine::startSuperPoleRun(float crossingTime) {
    m_timers.m_crossingTimes[0] = crossingTime;
    m_superPole.startRun(m_texts.partialHeading, m_texts.speedHeading);
}

void HeatEngine::superPoleSensor(int lane, float counterTime, double now) {
    auto l = static_cast<std::size_t>(lane);
    int runs = static_cast<int>(m_superPole.model().timing.size()) - 1;
    if (runs < 1) {
        return; // no run to time yet: the driver has not crossed the line
    }
    float crossing = crossingTime(lane, now);
    float lapTime =
        counterTime > 0.0f
            ? counterTime
            : static_cast<float>(static_cast<double>(crossing) - m_timers.m_crossingTimes[l]);
    m_timers.m_crossingTimes[l] = crossing;
    double sinceRun = static_cast<double>(crossing) - m_timers.m_crossingTimes[0];
    const SuperPoleRun::SensorReading reading =
        m_superPole.sensor(lane, crossing, counterTime, sinceRun, m_track);
    LapRecord record;
    record.lane = static_cast<std::int16_t>(lane);
    record.participant = static_cast<std::int16_t>(driverOnLane(m_superPole.activeLane()));
    record.crossingTime = crossing;
    record.lapTime = lapTime;
    record.laps = static_cast<std::int16_t>(runs);
    record.splitKind = reading.kind;
    record.splitValue = reading.value;
    journalRecord(record);
    changed();
}

} // namespace cronovolta
