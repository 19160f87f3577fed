// Replaying the journal of a heat that was interrupted by the end of the program.
#include "heat/heat_engine.h"

#include "storage/number_format.h"
#include "texts/system_errors.h"

#include <algorithm>
#include <cmath>
#include <system_error>

namespace cronovolta {
namespace {

bool isHeader(const LapRecord& r) {
    return r.lane == 0 && r.participant == 0;
}

// A heat number of the 16-bit range; a damaged header names none (-1).
int headerHeat(const LapRecord& header) {
    float number = header.lapTime;
    return number >= 0.0f && number <= 32767.0f ? static_cast<int>(number) : -1;
}

} // namespace

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
    if (!m_open || m_running) {
        return RecoveryOutcome::NotStarted;
    }
    m_recovering = true;
    m_recoveryStart = heatStart;
    m_recoveryOutcome = RecoveryOutcome::NotStarted;
    m_replayEnd.clear();
    IniciarManiga(now);
    m_recovering = false;
    if (!m_running) {
        return m_recoveryOutcome;
    }
    if (!m_replayEnd.empty()) {
        // The heat had ended but was not stored: store it as it ended.
        m_endMoment = m_replayEnd.front().crossingTime;
        AcabarManiga(now);
        m_endMoment.reset();
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
    m_journalOwned = true; // the recovery takes the journal over
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
               heatnote::unreadableJournalText(m_settings.language,
                                               keepAside(journal, m_heat).filename().string()));
    }
    bool dropBackup = false;
    if (fs::exists(backup, ec)) {
        auto file = readLapFile(backup);
        std::vector<LapRecord> saved = file ? std::move(file->records) : std::vector<LapRecord>{};
        bool ours = !saved.empty() && isHeader(saved.front()) &&
                    headerHeat(saved.front()) == m_heat &&
                    std::fabs(journalHeatStart(saved) - m_heatStart) < 0.05f;
        if (ours) {
            // The journal an interrupted recovery was copying; gone once the copy is whole.
            if (saved.size() >= records.size()) {
                records = std::move(saved);
            }
            dropBackup = true;
        } else {
            int heat = saved.empty() ? -1 : headerHeat(saved.front());
            fs::path aside = keepAside(backup, heat);
            report(abandonedJournalText(m_settings.language, heat,
                                        saved.empty() ? 0.0f : saved.front().crossingTime,
                                        aside.filename().string()));
        }
    }

    if (!records.empty() && isHeader(records.front())) {
        int journalHeat = headerHeat(records.front());
        if (journalHeat == m_heat - 1 && journalHeat >= 1 &&
            m_programa >= ProgrammeType::OfficialPractice) {
            // Killed after the heat counter was stored: that heat is complete.
            if (!fs::exists(journal, ec)) {
                (void)writeLapFile(journal, records);
            }
            return RecoveryOutcome::AlreadyStored;
        }
        if (journalHeat != m_heat) {
            // Set aside under a name of its own, where no later recovery takes it for its own.
            fs::path aside = keepAside(journal, journalHeat);
            report(heatnote::foreignJournalText(m_settings.language, journalHeat, m_heat,
                                                aside.filename().string()));
            records.clear();
        }
    } else if (!records.empty()) {
        report(heatnote::headerlessJournalText(m_settings.language));
    }
    if (records.empty() || !isHeader(records.front())) {
        LapRecord header;
        header.crossingTime = m_heatStart;
        header.lapTime = static_cast<float>(m_heat);
        records.insert(records.begin(), header);
    }
    // An end record means the heat was over: it is stored again from that moment.
    if (records.size() > 1 && isHeader(records.back())) {
        m_replayEnd.push_back(records.back());
        records.pop_back();
    }
    records.front().laps = 0;
    // A damaged header taken as this heat's ("1.00002") is stored as exactly this heat, or
    // no reader would find the heat in the series file.
    records.front().lapTime = static_cast<float>(m_heat);
    if (auto created = m_journal.create(journal, records); !created) {
        report(created.error());
        return RecoveryOutcome::Resumed;
    }
    if (dropBackup) {
        fs::remove(backup, ec);
    }
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
    return RecoveryOutcome::Resumed;
}

std::vector<LapAdjustment> HeatEngine::heatAdjustments(const LapRecord& header) {
    auto read = m_adjustments.resume(m_workDir / kAdjustmentJournalName);
    if (!read) {
        report(read.error());
        return {};
    }
    std::vector<LapAdjustment> ours;
    for (const auto& a : *read) {
        if (a.heat == m_heat && a.heatStart == header.crossingTime && a.afterRecords >= 0) {
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
        std::fill(m_lapHoldsPause.begin(), m_lapHoldsPause.end(), true);
        return;
    }
    if (!m_lanes.takesPart(lane)) {
        return;
    }
    auto l = static_cast<std::size_t>(lane);
    LanePanel& panel = m_lanes.panel(lane);
    if (record.splitKind != 0.0f) {
        m_tempsPas[l] = record.crossingTime;
        if (record.splitKind == kSplitFirst || record.splitKind == kSplitSecond) {
            int column = record.splitKind == kSplitFirst ? 1 : 2;
            writeSectorValue(column, record.splitValue, formatSingle(record.splitValue, "0.00"));
            if (column == 2) {
                m_splitStored = true;
                m_splitStoredTime = record.crossingTime;
                m_splitStoredLane = lane;
            }
        } else if (record.splitKind == kSplitSpeedStart) {
            m_splitStored = true;
            m_splitStoredTime = record.crossingTime;
            m_splitStoredLane = lane;
        } else if (record.splitKind == kSplitSpeed) {
            m_splitStored = false;
            writeSectorValue(3, record.splitValue, formatSingle(record.splitValue, "0.00"));
        }
        return;
    }
    m_tempsPas[l] = record.crossingTime;
    m_lapHoldsPause[l] = false;
    if (record.laps <= 0) {
        m_tempsArrossegat[l] = record.lapTime;
        addRejectedEntry(lane, longTime(record.crossingTime));
        return;
    }
    m_tempsArrossegat[l] = 0.0f;
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
    if (m_programa == ProgrammeType::SuperPole) {
        if (m_activeLane == 0) {
            m_activeLane = lane;
        }
        if (!first) {
            finishSuperPoleRun(panel.rows.back());
        }
        startSuperPoleRun(record.crossingTime);
    }
    if (standingsProgramme()) {
        standingsUpdate(lane, record.participant, 1, false, true);
    }
}

} // namespace cronovolta
