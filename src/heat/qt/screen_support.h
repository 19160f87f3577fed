#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

#include <string_view>

class QKeyEvent;

namespace cronovolta {

// A QBColor of the 16-colour palette; -1 (or any other value) gives `fallback`.
QColor qbQColor(int number, const QColor& fallback = QColor());

// Character code of a key for the heat keys: Shift -1, Enter 13, Esc 27, Backspace 8,
// otherwise the typed character; 0 when the key types nothing.
int heatKeyCode(const QKeyEvent& event);

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
