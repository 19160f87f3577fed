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
    m_clockText = new QLabel(this);
    m_clockText->setObjectName(QStringLiteral("TextHora"));
    m_clockLabel = new QLabel(QStringLiteral("0:00:00"), this);
    m_clockLabel->setObjectName(QStringLiteral("Hora"));
    m_clockLabel->setAlignment(Qt::AlignCenter);
    QFont clockFont = m_clockLabel->font();
    clockFont.setPointSizeF(clockFont.pointSizeF() * 2.5);
    clockFont.setBold(true);
    m_clockLabel->setFont(clockFont);
    m_pauseText = new QLabel(this);
    m_pauseText->setObjectName(QStringLiteral("TextPausa"));
    m_pauseText->setAlignment(Qt::AlignCenter);
    // The pause paints this label bright red: white text stays readable on it.
    QFont pauseFont = m_pauseText->font();
    pauseFont.setPointSizeF(pauseFont.pointSizeF() * 1.8);
    pauseFont.setBold(true);
    m_pauseText->setFont(pauseFont);
    QPalette pausePalette = m_pauseText->palette();
    pausePalette.setColor(QPalette::WindowText, Qt::white);
    m_pauseText->setPalette(pausePalette);
    m_pauseText->setMargin(4);
    m_lapAdjustmentLabel = new QLabel(this);
    m_lapAdjustmentLabel->setObjectName(QStringLiteral("MesMenys"));
    m_lapAdjustmentLabel->setAlignment(Qt::AlignCenter);
    // Read from a distance while the lane number is typed.
    QFont adjustmentFont = m_lapAdjustmentLabel->font();
    adjustmentFont.setPointSizeF(adjustmentFont.pointSizeF() * 2.0);
    adjustmentFont.setBold(true);
    m_lapAdjustmentLabel->setFont(adjustmentFont);
    m_lapAdjustmentLabel->setFrameShape(QFrame::Box);
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
    layout->addWidget(m_clockText);
    layout->addWidget(m_clockLabel);
    layout->addWidget(m_pauseText);
    layout->addWidget(m_lapAdjustmentLabel);
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
    m_clockText->hide();
    m_clockLabel->setText(QStringLiteral("0:00:00"));
    m_clockLabel->hide();
    m_pauseText->hide();
    m_lapAdjustmentLabel->clear();
    m_lapAdjustmentLabel->hide();
    m_notice->clear();
    m_notice->hide();
    m_errors->clear();
    m_errors->hide();
}

} // namespace cronovolta
