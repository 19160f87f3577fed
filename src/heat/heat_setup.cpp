// Who drives where in each heat, and the standings rebuilt from the series files.
#include "heat/heat_engine.h"
#include "heat/series_files.h"
#include "heat/standings_records.h"

#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/penalty_record.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace cronovolta {

// The heat marker " <h>" at the end of the programme's caption.
void HeatEngine::setHeatMarker() {
    std::string& caption = m_panel.caption;
    if (auto mark = caption.rfind(" <"); mark != std::string::npos) {
        caption.erase(mark);
    }
    caption += " <" + std::to_string(m_state.heat) + ">";
}

void HeatEngine::resetHeatDisplay() {
    m_panel.clearErrors();
    resetLanesForHeat();
    if (m_programmeType == ProgrammeType::SuperPole) {
        m_superPole.clearRuns();
    }
    setHeatMarker();
}

void HeatEngine::setUpHeat() {
    resetHeatDisplay();
    const bool superPole = m_programmeType == ProgrammeType::SuperPole;
    m_grid.clearColumns(col::Heats, superPole ? col::HeatFastest : col::HeatKey2);
    m_grid.clearMarkers();
    m_timers.m_driverOnLane[0] = 0;
    for (const auto& place :
         heatPlacements(m_state.heat, participantCount(), m_track.laneChangeOrder, superPole)) {
        auto lane = static_cast<std::size_t>(place.lane);
        if (lane >= m_timers.m_driverOnLane.size()) {
            continue;
        }
        m_timers.m_driverOnLane[lane] = static_cast<std::int16_t>(place.participant);
        m_timers.m_startTimes[lane] = 0.0f;
        int r = m_grid.findParticipant(place.participant);
        LanePanel& panel = m_lanes.panel(place.lane);
        panel.pilot = r ? m_grid.text(r, col::Name) : participantName(place.participant);
        if (r) {
            m_grid.setText(r, col::Lane, superPole ? std::string("0") : std::to_string(place.lane));
        }
        if (superPole) {
            m_superPole.setActiveLane(0);
            if (m_superPole.model().onTrack.empty()) {
                m_superPole.model().onTrack = panel.pilot;
                if (r) {
                    m_superPole.model().driverReference = {
                        m_grid.text(r, col::Fastest), m_grid.text(r, col::Name),
                        m_grid.text(r, col::RaceNumber), m_grid.text(r, col::FastestLane),
                        std::to_string(m_request.seriesNumber)};
                }
            }
        }
    }
    entryMarksAndHeatCounts();
    resortStandings(0);
}

void HeatEngine::entryMarksAndHeatCounts() {
    const bool superPole = m_programmeType == ProgrammeType::SuperPole;
    const int lanes = m_track.lanes;
    const int participants = participantCount();
    for (const auto& mark : entryMarks(m_state.heat, participants, m_track.laneChangeOrder,
                                       superPole, m_texts.entryMark)) {
        int r = m_grid.findParticipant(mark.participant);
        if (r == 0) {
            continue;
        }
        m_grid.setText(r, col::Lane, mark.text);
        if (superPole) {
            m_superPole.model().nextDriver = mark.text + " - " + m_grid.text(r, col::Name);
        }
    }
    m_headings.resize(col::Count);
    if (m_state.heat <= 0) {
        return;
    }
    // The Super Pole has one driver per heat: its counts are those of a single lane.
    int countedLanes = superPole ? 1 : lanes;
    if (countedLanes < participants) {
        m_headings[col::Heats] = m_layoutHeadings[col::Heats];
        for (int r = 1; r <= m_grid.rowCount(); ++r) {
            int participant = static_cast<int>(m_grid.value(r, col::RaceNumber));
            m_grid.setText(
                r, col::Heats,
                formatNumber(heatsDriven(participant, m_state.heat, countedLanes, participants),
                             "#"));
        }
    } else {
        m_headings[col::Heats].clear();
    }
}

// A row of a participant without results: the entry order keeps it in its place in the
// sorts, after every participant with a lap.
void HeatEngine::entryStandingsRow(int row, int participant) {
    m_grid.setText(row, col::RaceNumber, std::to_string(participant));
    m_grid.setText(row, col::Name, participantName(participant));
    m_grid.setText(
        row, col::OrderTime,
        std::to_string(m_programmeType == ProgrammeType::Race ? -participant : participant));
}

