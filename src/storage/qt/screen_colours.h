#pragma once

#include <QColor>

namespace cronovolta {

// A QBColor of the 16-colour palette; -1 (or any other value) gives `fallback`.
QColor qbQColor(int number, const QColor& fallback = QColor());

} // namespace cronovolta
