#pragma once

#include <QString>

#include <functional>

class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace cronovolta {

// The `Sortir` pair of a dialog, right-aligned: button 1 ("&Gravar") closes the dialog
// when `save` succeeds, button 0 ("(Esc) Tancar") closes it without saving, as Esc does.
// Their captions come from the localiser. With saveOnEnter, Enter presses button 1.
QHBoxLayout* closeButtons(QDialog* dialog, std::function<bool()> save, bool saveOnEnter = false);

// A label under the object name by which the text tables know it.
QLabel* namedLabel(QWidget* parent, const QString& name);

// A box for a number of a few digits: one width, on a small screen as on a large one.
void fitNumberBox(QLineEdit* box);

// Whether Shift is held down: some dialogs open their fuller layout then.
bool shiftHeld();

// Field rules run when a field loses the focus, which closing a dialog also does; a dialog
// calls this from its destructor so that no rule runs on what is being destroyed.
void stopFieldRules(QWidget* dialog);

} // namespace cronovolta
