#pragma once

#include "storage/event_files.h"

#include <array>

class QListWidget;

namespace cronovolta {

// The main window's lists to choose from: the events with their dates, and the series of
// each programme type (1 to 4). The side bar builds the widgets and hands them over.
class SelectionLists {
public:
    void setEventLists(QListWidget* events, QListWidget* dates);
    void setSeriesList(ProgrammeType programmeType, QListWidget* list);

    QListWidget* events() const { return m_events; }
    QListWidget* dates() const { return m_dates; }
    QListWidget* series(ProgrammeType programmeType) const; // null outside 1..4

    // The series list of a type holds 1..count.
    void fillSeries(ProgrammeType programmeType, int count);
    void clearSeries();
    // Entries of each type's series list (type 0 unused).
    std::array<int, 5> seriesListed() const;

private:
    QListWidget* m_events = nullptr;
    QListWidget* m_dates = nullptr;
    QListWidget* m_series[5] = {};
};

} // namespace cronovolta
