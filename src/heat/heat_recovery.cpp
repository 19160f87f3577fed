// Replaying the journal of a heat that was interrupted by the end of the program.
#include "heat/heat_engine.h"

#include "storage/number_format.h"
#include "texts/system_errors.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace cronovolta {
float journalHeatStart(const std::vector<LapRecord>& records) {
    if (records.empty()) {
        return 0.0f;
    }
    // Every pause moved the start on by its length, as the resume file's lines did.
    double start = records.front().crossingTime;
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (records[i].lane == -1 && std::isfinite(records[i].lapTime)) {
            start = storableTimeNotAfter(start + records[i].lapTime);
            if (start >= kSecondsPerDay) {
                start -= kSecondsPerDay;
            }
        }
    }
    return static_cast<float>(start);
}

RecoveryOutcome HeatEngine::recoverHeat(float heatStart, double now) {
    if (!m_open || m_state.running) {
        return RecoveryOutcome::NotStarted;
    }
    m_recovery.begin(heatStart);
    startHeat(now);
    m_recovery.recovering = false;
    if (!m_state.running) {
        return m_recovery.outcome;
    }
    if (!m_recovery.replayEnd.empty()) {
        // The heat had ended but was not stored: store it as it ended.
        m_recovery.endMoment = m_recovery.replayEnd.front().crossingTime;
        finishHeat(now);
        m_recovery.endMoment.reset();
        return RecoveryOutcome::Completed;
    }
    return RecoveryOutcome::Resumed;
}

// A journal that is not the running heat's is moved out of the way under a name of its own
// that says which heat it was, never over another such file.
fs::path HeatEngine::keepAside(const fs::path& file, int heat) {
    std::string base = "VLTAVLT." + formatNumber(std::max(heat, 0) % 1000, "000");
    fs::path aside = m_workDir / base;
    std::error_code ec;
    for (int n = 2; fs::exists(aside, ec) && n < 1000; ++n) {
        aside = m_workDir / (base + "." + std::to_string(n));
    }
    fs::rename(file, aside, ec);
    return ec ? file : aside;
}

// The journal is read whole and written anew beside the old one, which the new one then
// replaces: a program killed during a recovery leaves one complete journal or the other,
// and no backup that a later heat could take for its own. A backup "VLTAVLT.BAK" left by an
// older recovery is this heat's only when its header says so (heat number, and a start that
// its pauses carry to the start this recovery resumes from); any other is kept aside.
RecoveryOutcome HeatEngine::replayJournal() {
    fs::path journal = m_workDir / "VLTAVLT.TMP";
    fs::path backup = m_workDir / "VLTAVLT.BAK";
    std::error_code ec;
    m_records.owned = true; // the recovery takes the journal over
    bool dropBackup = false;
    std::vector<LapRecord> records = readRecoveryJournal(journal, backup, dropBackup);
    if (journalHeatStored(records, journal)) {
        return RecoveryOutcome::AlreadyStored;
    }
    if (records.empty() || !isJournalHeader(records.front())) {
        LapRecord header;
        header.crossingTime = m_state.heatStart;
        header.lapTime = static_cast<float>(m_state.heat);
        records.insert(records.begin(), header);
    }
    // An end record means the heat was over: it is stored again from that moment.
    if (records.size() > 1 && isJournalHeader(records.back())) {
        m_recovery.replayEnd.push_back(records.back());
        records.pop_back();
    }
    records.front().laps = 0;
    // A damaged header taken as this heat's ("1.00002") is stored as exactly this heat, or
    // no reader would find the heat in the series file.
    records.front().lapTime = static_cast<float>(m_state.heat);
    if (auto created = m_records.journal.create(journal, records); !created) {
        report(created.error());
        return RecoveryOutcome::Resumed;
    }
    if (dropBackup) {
        fs::remove(backup, ec);
    }
    replayRecords(records);
    return RecoveryOutcome::Resumed;
}

// The records of the journal, or of the backup an interrupted recovery left when it is
// this heat's and holds more (dropBackup: it goes once the new journal is written).
std::vector<LapRecord> HeatEngine::readRecoveryJournal(const fs::path& journal,
                                                       const fs::path& backup, bool& dropBackup) {
    std::error_code ec;
    std::vector<LapRecord> records;
    if (auto file = readLapFile(journal); file) {
        if (auto skipped = describeSkippedLapBytes(journal, *file, m_settings.language);
            !skipped.empty()) {
            report(skipped);
        }
        records = std::move(file->records);
    } else {
        // Unreadable: kept as it is, the heat goes on under a fresh header.
        report(localiseProblems(file.error(), m_settings.language) + "\n" +
               heatnote::unreadableJournalText(
                   m_settings.language, keepAside(journal, m_state.heat).filename().string()));
    }
    if (fs::exists(backup, ec)) {
        auto file = readLapFile(backup);
        std::vector<LapRecord> saved = file ? std::move(file->records) : std::vector<LapRecord>{};
        bool ours = !saved.empty() && isJournalHeader(saved.front()) &&
                    journalHeaderHeat(saved.front()) == m_state.heat &&
                    std::fabs(journalHeatStart(saved) - m_state.heatStart) < 0.05f;
        if (ours) {
            // The journal an interrupted recovery was copying; gone once the copy is whole.
            if (saved.size() >= records.size()) {
                records = std::move(saved);
            }
            dropBackup = true;
        } else {
            int heat = saved.empty() ? -1 : journalHeaderHeat(saved.front());
            fs::path aside = keepAside(backup, heat);
            report(abandonedJournalText(m_settings.language, heat,
                                        saved.empty() ? 0.0f : saved.front().crossingTime,
                                        aside.filename().string()));
        }
    }
    return records;
}

