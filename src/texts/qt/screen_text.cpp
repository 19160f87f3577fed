#include "texts/qt/screen_text.h"

#include <algorithm>

namespace cronovolta {

QFont screenFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(pixelSize, 6));
    font.setBold(bold);
    return font;
}

} // namespace cronovolta
