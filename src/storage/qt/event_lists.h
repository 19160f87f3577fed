#pragma once

#include "storage/event_files.h"

#include <functional>
#include <vector>

class QListWidget;

namespace cronovolta {

// `LlProves` and `Data`: the event names and their dates, one event per row of both lists.
// The date list is as wide as a date and scrolls with the name list; choosing a row in
// either list selects it in both and calls `chosen` with it.
void pairEventLists(QListWidget* events, QListWidget* dates, std::function<void(int row)> chosen);

// These change the lists without calling `chosen`.
void fillEventLists(QListWidget* events, QListWidget* dates,
                    const std::vector<CatalogEntry>& entries);
void appendEventRow(QListWidget* events, QListWidget* dates, const CatalogEntry& entry);
void removeEventRow(QListWidget* events, QListWidget* dates, int row);
void selectEventRow(QListWidget* events, QListWidget* dates, int row);

} // namespace cronovolta
