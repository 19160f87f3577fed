#include "results/entrants_model.h"

#include "results/laps_text.h"
#include "results/results_browser.h"
#include "results/results_texts.h"
#include "storage/event_files.h"
#include "storage/number_format.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cronovolta {
namespace {

constexpr int kMaxCount = 99;

} // namespace

std::string trimBlanks(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

EntrantsMode entrantsMode(const EntrantsContext& ctx) {
    if (ctx.eventDir.empty()) {
        return EntrantsMode::GeneralList;
    }
    return ctx.programmeType == ProgrammeType::Practice ? EntrantsMode::EventEntrants
                                                        : EntrantsMode::SeriesParticipants;
}

int countLowerBound(ProgrammeType programmeType, int lanes, int heatsDone) {
    if (programmeType == ProgrammeType::Practice) {
        return 1;
    }
    int base = heatsDone < 2 ? lanes : lanes + heatsDone - 1;
    if (programmeType == ProgrammeType::SuperPole) {
        base = base - lanes + 1;
        if (base < lanes) {
            base = lanes;
        }
    }
    return std::clamp(base, 1, kMaxCount);
}

int startLane(ProgrammeType programmeType, int row, const TrackConfig& track) {
    if (programmeType == ProgrammeType::SuperPole) {
        return row;
    }
    const int lanes = track.lanes;
    const auto& order = track.laneChangeOrder;
    const int position = row <= lanes ? lanes - row + 1 : 1;
    if (position < 1 || position >= static_cast<int>(order.size())) {
        return 0;
    }
    return order[static_cast<std::size_t>(position)];
}

EntrantsModel::EntrantsModel(EntrantsContext ctx, ParticipantList list,
                             std::vector<std::string> source, bool sourceIsEntrants)
    : m_ctx(std::move(ctx)), m_mode(entrantsMode(m_ctx)), m_names(std::move(list.names)),
      m_heatsDone(list.heatsDone), m_sourceIsEntrants(sourceIsEntrants) {
    if (m_mode == EntrantsMode::SeriesParticipants) {
        // Every lane has a participant slot.
        if (static_cast<int>(m_names.size()) < m_ctx.track.lanes) {
            m_names.resize(static_cast<std::size_t>(std::max<int>(m_ctx.track.lanes, 0)));
        }
        m_lowerBound = countLowerBound(m_ctx.programmeType, m_ctx.track.lanes, m_heatsDone);
    }
    m_storedCount = static_cast<int>(m_names.size());
    if (m_mode != EntrantsMode::SeriesParticipants && m_names.empty()) {
        m_names.resize(1);
    }
    for (std::size_t i = 0; i < source.size(); ++i) {
        m_source.push_back({static_cast<int>(i) + 1, std::move(source[i])});
    }
}

std::string EntrantsModel::title() const {
    const auto& t = resultsTexts(m_ctx.language);
    std::string title = m_ctx.caption;
    if (title.empty()) {
        title = m_mode == EntrantsMode::EventEntrants ? t.entrantsTitle : t.participantsTitle;
    }
    if (!m_ctx.eventDir.empty()) {
        title += " - " + m_ctx.eventName;
    }
    if (m_ctx.programmeType >= ProgrammeType::FreePractice &&
        m_ctx.programmeType <= ProgrammeType::Race) {
        title += " - " + t.programmeCaptions[static_cast<std::size_t>(index(m_ctx.programmeType))];
    }
    return title;
}

std::string EntrantsModel::countLabel() const {
    const auto& t = resultsTexts(m_ctx.language);
    return m_mode == EntrantsMode::EventEntrants ? t.entrantsCount : t.participantsCount;
}

std::string EntrantsModel::nameHeader() const {
    const auto& t = resultsTexts(m_ctx.language);
    return m_mode == EntrantsMode::EventEntrants ? t.entrantHeader : t.participantHeader;
}

std::string EntrantsModel::numberHeader() const {
    const auto& t = resultsTexts(m_ctx.language);
    return m_mode == EntrantsMode::EventEntrants ? t.raceNumberHeader : t.numberHeader;
}

std::string EntrantsModel::sourceNumberHeader() const {
    const auto& t = resultsTexts(m_ctx.language);
    return m_sourceIsEntrants ? t.raceNumberHeader : t.numberHeader;
}

std::string EntrantsModel::sourceNameHeader() const {
    const auto& t = resultsTexts(m_ctx.language);
    return m_sourceIsEntrants ? t.entrantHeader : t.participantHeader;
}

std::string EntrantsModel::sourceCaption() const {
    const auto& t = resultsTexts(m_ctx.language);
    return (m_sourceIsEntrants ? t.entrantsTitle : t.participantsTitle) + " " +
           formatNumber(static_cast<double>(m_source.size()), "(#)");
}

bool EntrantsModel::showsStartLanes() const {
    return m_mode == EntrantsMode::SeriesParticipants &&
           m_ctx.programmeType >= ProgrammeType::OfficialPractice;
}

std::string EntrantsModel::rangeLabel() const {
    if (!countEnabled()) {
        return std::to_string(m_storedCount);
    }
    return std::to_string(m_lowerBound) + " - " + std::to_string(kMaxCount);
}

std::string EntrantsModel::orderText(int row) const {
    return formatNumber(row, "##");
}

std::string EntrantsModel::startLaneText(int row) const {
    return showsStartLanes() ? std::to_string(startLane(m_ctx.programmeType, row, m_ctx.track))
                             : "";
}

int EntrantsModel::applyCount(std::string_view typed) {
    const double v = cellValue(typed);
    int count = 0;
    if (v >= 100.0) {
        count = kMaxCount;
    } else if (v < m_lowerBound) {
        count = m_lowerBound;
    } else {
        count = static_cast<int>(std::trunc(v));
    }
    resize(count);
    m_current = 1;
    return count;
}

void EntrantsModel::addRow() {
    if (!countEnabled()) {
        return;
    }
    applyCount(std::to_string(count() + 1));
    m_current = count();
}

void EntrantsModel::resize(int count) {
    m_names.resize(static_cast<std::size_t>(count));
}

void EntrantsModel::setName(int row, std::string name) {
    if (row >= 1 && row <= count()) {
        m_names[static_cast<std::size_t>(row - 1)] = std::move(name);
    }
}

void EntrantsModel::setCurrentRow(int row) {
    m_current = std::clamp(row, 1, std::max(count(), 1));
}

void EntrantsModel::nextRow() {
    m_current = m_current >= count() ? 1 : m_current + 1;
}

void EntrantsModel::sortSource(int option) {
    if (option == 1) {
        std::stable_sort(m_source.begin(), m_source.end(), [](const auto& a, const auto& b) {
            return foldedName(a.name) < foldedName(b.name);
        });
    } else {
        std::stable_sort(m_source.begin(), m_source.end(),
                         [](const auto& a, const auto& b) { return a.number < b.number; });
    }
}

void EntrantsModel::copyFromSource(int sourceIndex, bool shift) {
    if (sourceIndex < 0 || sourceIndex >= static_cast<int>(m_source.size())) {
        return;
    }
    const auto& src = m_source[static_cast<std::size_t>(sourceIndex)];
    std::string name = src.name;
    if (shift && m_mode == EntrantsMode::SeriesParticipants) {
        name = "#" + std::to_string(src.number) + " " + src.name;
    }
    setName(m_current, std::move(name));
    nextRow();
}

ParticipantList EntrantsModel::listToSave() const {
    ParticipantList list;
    list.heatsDone = static_cast<std::int16_t>(m_heatsDone);
    for (const auto& n : m_names) {
        list.names.push_back(trimBlanks(n));
    }
    return list;
}

} // namespace cronovolta
