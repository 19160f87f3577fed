#pragma once

#include <QFrame>

#include <array>

class QLabel;
class QListWidget;
class QPushButton;

namespace cronovolta {

// `FonsDeMenu`: the heat panel that takes the side bar's place while a programme is open:
// the six heat buttons, the heat clock, the pause label, the rejected crossings and the
// lap adjustment of the race. The live heat fills and shows its parts.
class HeatPanel : public QFrame {
    Q_OBJECT
public:
    explicit HeatPanel(QWidget* parent = nullptr);

    // 0 close, 1 lap listing, 2 print, 3 corrections, 4 cancel heat, 5 comes.
    QPushButton* button(int index) const { return m_buttons.at(index); }
    QLabel* clockCaption() const { return m_clockText; }           // `TextHora`
    QLabel* clock() const { return m_clockLabel; }                 // `Hora`
    QLabel* pauseLabel() const { return m_pauseText; }             // `TextPausa`
    QListWidget* rejectedCrossings() const { return m_errors; }    // `Errors`
    QLabel* lapAdjustment() const { return m_lapAdjustmentLabel; } // `MesMenys`
    QLabel* notice() const { return m_notice; }                    // why a heat started

    // Back to the state of an open programme before its first heat.
    void reset();

private:
    std::array<QPushButton*, 6> m_buttons{};
    QLabel* m_clockText = nullptr;
    QLabel* m_clockLabel = nullptr;
    QLabel* m_pauseText = nullptr;
    QListWidget* m_errors = nullptr;
    QLabel* m_lapAdjustmentLabel = nullptr;
    QLabel* m_notice = nullptr;
};

} // namespace cronovolta
