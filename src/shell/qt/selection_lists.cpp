#include "shell/qt/selection_lists.h"

#include <QListWidget>

namespace cronovolta {

void SelectionLists::setEventLists(QListWidget* events, QListWidget* dates) {
    m_events = events;
    m_dates = dates;
}

void SelectionLists::setSeriesList(ProgrammeType programa, QListWidget* list) {
    m_series[static_cast<std::size_t>(index(programa))] = list;
}

QListWidget* SelectionLists::series(ProgrammeType programa) const {
    return programa >= ProgrammeType::FreePractice && programa <= ProgrammeType::Race
               ? m_series[static_cast<std::size_t>(index(programa))]
               : nullptr;
}

void SelectionLists::fillSeries(ProgrammeType programa, int count) {
    QListWidget* list = m_series[static_cast<std::size_t>(index(programa))];
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
