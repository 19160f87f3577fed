#include "storage/qt/event_lists.h"

#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>

namespace cronovolta {

void pairEventLists(QListWidget* events, QListWidget* dates, std::function<void(int row)> chosen) {
    dates->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dates->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dates->setMinimumWidth(dates->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00000")) +
                           2 * dates->frameWidth() + 8);
    for (QListWidget* list : {events, dates}) {
        QListWidget* other = list == events ? dates : events;
        QObject::connect(list, &QListWidget::currentRowChanged, list,
                         [events, dates, chosen](int row) {
                             selectEventRow(events, dates, row);
                             chosen(row);
                         });
        // A wheel turned over either list keeps the rows side by side.
        QObject::connect(list->verticalScrollBar(), &QScrollBar::valueChanged,
                         other->verticalScrollBar(), &QScrollBar::setValue);
    }
}

void fillEventLists(QListWidget* events, QListWidget* dates,
                    const std::vector<CatalogEntry>& entries) {
    const QSignalBlocker blockEvents(events);
    const QSignalBlocker blockDates(dates);
    events->clear();
    dates->clear();
    for (const CatalogEntry& entry : entries) {
        events->addItem(QString::fromStdString(entry.name));
        dates->addItem(QString::fromStdString(entry.date));
    }
}

void appendEventRow(QListWidget* events, QListWidget* dates, const CatalogEntry& entry) {
    const QSignalBlocker blockEvents(events);
    const QSignalBlocker blockDates(dates);
    events->addItem(QString::fromStdString(entry.name));
    dates->addItem(QString::fromStdString(entry.date));
}

void removeEventRow(QListWidget* events, QListWidget* dates, int row) {
    const QSignalBlocker blockEvents(events);
    const QSignalBlocker blockDates(dates);
    delete events->takeItem(row);
    delete dates->takeItem(row);
}

void selectEventRow(QListWidget* events, QListWidget* dates, int row) {
    const QSignalBlocker blockEvents(events);
    const QSignalBlocker blockDates(dates);
    events->setCurrentRow(row);
    dates->setCurrentRow(row);
}

} // namespace cronovolta
