#include "shell/qt/selection_lists.h"

#include <QListWidget>

namespace cronovolta {

void SelectionLists::setEventLists(QListWidget* events, QListWidget* dates) {
    m_events = events;
    m_dates = dates;
}

void SelectionLists::setSeriesList(ProgrammeType programmeType, QListWidget* list) {
    m_series[static_cast<std::size_t>(index(programmeType))] = list;
}

QListWidget* SelectionLists::series(ProgrammeType programmeType) const {
    return programmeType >= ProgrammeType::FreePractice && programmeType <= ProgrammeType::Race
               ? m_series[static_cast<std::size_t>(index(programmeType))]
               : nullptr;
}

void SelectionLists::fillSeries(ProgrammeType programmeType, int count) {
    QListWidget* list = m_series[static_cast<std::size_t>(index(programmeType))];
    list->clear();
    for (int s = 1; s <= count; ++s) {
        list->addItem(QString::number(s));
    }
}

void SelectionLists::clearSeries() {
    for (int t = 1; t <= 4; ++t) {
        m_series[t]->clear();
    }
}

std::array<int, 5> SelectionLists::seriesListed() const {
    std::array<int, 5> listed{};
    for (int t = 1; t <= 4; ++t) {
        listed[static_cast<std::size_t>(t)] = m_series[t]->count();
    }
    return listed;
}

} // namespace cronovolta
