#pragma once

#include "storage/ui_context.h"

#include <QDialog>

class QLineEdit;

namespace cronovolta {

class Asker;

// `NewEventDialog`: creates an event (name and date, today's date proposed), or, for the event
// manager, changes the name and date of event `modifyEvent` (no file is written then: the
// manager writes what texts() gives).
class NewEventDialog : public QDialog {
    Q_OBJECT
public:
    NewEventDialog(UiContext& ui, Asker& asker, QWidget* parent = nullptr, int modifyEvent = 0,
                   const QString& name = {}, const QString& date = {});

    // "&Gravar" (Enter in the name field does the same).
    bool save();
    int createdEvent() const { return m_created; }
    // The trimmed name and date that were accepted.
    QString name() const { return m_name; }
    QString date() const { return m_date; }

    QLineEdit* nameField() const { return m_nameField; }
    QLineEdit* dateField() const { return m_dateField; }

private:
    void showError(const QString& text);

    UiContext& m_ui;
    Asker& m_asker;
    int m_modify = 0;
    int m_created = 0;
    QString m_name;
    QString m_date;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_dateField = nullptr;
};

} // namespace cronovolta
