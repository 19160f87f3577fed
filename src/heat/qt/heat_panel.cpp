#include "heat/qt/heat_panel.h"

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace cronovolta {

HeatPanel::HeatPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("FonsDeMenu"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 6; ++i) {
        auto* b = new QPushButton(this);
        b->setObjectName(QStringLiteral("Menu_%1").arg(i));
        b->setFocusPolicy(Qt::NoFocus); // the heat keys must reach the window
        m_buttons[i] = b;
        layout->addWidget(b);
    }
    layout->addSpacing(12);
    m_textHora = new QLabel(this);
    m_textHora->setObjectName(QStringLiteral("TextHora"));
    m_hora = new QLabel(QStringLiteral("0:00:00"), this);
    m_hora->setObjectName(QStringLiteral("Hora"));
    m_hora->setAlignment(Qt::AlignCenter);
    QFont clockFont = m_hora->font();
    clockFont.setPointSizeF(clockFont.pointSizeF() * 2.5);
    clockFont.setBold(true);
    m_hora->setFont(clockFont);
    m_textPausa = new QLabel(this);
    m_textPausa->setObjectName(QStringLiteral("TextPausa"));
    m_textPausa->setAlignment(Qt::AlignCenter);
    // The pause paints this label bright red: white text stays readable on it.
    QFont pauseFont = m_textPausa->font();
    pauseFont.setPointSizeF(pauseFont.pointSizeF() * 1.8);
    pauseFont.setBold(true);
    m_textPausa->setFont(pauseFont);
    QPalette pausePalette = m_textPausa->palette();
    pausePalette.setColor(QPalette::WindowText, Qt::white);
    m_textPausa->setPalette(pausePalette);
    m_textPausa->setMargin(4);
    m_mesMenys = new QLabel(this);
    m_mesMenys->setObjectName(QStringLiteral("MesMenys"));
    m_mesMenys->setAlignment(Qt::AlignCenter);
    // Read from a distance while the lane number is typed.
    QFont adjustmentFont = m_mesMenys->font();
    adjustmentFont.setPointSizeF(adjustmentFont.pointSizeF() * 2.0);
    adjustmentFont.setBold(true);
    m_mesMenys->setFont(adjustmentFont);
    m_mesMenys->setFrameShape(QFrame::Box);
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("AvisManiga"));
    m_notice->setWordWrap(true);
    m_notice->setFrameShape(QFrame::Box);
    m_notice->setMargin(4);
    // Yellow, like a warning light: it must be seen from the track.
    QPalette noticePalette = m_notice->palette();
    noticePalette.setColor(QPalette::Window, QColor(255, 255, 0));
    noticePalette.setColor(QPalette::WindowText, Qt::black);
    m_notice->setPalette(noticePalette);
    m_notice->setAutoFillBackground(true);
    m_errors = new QListWidget(this);
    m_errors->setObjectName(QStringLiteral("Errors"));
    m_errors->setFocusPolicy(Qt::NoFocus);
    // The list takes the panel's width; it does not widen the panel.
    m_errors->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    layout->addWidget(m_textHora);
    layout->addWidget(m_hora);
    layout->addWidget(m_textPausa);
    layout->addWidget(m_mesMenys);
    layout->addWidget(m_notice);
    layout->addWidget(m_errors, 1);
    // Keeps the buttons together at the top while the list is hidden.
    layout->addStretch(0);
    m_errors->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // One width for the heat and the time between heats, so the child windows do not shift
    // when the buttons give way to the clock: the widest of the clock and an error entry.
    const QMargins margins = layout->contentsMargins();
    const int content = std::max(
        QFontMetrics(clockFont).horizontalAdvance(QStringLiteral("00:00:00")),
        m_errors->fontMetrics().horizontalAdvance(QStringLiteral("-16  (99)  0:00:00")) + 24);
    setFixedWidth(content + margins.left() + margins.right() + 2 * frameWidth() + 8);
    reset();
}

void HeatPanel::reset() {
    for (QPushButton* b : m_buttons) {
        b->show();
    }
    m_textHora->hide();
    m_hora->setText(QStringLiteral("0:00:00"));
    m_hora->hide();
    m_textPausa->hide();
    m_mesMenys->clear();
    m_mesMenys->hide();
    m_notice->clear();
    m_notice->hide();
    m_errors->clear();
    m_errors->hide();
}

} // namespace cronovolta
