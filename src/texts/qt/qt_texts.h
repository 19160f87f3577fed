#pragma once

#include <QString>

namespace cronovolta {

// Qt's own texts (the buttons of message boxes, the file dialogs) in the program's
// language: installs Qt's translation "qtbase_ca" or "qtbase_es" from `folder` (Qt's
// translations folder when empty), and gives every standard button that a missing
// translation leaves in English the program's own text. Call it whenever the language
// may have changed; it does nothing when the language is the one in force.
void followLanguage(int language, const QString& folder = {});

// Whether Qt's translation of the language in force could be loaded.
bool qtTranslationLoaded();

} // namespace cronovolta