void HeatEngine::rebuildStandings() {
    if (!m_open || !standingsProgramme()) {
        return;
    }
    setHeatMarker();
    const int participants = participantCount();
    m_grid.reset(participants);
    m_timers.m_driverOnLane[0] = 0;
    if (m_state.heat <= 0) {
        std::error_code ec;
        fs::remove(seriesFile(".DAD"), ec);
        for (int i = 1; i <= participants; ++i) {
            entryStandingsRow(i, i);
        }
        m_lanes.clearNames();
    } else {
        m_panel.buttonEnabled = {
            true, true, true,
            true, true, m_programmeType == ProgrammeType::Race && m_track.largestPartial != 0};
        std::optional<std::vector<HeatResultRecord>> block;
        if (auto file = readHeatResultFile(seriesFile(".DAD")); file) {
            block = resultBlock(file->records, m_state.heat);
        } else {
            report(file.error());
        }
        if (!block) {
            report(heatnote::missingResultsText(m_settings.language, seriesFile(".DAD").string(),
                                                m_state.heat));
        }
        int filled = 0;
        for (const auto& record : block.value_or(std::vector<HeatResultRecord>{})) {
            if (filled == participants) {
                break;
            }
            ++filled;
            fillStandingsRow(m_grid, filled, record, participantName(record.participant),
                             m_programmeType, m_track);
        }
        // Participants the block does not hold still get their row.
        for (int p = 1; p <= participants && filled < participants; ++p) {
            if (m_grid.findParticipant(p) == 0) {
                entryStandingsRow(++filled, p);
            }
        }
    }
    entryMarksAndHeatCounts();
    scanAbsoluteFastestLap();
    m_grid.setPenalties(seriesPenalties());
    resortStandings(0);
    changed();
}

void HeatEngine::reloadPenalties() {
    if (!m_open || !standingsProgramme()) {
        return;
    }
    m_grid.setPenalties(seriesPenalties());
    resortStandings(0);
    changed();
}

// A participant's last penalty record counts, as in the classification: they do not add up.
std::vector<float> HeatEngine::seriesPenalties() {
    std::vector<float> laps(static_cast<std::size_t>(participantCount()) + 1, 0.0f);
    auto file = readPenalties(seriesFile(".PEN"));
    if (!file) {
        report(file.error());
        return laps;
    }
    for (const auto& record : file->records) {
        if (record.participant >= 1 && static_cast<std::size_t>(record.participant) < laps.size() &&
            std::isfinite(record.laps) && record.laps > 0.0f) {
            laps[static_cast<std::size_t>(record.participant)] = record.laps;
        }
    }
    return laps;
}

void HeatEngine::scanAbsoluteFastestLap() {
    m_absolute = {};
    float best = 0.0f;
    for (int s = 1; s <= m_request.seriesCount; ++s) {
        auto list = readParticipantList(participantFile(m_workDir, m_programmeType, s));
        if (!list || list->heatsDone <= 0) {
            continue;
        }
        auto file = readHeatResultFile(m_workDir / seriesFileName(m_programmeType, s, ".DAD"));
        if (!file) {
            continue;
        }
        auto block = resultBlock(file->records, list->heatsDone);
        for (const auto& record : block.value_or(std::vector<HeatResultRecord>{})) {
            if (record.fastestLap > 0.0f && (m_absolute.time.empty() || record.fastestLap < best)) {
                best = record.fastestLap;
                std::string name;
                if (record.participant >= 1 &&
                    record.participant <= static_cast<int>(list->names.size())) {
                    name = list->names[static_cast<std::size_t>(record.participant - 1)];
                }
                m_absolute = {formatSingle(record.fastestLap, "0.0000"),
                              std::to_string(record.participant), name,
                              std::to_string(record.fastestLane), std::to_string(s)};
            }
        }
    }
}

// The sector references of a Super Pole: the runs stored in the series' heats.
void HeatEngine::seedSectorReferences() {
    for (std::size_t k = 1; k < m_superPole.model().reference.size(); ++k) {
        m_superPole.model().reference[k].fill(std::string());
    }
    auto file = readLapFile(seriesFile(".VAV"));
    if (!file) {
        report(file.error());
        return;
    }
    if (auto skipped = describeSkippedLapBytes(seriesFile(".VAV"), *file, m_settings.language);
        !skipped.empty()) {
        report(skipped);
    }
    const auto& records = file->records;
    for (int h = 1; h <= m_state.heat; ++h) {
        auto start = lapBlockStart(records, h);
        if (!start || *start >= records.size()) {
            break;
        }
        std::size_t end =
            std::min(records.size(),
                     *start + static_cast<std::size_t>(std::max<int>(records[*start].laps, 0)));
        for (std::size_t i = *start + 1; i < end; ++i) {
            float kind = records[i].splitKind;
            int column = kind == kSplitFirst    ? 1
                         : kind == kSplitSecond ? 2
                         : kind == kSplitSpeed  ? 3
                                                : 0;
            if (column > 0 && records[i].splitValue > 0.0f) {
                rememberSectorValue(m_superPole.model(), column, records[i].splitValue);
            }
        }
    }
}

std::string HeatEngine::cancelQuestion() const {
    return m_texts.cancelQuestion + strValue(static_cast<float>(m_state.heat)) + "?";
}

bool HeatEngine::cancelLastHeat() {
    if (!m_open || m_state.running || !standingsProgramme() || m_state.heat < 1) {
        return false;
    }
    int heat = m_state.heat - 1;
    if (auto written = writeHeatCounter(seriesFile(".PAR"), static_cast<std::int16_t>(heat));
        !written) {
        report(written.error());
        return false;
    }
    m_state.heat = heat;
    m_participants.heatsDone = static_cast<std::int16_t>(heat);
    resetHeatDisplay();
    rebuildStandings();
    if (m_superPole.model().splitDisplay) {
        seedSectorReferences(); // the cancelled runs are no reference any more
    }
    return true;
}

} // namespace cronovolta
