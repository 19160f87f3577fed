#pragma once

#include "texts/grid_layout.h"

#include <QFont>
#include <QString>

#include <string_view>

namespace cronovolta {

// The core's strings are UTF-8.
inline QString qstr(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A grid column's alignment on screen; the default is the left.
inline Qt::Alignment toQt(ColumnAlignment alignment) {
    switch (alignment) {
    case ColumnAlignment::Centre:
        return Qt::AlignCenter;
    case ColumnAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlignment::Left:
    case ColumnAlignment::Default:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// A font of the given pixel height, bold or not, in the family the screens share.
QFont screenFont(int pixelSize, bool bold = false);

} // namespace cronovolta
