#pragma once

#include "texts/localiser.h"

#include <QString>

#include <string_view>
#include <vector>

class QObject;
class QWidget;

namespace cronovolta {

// Object name of a control of the text tables: "MnuArxiu" for a single control, "Menu_3"
// for entry 3 of a control array.
QString controlObjectName(std::string_view control, int index);

inline QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Writes localised texts into a window's controls, found by object name. Captions go to
// window titles, labels, buttons, frames, menus and actions; items replace a list's entries
// in place so that its selection survives; a layout sets a grid's column titles and
// alignments. Returns the number of texts whose control was found.
int applyWindowTexts(QWidget* window, const std::vector<WindowText>& texts);

// The alignments of a grid's columns as its last layout text gave them (Qt::Alignment
// values), for screens that align their cells as the headings.
std::vector<int> gridColumnAlignments(const QObject* grid);

} // namespace cronovolta
