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
    QLabel* clockCaption() const { return m_textHora; }         // `TextHora`
    QLabel* clock() const { return m_hora; }                    // `Hora`
    QLabel* pauseLabel() const { return m_textPausa; }          // `TextPausa`
    QListWidget* rejectedCrossings() const { return m_errors; } // `Errors`
    QLabel* lapAdjustment() const { return m_mesMenys; }        // `MesMenys`
    QLabel* notice() const { return m_notice; }                 // why a heat started

    // Back to the state of an open programme before its first heat.
    void reset();

private:
    std::array<QPushButton*, 6> m_buttons{};
    QLabel* m_textHora = nullptr;
    QLabel* m_hora = nullptr;
    QLabel* m_textPausa = nullptr;
    QListWidget* m_errors = nullptr;
    QLabel* m_mesMenys = nullptr;
    QLabel* m_notice = nullptr;
};

} // namespace cronovolta
