// The heat state machine: start, pause, resume, end, the clock tick, and the files written
// at the start and at the end of a heat.
#include "heat/heat_engine.h"
#include "heat/series_files.h"
#include "heat/standings_records.h"

#include "storage/event_files.h"
#include "storage/number_format.h"
#include "storage/resume_file.h"

#include <system_error>

namespace cronovolta {

void HeatEngine::setStartLight(StartLight light) {
    if (!m_open || m_state.running) {
        return;
    }
    if (light == StartLight::Red) {
        m_panel.showButtons(false);
        m_panel.errorsVisible = false;
    }
    m_panel.background = light;
    changed();
}

void HeatEngine::setRestartLight(RestartLight light) {
    if (!m_state.running || !m_state.paused) {
        return;
    }
    int colour = light == RestartLight::Red ? kQbBrightRed : kQbBrightGreen;
    if (light == RestartLight::Red) {
        m_panel.elapsedLabelVisible = false;
        m_panel.pauseLabelVisible = true;
    }
    m_panel.pauseColour = colour;
    m_panel.clockColour = colour;
    changed();
}

void HeatEngine::resetLanesForHeat() {
    m_timers.resetForHeat();
    m_lanes.setFlagLane(0);
    for (int lane = 1; lane <= m_lanes.highestLane(); ++lane) {
        LanePanel& panel = m_lanes.panel(lane);
        panel.driverColour = kDefaultColour;
        panel.clearLaps();
    }
    m_superPole.resetForHeat();
}

// The number of the heat that may start now, or nothing (and the organiser told why).
std::optional<int> HeatEngine::heatAllowedToStart() {
    if (!m_open || m_state.running || m_lapFractionMode) {
        return std::nullopt;
    }
    // A heat that could not be stored nor kept goes first: no heat starts over its laps.
    if (m_held && !settleHeldHeat()) {
        report(heatnote::startRefusedText(m_settings.language, m_held->heat));
        return std::nullopt;
    }
    const int heat = m_programmeType <= ProgrammeType::FreePractice ? 1 : m_state.heat + 1;
    if (heat > 32767) {
        report(heatnote::seriesFullText(m_settings.language));
        return std::nullopt;
    }
    if (m_programmeType == ProgrammeType::Race &&
        !raceHeatAllowed(m_settings.lapFractionPolicy, heat, participantCount())) {
        m_panel.showButtons(true);
        m_recovery.outcome = RecoveryOutcome::NotStarted;
        changed();
        return std::nullopt;
    }
    // The journal of an interrupted heat that was not recovered is never started over.
    if (!m_recovery.recovering && !m_records.owned && standingsProgramme() &&
        !setAsideInterruptedJournal()) {
        return std::nullopt;
    }
    return heat;
}

void HeatEngine::startHeat(double now) {
    const std::optional<int> heat = heatAllowedToStart();
    if (!heat) {
        return;
    }
    m_state.heat = *heat;
    m_records.failed = false;
    startHeatPanel();
    resetLanesForHeat();
    if (standingsProgramme()) {
        setUpHeat();
    } else {
        m_timers.clearPilots();
    }
    m_state.pauseCount = 0;
    if (m_recovery.recovering) {
        if (!resumeRecoveredHeat()) {
            return;
        }
    } else {
        startHeatRecords(now);
    }
    m_state.running = true;
    m_state.paused = false;
    m_state.endDeadline = HeatState::kNoDeadline;
    m_state.autoScrollPeriods = 0;
    if (m_recovery.recovering) {
        for (const auto& record : m_records.journal.records()) {
            if (record.lane == -1) {
                m_state.pauseCount = std::max<int>(m_state.pauseCount, record.laps);
            }
        }
    }
    writeResumeState();
    noteHeatStart(now);
    if (m_events) {
        m_events->heatStarted(m_state.heat);
    }
    changed();
}

void HeatEngine::startHeatPanel() {
    m_panel.helpMenuEnabled = false;
    m_panel.background = StartLight::Normal;
    m_panel.clockTickEnabled = true;
    m_panel.clock = "0:00:00";
    m_panel.elapsedLabelVisible = true;
    m_panel.clockVisible = true;
    m_panel.clockColour = kDefaultColour;
    m_panel.pauseLabelVisible = false;
    // A new heat numbers its rejected crossings afresh.
    m_panel.clearErrors();
}

// The heat of a recovery goes on from its journal; false when the journal's heat had been
// stored already, and no heat runs.
bool HeatEngine::resumeRecoveredHeat() {
    m_state.heatStart = m_recovery.start;
    m_recovery.outcome = replayJournal();
    if (m_recovery.outcome != RecoveryOutcome::AlreadyStored) {
        return true;
    }
    m_state.heat -= 1;
    m_panel.helpMenuEnabled = true;
    m_panel.clockTickEnabled = false;
    m_panel.elapsedLabelVisible = m_panel.clockVisible = false;
    enableButtonsAfterHeat();
    if (standingsProgramme()) {
        rebuildStandings();
    }
    changed();
    return false;
}

void HeatEngine::writeResumeState() {
    if (m_programmeType < ProgrammeType::FreePractice) {
        return;
    }
    ResumeState state{static_cast<std::int16_t>(m_request.event), m_programmeType,
                      static_cast<std::int16_t>(m_request.seriesNumber),
                      static_cast<std::int16_t>(m_state.heat), m_state.heatStart};
    if (auto written = writeResumeFile(m_request.dataDir / "ZTR4.TMP", state); !written) {
        report(written.error());
    }
}

void HeatEngine::startHeatRecords(double now) {
    m_state.heatStart = storableTime(now);
    LapRecord header;
    header.crossingTime = m_state.heatStart;
    header.lapTime = static_cast<float>(m_state.heat);
    m_records.owned = true;
    if (auto created = m_records.journal.create(m_workDir / "VLTAVLT.TMP", {header}); !created) {
        journalFailure(created.error());
    }
    // Adjustments of an earlier heat left behind name that heat, so this order is safe.
    m_records.adjustments.start(m_workDir / kAdjustmentJournalName);
}

void HeatEngine::pauseHeat(double now) {
    if (!m_state.running || m_state.paused) {
        return;
    }
    m_state.pause(now);
    m_timers.pauseAll();
    m_panel.pauseColour = kQbBrightRed;
    m_panel.pauseLabelVisible = true;
    m_panel.clockColour = kQbBrightRed;
    if (m_events) {
        m_events->heatPaused(sinceHeatStart(now));
    }
    changed();
}

void HeatEngine::resumePausedHeat(double now) {
    if (!m_state.running || !m_state.paused) {
        return;
    }
    const double pauseLength = m_state.resume(now);
    LapRecord pause;
    pause.lane = -1;
    pause.crossingTime = static_cast<float>(sinceHeatStart(now));
    pause.lapTime = static_cast<float>(pauseLength);
    pause.laps = static_cast<std::int16_t>(m_state.pauseCount);
    journalRecord(pause);
    if (m_programmeType >= ProgrammeType::FreePractice) {
        if (auto written = appendResumeStart(m_request.dataDir / "ZTR4.TMP", m_state.heatStart);
            !written) {
            report(written.error());
        }
    }
    m_panel.pauseLabelVisible = false;
    m_panel.elapsedLabelVisible = true;
    m_panel.clockColour = kDefaultColour;
    if (m_events) {
        m_events->heatResumed(sinceHeatStart(now));
    }
    changed();
}

void HeatEngine::armHeatEnd(double now) {
    m_state.armEnd(now);
}

void HeatEngine::enableButtonsAfterHeat() {
    m_panel.showButtons(true);
    bool files = standingsProgramme();
    m_panel.buttonEnabled = {true, true, files, files, files, files};
    if (!(m_programmeType == ProgrammeType::Race && m_track.largestPartial != 0)) {
        m_panel.buttonEnabled[5] = false;
    }
}

void HeatEngine::finishHeat(double now) {
    if (!m_state.running) {
        return;
    }
    if (m_state.paused) {
        resumePausedHeat(now);
    }
    m_state.running = false;
    m_panel.helpMenuEnabled = true;
    m_panel.clockTickEnabled = false;
    m_panel.elapsedLabelVisible = false;
    m_panel.clockVisible = false;
    m_panel.pauseLabelVisible = false;
    enableButtonsAfterHeat();

    // Without an armed deadline (a caller that ended the heat directly) the end is now.
    double endMoment =
        m_state.endDeadline > 0.0f ? static_cast<double>(m_state.endDeadline) - 2.5 : now;
    if (m_recovery.endMoment) {
        endMoment = *m_recovery.endMoment;
    }
    LapRecord end;
    end.crossingTime = static_cast<float>(endMoment);
    end.lapTime = static_cast<float>(sinceEarlier(endMoment, m_state.heatStart));
    if (auto finished = m_records.journal.finish(end); !finished) {
        journalFailure(finished.error());
    }
    const int heat = m_state.heat;
    const bool stored = !standingsProgramme() || finishHeatFiles();
    m_heatsNotStored += stored ? 0 : 1;
    m_panel.adjustment.clear();
    m_panel.adjustmentVisible = false;
    // A heat held by the engine stays an interrupted heat for the recovery.
    if (!m_held) {
        removeResumeFile();
    }
    if (m_events) {
        m_events->heatFinished(end.lapTime);
    }
    if (m_observer) {
        if (!stored) {
            m_observer->heatNotStored(heat);
        }
        m_observer->heatEnded(heat);
    }
    if (m_programmeType == ProgrammeType::Race && stored) {
        offerLapFractions();
    }
    changed();
}

void HeatEngine::removeResumeFile() {
    if (m_programmeType >= ProgrammeType::FreePractice) {
        std::error_code ec;
        fs::remove(m_request.dataDir / "ZTR4.TMP", ec);
    }
}

std::string HeatEngine::seriesName() const {
    return seriesFileName(m_programmeType, m_request.seriesNumber, "");
}

// A heat that could not be stored does not count (the next start runs the same heat
// again), and the live standings go back to what the series files hold: the stored totals
// always follow from the stored heats. Its journal is kept under a name of its own; when
// even that fails the engine holds the heat and starts no other until it is stored or kept.
bool HeatEngine::finishHeatFiles() {
    UnstoredHeat heat;
    heat.heat = m_state.heat;
    heat.heatStart = m_state.heatStart;
    heat.records = m_records.journal.records();
    heat.journalWhole = !m_records.failed;
    heat.rows.reserve(static_cast<std::size_t>(m_grid.rowCount()));
    for (int r = 1; r <= m_grid.rowCount(); ++r) {
        heat.rows.push_back(recordFromStandingsRow(m_grid, r, m_programmeType, driverOnLane(0)));
    }
    if (storeHeat(heat)) {
        return true;
    }
    m_state.heat = m_participants.heatsDone;
    if (!keepUnstoredJournal(heat)) {
        report(heatnote::heldText(m_settings.language, heat.heat));
        m_held = std::move(heat);
    }
    rebuildStandings();
    return false;
}

// The lap and results blocks first, the heat counter last: the counter is what makes the
// heat count, so a crash before it leaves the heat to the recovery, never half stored. A
// heat whose counter could not be written is not stored either.
bool HeatEngine::storeHeat(const UnstoredHeat& heat) {
    if (auto laps = writeLapBlock(seriesFile(".VAV"), heat.heat, heat.records); !laps) {
        report(laps.error());
        return false;
    }
    if (auto results = writeResultBlock(seriesFile(".DAD"), heat.heat, heat.heatStart, heat.rows);
        !results) {
        report(results.error());
        return false;
    }
    if (auto counter = writeHeatCounter(seriesFile(".PAR"), static_cast<std::int16_t>(heat.heat));
        !counter) {
        report(counter.error());
        return false;
    }
    m_state.heat = heat.heat;
    m_participants.heatsDone = static_cast<std::int16_t>(heat.heat);
    return true;
}

// A whole journal is renamed, which needs no room on the disk; one that misses records is
// written anew from the records in memory.
bool HeatEngine::keepUnstoredJournal(const UnstoredHeat& heat) {
    const float start = heat.records.empty() ? heat.heatStart : heat.records.front().crossingTime;
    auto kept = heat.journalWhole
                    ? keepJournal(m_workDir / "VLTAVLT.TMP", seriesName(), heat.heat, start)
                    : keepJournalRecords(m_workDir, seriesName(), heat.heat, heat.records);
    if (!kept && heat.journalWhole) {
        // Renaming failed: a copy may still fit.
        report(kept.error());
        kept = keepJournalRecords(m_workDir, seriesName(), heat.heat, heat.records);
    }
    if (!kept) {
        report(kept.error());
        return false;
    }
    // What is left under the journal's name is a part of the kept laps, or a copy of them.
    std::error_code ec;
    fs::remove(m_workDir / "VLTAVLT.TMP", ec);
    m_records.owned = false;
    report(heatnote::keptText(m_settings.language, heat.heat, *kept));
    return true;
}

// The held heat stored or kept now (the organiser freed some room): the engine goes on.
bool HeatEngine::settleHeldHeat() {
    if (!m_held) {
        return true;
    }
    if (storeHeat(*m_held)) {
        report(heatnote::storedLateText(m_settings.language, m_held->heat));
    } else if (!keepUnstoredJournal(*m_held)) {
        return false;
    }
    m_held.reset();
    removeResumeFile();
    rebuildStandings();
    return true;
}

// A journal that this opening did not write, holding laps of a heat that the series has not
// stored: an interrupted heat whose recovery was declined. It is kept aside, and said so;
// when it cannot be, the heat does not start.
bool HeatEngine::setAsideInterruptedJournal() {
    const fs::path journal = m_workDir / "VLTAVLT.TMP";
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(journal, ec))) {
        return true;
    }
    auto file = readLapFile(journal);
    if (file && file->records.size() < 2) {
        return true; // a header alone holds no lap
    }
    const LapRecord header = file ? file->records.front() : LapRecord{};
    const bool isHeader = header.lane == 0 && header.participant == 0;
    const int heat = isHeader && header.lapTime >= 0.0f && header.lapTime <= 32767.0f
                         ? static_cast<int>(header.lapTime)
                         : -1;
    if (file && isHeader && heat >= 1 && heat <= m_participants.heatsDone) {
        return true; // a stored heat's journal
    }
    auto kept = keepJournal(journal, seriesName(), heat, header.crossingTime);
    if (!kept) {
        report(kept.error());
        report(heatnote::interruptedNotKeptText(m_settings.language, heat, header.crossingTime));
        return false;
    }
    report(heatnote::interruptedKeptText(m_settings.language, heat, header.crossingTime, *kept));
    return true;
}

