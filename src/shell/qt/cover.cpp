#include "shell/qt/cover.h"

#include <QLinearGradient>
#include <QPainter>

namespace cronovolta {

Cover::Cover(QWidget* parent) : QMdiArea(parent) {
    setObjectName(QStringLiteral("FonsDePantalla"));
}

void Cover::setLogo(const QPixmap& logo) {
    m_logo = logo;
    viewport()->update();
}

void Cover::setTitle(const QString& title, const QString& subtitle) {
    m_title = title;
    m_subtitle = subtitle;
    viewport()->update();
}

void Cover::setPictureShown(bool shown) {
    m_pictureShown = shown;
    viewport()->update();
}

void Cover::paintEvent(QPaintEvent* event) {
    QMdiArea::paintEvent(event);
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0.0, QColor(38, 52, 72));
    gradient.setColorAt(1.0, QColor(14, 20, 30));
    p.fillRect(area, gradient);
    if (!m_pictureShown) {
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::Antialiasing);
    QRect textArea = area;
    if (!m_logo.isNull()) {
        const QSize room(area.width() * 6 / 10, area.height() * 6 / 10);
        const QPixmap scaled =
            m_logo.width() > room.width() || m_logo.height() > room.height()
                ? m_logo.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : m_logo;
        const QPoint topLeft(area.center().x() - scaled.width() / 2,
                             area.center().y() - scaled.height() / 2 - area.height() / 20);
        p.drawPixmap(topLeft, scaled);
        textArea.setTop(topLeft.y() + scaled.height() + area.height() / 40);
        textArea.setHeight(area.height() / 8);
    } else {
        textArea = QRect(area.left(), area.center().y() - area.height() / 6, area.width(),
                         area.height() / 4);
    }
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPixelSize(std::max(18, area.height() / (m_logo.isNull() ? 9 : 18)));
    // The name must fit the width of the area.
    while (titleFont.pixelSize() > 12 &&
           QFontMetrics(titleFont).horizontalAdvance(m_title) > area.width() * 8 / 10) {
        titleFont.setPixelSize(titleFont.pixelSize() - 2);
    }
    p.setFont(titleFont);
    p.setPen(QColor(240, 200, 60));
    p.drawText(textArea, Qt::AlignHCenter | Qt::AlignTop, m_title);
    QFont subtitleFont = font();
    subtitleFont.setPixelSize(std::max(11, titleFont.pixelSize() / 3));
    p.setFont(subtitleFont);
    p.setPen(QColor(200, 210, 225));
    const int gap = QFontMetrics(titleFont).height() + 6;
    p.drawText(textArea.adjusted(0, gap, 0, gap), Qt::AlignHCenter | Qt::AlignTop, m_subtitle);
}

} // namespace cronovolta
