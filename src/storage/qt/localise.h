#pragma once

#include "storage/ui_context.h"
#include "texts/qt/qt_texts.h"
#include "texts/qt/window_texts.h"
#include "texts/system_errors.h"

#include <QString>

#include <string_view>

class QWidget;

namespace cronovolta {

// `localiseWindow` for a Qt window: fills the window's message column and writes the texts of
// the active language into its controls. Every window calls it when it opens.
inline int localiseScreen(QWidget* window, std::string_view windowName, UiContext& ui,
                          const LocaliseContext& context = {}) {
    followLanguage(ui.language());
    return applyWindowTexts(window,
                            localiseWindow(windowName, ui.language(), ui.messages, context));
}

// A message of the active language as a QString.
inline QString message(const UiContext& ui, int column, int row) {
    return QString::fromStdString(ui.message(column, row));
}
inline QString message(const UiContext& ui, MessageKey key) {
    return QString::fromStdString(ui.message(key));
}

// A problem reported by the core, with the file problems in it put into the active
// language. `prefixRow` (a row of message column 0) goes before a problem that the texts
// do not know, to say at least what failed.
inline QString problemText(const UiContext& ui, const std::string& problem, int prefixRow = -1) {
    const std::string localised = localiseProblems(problem, ui.language());
    QString text = QString::fromStdString(localised);
    if (prefixRow >= 0 && localised == problem) {
        text = message(ui, 0, prefixRow) + QLatin1Char('\n') + text;
    }
    return text;
}

// A text of the active language's table.
inline QString tableString(const UiContext& ui, std::string_view window, std::string_view control,
                           int index = -1) {
    return qs(tableCaption(window, control, index, ui.language()));
}

} // namespace cronovolta
