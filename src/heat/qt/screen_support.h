#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <string_view>
#include <vector>

class QKeyEvent;

namespace cronovolta {

// A QBColor of the 16-colour palette; -1 (or any other value) gives `fallback`.
QColor qbQColor(int number, const QColor& fallback = QColor());

// The heat-key codes of a key press: the typed character, Enter 13, Esc 27, Backspace 8;
// an Esc typed with Shift held is preceded by the Shift code -1. Shift is read from the
// Esc itself, so a Shift pressed and let go earlier never turns a later Esc into Shift+Esc.
// Empty when the key types nothing.
std::vector<int> heatKeyCodes(const QKeyEvent& event);

inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// `Bandera`: the chequered flag of the lane that crossed last.
QPixmap chequeredFlag(QSize size);

// The marker of the last crossing in the standings grid.
QPixmap crossingMarker(int height);

// A font of the given pixel height, bold or not, in the family the screens share.
QFont screenFont(int pixelSize, bool bold = false);

} // namespace cronovolta