void HeatEngine::offerLapFractions() {
    int lanes = m_track.lanes;
    m_pendingLapFraction = lapFractionEntryAfterHeat(m_settings.lapFractionPolicy, m_state.heat,
                                                     participantCount(), lanes);
    if (m_pendingLapFraction == LapFractionEntry::None) {
        return;
    }
    m_lapFractionMode = true;
    if (m_observer) {
        m_observer->lapFractionEntryDue(m_pendingLapFraction);
    }
}

void HeatEngine::lapFractionEntryClosed() {
    m_lapFractionMode = false;
    m_pendingLapFraction = LapFractionEntry::None;
    changed();
}

void HeatEngine::tick(double now) {
    if (!m_state.running) {
        return;
    }
    if (m_state.endDeadline > 0.0f) {
        if (m_state.endDeadlinePassed(now)) {
            finishHeat(now);
        }
        return;
    }
    if (m_state.paused && m_panel.elapsedLabelVisible) {
        m_panel.pauseLabelVisible = !m_panel.pauseLabelVisible;
        m_panel.clockColour = m_panel.pauseLabelVisible ? m_panel.pauseColour : kDefaultColour;
        changed();
        return;
    }
    double elapsed = sinceHeatStart(now);
    if (m_settings.autoScroll > 0) {
        int periods = static_cast<int>(elapsed / m_settings.autoScroll);
        if (periods > m_state.autoScrollPeriods) {
            m_state.autoScrollPeriods = periods;
            m_lanes.advanceScroll();
            if (m_programmeType == ProgrammeType::OfficialPractice ||
                m_programmeType == ProgrammeType::Race) {
                m_grid.scrollPage();
            }
        }
    }
    m_panel.clock = longTime(elapsed);
    if (m_events) {
        m_events->heatClock(elapsed);
    }
    if (m_programmeType == ProgrammeType::SuperPole && m_superPole.model().timing.size() >= 2) {
        m_superPole.model().timing.back()[spcol::Lap] =
            formatNumber(elapsed - m_timers.m_crossingTimes[0], "0.0");
    }
    changed();
}

} // namespace cronovolta
