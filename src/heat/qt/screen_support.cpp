#include "heat/qt/screen_support.h"

#include "counter/heat_control.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace cronovolta {

std::vector<int> heatKeyCodes(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Shift:
        return {};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {kKeyEnter};
    case Qt::Key_Escape:
        if (event.modifiers() & Qt::ShiftModifier) {
            return {kKeyShift, kKeyEsc};
        }
        return {kKeyEsc};
    case Qt::Key_Backspace:
        return {kKeyBackspace};
    default:
        break;
    }
    const QString text = event.text();
    if (text.isEmpty() || text.at(0).unicode() < 32) {
        return {};
    }
    return {text.at(0).unicode()};
}

QPixmap chequeredFlag(QSize size) {
    size = size.expandedTo(QSize(8, 6));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const int pole = std::max(2, size.width() / 10);
    p.fillRect(0, 0, pole, size.height(), QColor(60, 60, 60));
    const int cols = 4;
    const int rows = 3;
    const double cw = double(size.width() - pole) / cols;
    const double ch = double(size.height()) * 0.75 / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            QRectF cell(pole + c * cw, r * ch, cw + 0.5, ch + 0.5);
            p.fillRect(cell, (r + c) % 2 == 0 ? Qt::black : Qt::white);
        }
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(QRectF(pole, 0, cols * cw - 1, rows * ch - 1));
    return pixmap;
}

QPixmap crossingMarker(int height) {
    height = std::max(height, 8);
    QPixmap pixmap(height, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    const double h = height;
    arrow.moveTo(h * 0.2, h * 0.2);
    arrow.lineTo(h * 0.85, h * 0.5);
    arrow.lineTo(h * 0.2, h * 0.8);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(200, 0, 0));
    p.setPen(QPen(Qt::black, 1));
    p.drawPath(arrow);
    return pixmap;
}

bool passHeatKeys(const QKeyEvent& event, const std::function<void(int)>& handle) {
    const std::vector<int> codes = heatKeyCodes(event);
    for (int code : codes) {
        handle(code);
    }
    return !codes.empty();
}

} // namespace cronovolta
