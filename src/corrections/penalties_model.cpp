#include "corrections/penalties_model.h"

#include "results/inscrits_model.h"
#include "storage/event_files.h"
#include "storage/formatting.h"
#include "storage/number_format.h"
#include "storage/participant_list.h"
#include "storage/penalty_record.h"

#include <cmath>

namespace cronovolta {

std::expected<PenaltiesModel, std::string> PenaltiesModel::open(const fs::path& eventDir,
                                                                int serie) {
    PenaltiesModel model;
    model.m_file = eventDir / seriesFileName(kRace, serie, ".PEN");
    auto list = readParticipantList(participantFile(eventDir, kRace, serie));
    if (!list) {
        return std::unexpected(list.error());
    }
    if (list->truncated) {
        model.m_notes.push_back(participantFile(eventDir, kRace, serie).filename().string() +
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

void PenaltiesModel::select(int participant) {
    if (participant < 1 || participant > participants()) {
        return;
    }
    m_selected = participant;
    const PenaltyRow& r = row(participant);
    m_value = r.penalty;
    m_reasons = m_value.empty() ? std::string() : r.reasons;
}

void PenaltiesModel::leaveValue() {
    const double laps = std::abs(ValorNumeric(m_value));
    const float stored = static_cast<float>(laps);
    if (stored == 0.0f || !std::isfinite(stored)) {
        m_value.clear();
        m_reasons.clear();
        return;
    }
    m_value = singleToText(stored);
}

IoResult PenaltiesModel::save() {
    if (!saveEnabled()) {
        return {};
    }
    leaveValue();
    PenaltyRow& current = m_rows[static_cast<std::size_t>(m_selected - 1)];
    current.penalty =
        m_value.empty() ? std::string() : strValue(static_cast<float>(ValorNumeric(m_value)));
    current.reasons = m_reasons;
    std::vector<PenaltyRecord> records;
    for (int p = 1; p <= participants(); ++p) {
        const PenaltyRow& r = row(p);
        const float laps = static_cast<float>(ValorNumeric(r.penalty));
        if (laps > 0.0f) {
            records.push_back({static_cast<std::int16_t>(p), laps, trimBlanks(r.reasons)});
        }
    }
    return writePenalties(m_file, records);
}

} // namespace cronovolta
