#pragma once

#include "corrections/correction_model.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;

namespace cronovolta {

class Asker;
struct UiContext;

// `CorrectionsWindow`: the laps and fastest laps, or the comes, of one stored heat. "&Gravar" saves
// and closes; "(Esc) Tancar" and Escape close without saving. Enter moves to the next field.
class CorrectionsWindow : public QDialog {
    Q_OBJECT
public:
    CorrectionsWindow(CorrectionModel model, UiContext& ui, Asker& asker,
                      QWidget* parent = nullptr);
    ~CorrectionsWindow() override;

    const CorrectionModel& model() const { return m_model; }
    QComboBox* heatSelector() const { return m_heats; } // `SelManiga`
    QLineEdit* lapsField(int row) const { return m_laps[static_cast<std::size_t>(row - 1)]; }
    QLineEdit* secondField(int row) const { return m_second[static_cast<std::size_t>(row - 1)]; }
    // Comes between two passes: only the last lane's field takes a value.
    void enableOnlyLastRow();
    // "&Gravar": true when the heats were recomputed.
    bool save();

signals:
    void saved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showRows();
    void nextField(QLineEdit* from);

    CorrectionModel m_model;
    UiContext& m_ui;
    Asker& m_asker;
    QComboBox* m_heats = nullptr;
    std::vector<QLabel*> m_lanes;
    std::vector<QLineEdit*> m_names;
    std::vector<QLineEdit*> m_laps;
    std::vector<QLineEdit*> m_second;
};

} // namespace cronovolta