// The journal of a heat whose counter was stored before the program stopped: complete.
// A journal of another heat is set aside (records cleared), a headerless one said so.
bool HeatEngine::journalHeatStored(std::vector<LapRecord>& records, const fs::path& journal) {
    std::error_code ec;
    if (!records.empty() && isJournalHeader(records.front())) {
        int journalHeat = journalHeaderHeat(records.front());
        if (journalHeat == m_state.heat - 1 && journalHeat >= 1 &&
            m_programmeType >= ProgrammeType::OfficialPractice) {
            // Killed after the heat counter was stored: that heat is complete.
            if (!fs::exists(journal, ec)) {
                (void)writeLapFile(journal, records);
            }
            return true;
        }
        if (journalHeat != m_state.heat) {
            // Set aside under a name of its own, where no later recovery takes it for its own.
            fs::path aside = keepAside(journal, journalHeat);
            report(heatnote::foreignJournalText(m_settings.language, journalHeat, m_state.heat,
                                                aside.filename().string()));
            records.clear();
        }
    } else if (!records.empty()) {
        report(heatnote::headerlessJournalText(m_settings.language));
    }
    return false;
}

void HeatEngine::replayRecords(const std::vector<LapRecord>& records) {
    // Each adjustment goes back in its place among the laps: a -1 is refused or not as it
    // was then.
    std::vector<LapAdjustment> adjustments = heatAdjustments(records.front());
    auto next = adjustments.begin();
    for (std::size_t i = 1; i < records.size(); ++i) {
        for (; next != adjustments.end() && next->afterRecords <= static_cast<std::int32_t>(i);
             ++next) {
            adjustLaps(next->lane, next->amount);
        }
        replayRecord(records[i]);
    }
    for (; next != adjustments.end(); ++next) {
        adjustLaps(next->lane, next->amount);
    }
}

std::vector<LapAdjustment> HeatEngine::heatAdjustments(const LapRecord& header) {
    auto read = m_records.adjustments.resume(m_workDir / kAdjustmentJournalName);
    if (!read) {
        report(read.error());
        return {};
    }
    std::vector<LapAdjustment> ours;
    for (const auto& a : *read) {
        if (a.heat == m_state.heat && a.heatStart == header.crossingTime && a.afterRecords >= 0) {
            ours.push_back(a);
        }
    }
    std::stable_sort(ours.begin(), ours.end(),
                     [](const auto& a, const auto& b) { return a.afterRecords < b.afterRecords; });
    return ours;
}

void HeatEngine::replayRecord(const LapRecord& record) {
    int lane = record.lane;
    if (lane == -1) {
        // A pause: the lap each lane is on holds part of it.
        m_timers.pauseAll();
        return;
    }
    if (!m_lanes.takesPart(lane)) {
        return;
    }
    auto l = static_cast<std::size_t>(lane);
    LanePanel& panel = m_lanes.panel(lane);
    if (record.splitKind != 0.0f) {
        m_timers.m_crossingTimes[l] = record.crossingTime;
        m_superPole.replaySensor(lane, record);
        return;
    }
    m_timers.m_crossingTimes[l] = record.crossingTime;
    m_timers.m_lapHoldsPause[l] = false;
    if (record.laps <= 0) {
        m_timers.m_carriedTime[l] = record.lapTime;
        addRejectedEntry(lane, longTime(record.crossingTime));
        return;
    }
    m_timers.m_carriedTime[l] = 0.0f;
    bool first = panel.rows[1].empty();
    if (first) {
        panel.rows[1] = "+1";
    } else {
        panel.rows.push_back(formatSingle(record.lapTime, "0.0000"));
        panel.highlighted.push_back(record.fastestFlag == -1);
        if (record.fastestFlag == -1) {
            panel.fastestLap = panel.rows.back();
        }
        panel.topRow = static_cast<int>(panel.rows.size()) - 1;
    }
    panel.rows[0] = std::to_string(panel.lapCount() + 1);
    panel.currentRow = static_cast<int>(panel.rows.size()) - 1;
    m_lanes.setFlagLane(lane);
    if (m_programmeType == ProgrammeType::SuperPole) {
        if (m_superPole.activeLane() == 0) {
            m_superPole.setActiveLane(lane);
        }
        if (!first) {
            m_superPole.finishRun(panel.rows.back());
        }
        startSuperPoleRun(record.crossingTime);
    }
    if (standingsProgramme()) {
        standingsUpdate(lane, record.participant, 1, false, true);
    }
}

} // namespace cronovolta
