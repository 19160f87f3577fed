#include "storage/qt/screen_colours.h"

#include "storage/program_settings.h"

namespace cronovolta {

QColor qbQColor(int number, const QColor& fallback) {
    if (number < 0 || number >= static_cast<int>(kQbPalette.size())) {
        return fallback;
    }
    Rgb c = kQbPalette[static_cast<std::size_t>(number)];
    return QColor(c.r, c.g, c.b);
}

} // namespace cronovolta
