#include "results/results_browser.h"

#include "results/results_texts.h"
#include "storage/event_files.h"
#include "storage/number_format.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <utility>

namespace cronovolta {
// Lower case over Windows-1252, so that accented capitals match too.
std::string foldedName(const std::string& utf8) {
    std::string s = utf8ToWindows1252(utf8);
    auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    s = s.substr(first, s.find_last_not_of(" \t") - first + 1);
    for (char& ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            ch = static_cast<char>(c + 32);
        } else if (c == 0x8A || c == 0x8C || c == 0x8E) {
            ch = static_cast<char>(c + 16);
        }
    }
    return s;
}

namespace {

int clampIndex(int index, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    return std::clamp(index, 0, static_cast<int>(size) - 1);
}

} // namespace

bool sameParticipantName(const std::string& a, const std::string& b) {
    return foldedName(a) == foldedName(b);
}

ResultsBrowser::ResultsBrowser(BrowserSetup setup, SeriesLoader loader)
    : m_setup(std::move(setup)), m_loader(std::move(loader)),
      m_list(m_setup.track, m_setup.language) {}

void ResultsBrowser::open() {
    const auto& texts = resultsTexts(m_setup.language);
    auto& series = m_entries[kSeries];
    series = {texts.allFeminine};
    for (int s = 1; s <= m_setup.seriesCount; ++s) {
        series.push_back(formatNumber(s, "#"));
    }
    m_criterion = defaultCriterion(m_setup.programmeType);
    selectSeries(0);
}

void ResultsBrowser::selectSeries(int index, bool shift) {
    m_selected[kSeries] = clampIndex(index, m_entries[kSeries].size());
    load();
    filter(shift);
}

void ResultsBrowser::selectParticipant(int index, bool shift) {
    m_selected[kParticipant] = clampIndex(index, m_entries[kParticipant].size());
    filter(shift);
}

void ResultsBrowser::selectLane(int index, bool shift) {
    m_selected[kLane] = clampIndex(index, m_entries[kLane].size());
    filter(shift);
}

void ResultsBrowser::selectPass(int index, bool shift) {
    m_selected[kPass] = clampIndex(index, m_entries[kPass].size());
    filter(shift);
}

void ResultsBrowser::selectHeat(int index, bool shift) {
    m_selected[kHeat] = clampIndex(index, m_entries[kHeat].size());
    m_exactHeat = false;
    filter(shift);
}

void ResultsBrowser::selectExactHeat(int heat, bool shift) {
    m_selected[kHeat] = clampIndex(heat, m_entries[kHeat].size());
    m_exactHeat = m_selected[kHeat] != 0;
    filter(shift);
}

void ResultsBrowser::selectCriterion(int criterion, bool shift) {
    m_criterion =
        std::clamp(criterion, static_cast<int>(kTotalLaps), static_cast<int>(kHeatFastestLap));
    filter(shift);
}

