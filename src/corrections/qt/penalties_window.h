#pragma once

#include "corrections/penalties_model.h"

#include <QDialog>

class QGridLayout;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace cronovolta {

class Asker;
struct UiContext;

// `PenaltiesWindow`: penalty laps and reasons of the participants of a race series. What is
// typed for each participant is kept, shown in italics in the table, until "&Gravar" stores
// it all and writes the file (the screen stays open) or the screen closes, which asks first.
class PenaltiesWindow : public QDialog {
    Q_OBJECT
public:
    // `title`: the event and series part of the caption, " - event (Cursa 2)".
    PenaltiesWindow(PenaltiesModel model, const QString& title, UiContext& ui, Asker& asker,
                    QWidget* parent = nullptr);
    ~PenaltiesWindow() override;

    const PenaltiesModel& model() const { return m_model; }
    QListWidget* participantList() const { return m_list; } // `Participant`
    QLineEdit* valueField() const { return m_value; }       // `Valor`
    QLineEdit* reasonsField() const { return m_reasons; }   // `Concepte`
    QTableWidget* table() const { return m_table; }         // `Quadre`
    bool save();
    // Closing: asks whether to save what was typed and not saved.
    void reject() override;

private:
    void takeFields();
    void selectParticipant(int participant);
    QGridLayout* buildFields();
    QTableWidget* buildTable();
    void sizeColumns();
    void connectFields();
    void fillTable();

    PenaltiesModel m_model;
    UiContext& m_ui;
    Asker& m_asker;
    QListWidget* m_list = nullptr;
    QLineEdit* m_value = nullptr;
    QLineEdit* m_reasons = nullptr;
    QTableWidget* m_table = nullptr;
};

} // namespace cronovolta
