#include "corrections/penalties_model.h"

#include "results/entrants_model.h"
#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/participant_list.h"
#include "storage/penalty_record.h"

#include <cmath>

namespace cronovolta {

std::expected<PenaltiesModel, std::string> PenaltiesModel::open(const fs::path& eventDir,
                                                                int seriesNumber) {
    PenaltiesModel model;
    model.m_file = eventDir / seriesFileName(ProgrammeType::Race, seriesNumber, ".PEN");
    auto list = readParticipantList(participantFile(eventDir, ProgrammeType::Race, seriesNumber));
    if (!list) {
        return std::unexpected(list.error());
    }
    if (list->truncated) {
        model.m_notes.push_back(
            participantFile(eventDir, ProgrammeType::Race, seriesNumber).filename().string() +
            " ends inside a name; the names before it are kept");
    }
    for (auto& name : list->names) {
        model.m_rows.push_back({std::move(name), {}, {}});
    }
    auto penalties = readPenalties(model.m_file);
    if (!penalties) {
        return std::unexpected(penalties.error());
    }
    if (penalties->truncated) {
        model.m_notes.push_back(model.m_file.filename().string() +
                                " ends inside a record; the records before it are kept");
    }
    for (const auto& record : penalties->records) {
        if (record.participant < 1) {
            model.m_notes.push_back(model.m_file.filename().string() +
                                    " holds a penalty of participant " +
                                    std::to_string(record.participant) + "; it is left out");
            continue;
        }
        // A penalty of a participant beyond the list keeps its row, so saving loses nothing.
        if (record.participant > model.participants()) {
            model.m_rows.resize(static_cast<std::size_t>(record.participant));
        }
        PenaltyRow& row = model.m_rows[static_cast<std::size_t>(record.participant - 1)];
        row.penalty = strValue(record.laps);
        row.reasons = record.reasons;
    }
    if (model.participants() >= 1) {
        model.select(1);
    }
    return model;
}

namespace {

// The laps a text stands for, as the file would store them: 0 for none.
float typedLaps(const std::string& text) {
    const float laps = static_cast<float>(std::abs(numericValue(text)));
    return std::isfinite(laps) ? laps : 0.0f;
}

} // namespace

bool PenaltiesModel::differs(const PenaltyRow& row, const std::string& value,
                             const std::string& reasons) {
    const float laps = typedLaps(value);
    if (laps != typedLaps(row.penalty)) {
        return true;
    }
    return laps > 0.0f && trimBlanks(reasons) != trimBlanks(row.reasons);
}

void PenaltiesModel::keepTyped() {
    if (m_selected < 1) {
        return;
    }
    if (differs(row(m_selected), m_value, m_reasons)) {
        m_typed[m_selected] = {m_value, m_reasons};
    } else {
        m_typed.erase(m_selected);
    }
}

void PenaltiesModel::select(int participant) {
    if (participant < 1 || participant > participants()) {
        return;
    }
    keepTyped();
    m_selected = participant;
    if (auto typed = m_typed.find(participant); typed != m_typed.end()) {
        m_value = typed->second.value;
        m_reasons = typed->second.reasons;
        return;
    }
    const PenaltyRow& r = row(participant);
    m_value = r.penalty;
    m_reasons = m_value.empty() ? std::string() : r.reasons;
}

void PenaltiesModel::leaveValue() {
    const double laps = std::abs(numericValue(m_value));
    const float stored = static_cast<float>(laps);
    if (stored == 0.0f || !std::isfinite(stored)) {
        m_value.clear();
        m_reasons.clear();
        return;
    }
    m_value = singleToText(stored);
}

bool PenaltiesModel::unsaved(int participant) const {
    if (participant == m_selected && m_selected >= 1) {
        return differs(row(participant), m_value, m_reasons);
    }
    return m_typed.contains(participant);
}

std::vector<int> PenaltiesModel::unsavedParticipants() const {
    std::vector<int> out;
    for (int p = 1; p <= participants(); ++p) {
        if (unsaved(p)) {
            out.push_back(p);
        }
    }
    return out;
}

PenaltyRow PenaltiesModel::shown(int participant) const {
    PenaltyRow r = row(participant);
    if (auto typed = m_typed.find(participant); typed != m_typed.end()) {
        r.penalty = typed->second.value;
        r.reasons = typed->second.reasons;
    }
    return r;
}

IoResult PenaltiesModel::save() {
    if (!saveEnabled()) {
        return {};
    }
    leaveValue();
    keepTyped();
    std::vector<PenaltyRow> rows = m_rows;
    for (const auto& [participant, typed] : m_typed) {
        PenaltyRow& r = rows[static_cast<std::size_t>(participant - 1)];
        const float laps = typedLaps(typed.value);
        r.penalty = laps > 0.0f ? strValue(laps) : std::string();
        r.reasons = laps > 0.0f ? typed.reasons : std::string();
    }
    std::vector<PenaltyRecord> records;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const float laps = static_cast<float>(numericValue(rows[i].penalty));
        if (laps > 0.0f) {
            records.push_back(
                {static_cast<std::int16_t>(i + 1), laps, trimBlanks(rows[i].reasons)});
        }
    }
    if (auto written = writePenalties(m_file, records); !written) {
        return written;
    }
    m_rows = std::move(rows);
    m_typed.clear();
    return {};
}

} // namespace cronovolta