void ResultsBrowser::load() {
    const auto& texts = resultsTexts(m_setup.language);
    m_list.clear();
    m_exactHeat = false;
    const int chosen = m_selected[kSeries];
    const int first = chosen == 0 ? 1 : chosen;
    const int last = chosen == 0 ? m_setup.seriesCount : chosen;
    const bool several = last > first;

    m_entries[kParticipant] = {texts.all};
    m_seriesOfEntries = {0};
    m_numberOfEntries = {0};
    for (int s = first; s <= last; ++s) {
        SeriesData data = m_loader(s);
        data.seriesNumber = s;
        int slot = several ? (s == m_setup.activeSeriesNumber ? 4 : 3) : 0;
        m_list.addSeries(data, slot);
        const auto& names = data.participants.names;
        for (std::size_t p = 0; p < names.size(); ++p) {
            if (names[p].find_first_not_of(" \t") == std::string::npos) {
                continue;
            }
            m_entries[kParticipant].push_back(names[p]);
            m_seriesOfEntries.push_back(s);
            m_numberOfEntries.push_back(static_cast<int>(p) + 1);
        }
    }
    m_list.finishLoad();

    m_entries[kLane] = {texts.allFeminine};
    m_laneNumbers = {0};
    for (int lane : m_list.lanes()) {
        m_entries[kLane].push_back(formatNumber(lane, "0"));
        m_laneNumbers.push_back(lane);
    }
    m_entries[kPass] = {texts.allFeminine};
    m_passNumbers = {0};
    for (int pass : m_list.passes()) {
        m_entries[kPass].push_back(formatNumber(pass, "0"));
        m_passNumbers.push_back(pass);
    }
    m_entries[kHeat] = {texts.allFeminine};
    for (int h = 1; h <= m_list.maxHeat(); ++h) {
        m_entries[kHeat].push_back(formatNumber(h, "0"));
    }
    m_selected[kParticipant] = 0;
    m_selected[kLane] = 0;
    m_selected[kPass] = 0;
    const int lastHeat = static_cast<int>(m_entries[kHeat].size()) - 1;
    m_selected[kHeat] = lastHeat;
    if (m_setup.heatPreset && !m_presetUsed) {
        m_presetUsed = true;
        m_selected[kHeat] = std::clamp(*m_setup.heatPreset, 0, lastHeat);
    }
}

int ResultsBrowser::selectedNumber(Filter f) const {
    const int sel = m_selected[f];
    switch (f) {
    case kLane:
        return m_laneNumbers.empty() ? 0 : m_laneNumbers[static_cast<std::size_t>(sel)];
    case kPass:
        return m_passNumbers.empty() ? 0 : m_passNumbers[static_cast<std::size_t>(sel)];
    default:
        return sel;
    }
}

int ResultsBrowser::selectedHeat() const {
    return m_selected[kHeat];
}

bool ResultsBrowser::rowVisible(const ClassificationRow& row, bool shift) const {
    const auto p = static_cast<std::size_t>(m_selected[kParticipant]);
    if (p > 0 && p < m_seriesOfEntries.size()) {
        if (shift) {
            if (!sameParticipantName(row.name, m_entries[kParticipant][p])) {
                return false;
            }
        } else if ((m_seriesOfEntries[p] != 0 && m_seriesOfEntries[p] != row.seriesNumber) ||
                   (m_numberOfEntries[p] != 0 && m_numberOfEntries[p] != row.participant)) {
            return false;
        }
    }
    if (int pass = selectedNumber(kPass); pass != 0 && pass != row.values[kColPass]) {
        return false;
    }
    if (int lane = selectedNumber(kLane); lane != 0 && lane != row.lane) {
        return false;
    }
    const int heat = m_selected[kHeat];
    const int lastHeat = static_cast<int>(m_entries[kHeat].size()) - 1;
    if (heat != 0) {
        // The last entry is every participant's latest heat, also for a participant
        // who has run fewer heats than the others, unless that very heat was asked for.
        if (heat == lastHeat && !m_exactHeat ? !row.latest : heat != row.heat) {
            return false;
        }
    }
    return !(row.values[kColTotal] == 0.0 && row.values[kColFastest] == 0.0);
}

void ResultsBrowser::filter(bool shift) {
    ++m_filterRuns;
    for (auto& row : m_list.rows()) {
        row.visible = rowVisible(row, shift);
    }
    m_list.rank(m_criterion);
    const bool race = m_setup.programmeType == ProgrammeType::Race;
    const bool quadrantCriterion =
        (race && m_criterion == kTotalLaps) || (!race && m_criterion == kFastestLap);
    m_quadrantEnabled = quadrantCriterion && m_selected[kParticipant] == 0 &&
                        m_selected[kLane] == 0 && m_selected[kHeat] != 0;
}

std::vector<int> ResultsBrowser::visibleRows() const {
    std::vector<int> out;
    const auto& rows = m_list.rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].visible) {
            out.push_back(static_cast<int>(i));
        }
    }
    return out;
}

} // namespace cronovolta
