#pragma once

#include "storage/ui_context.h"
#include "texts/qt/window_texts.h"

#include <QString>

#include <string_view>

class QWidget;

namespace cronovolta {

// `Localitzar` for a Qt window: fills the window's message column and writes the texts of
// the active language into its controls. Every window calls it when it opens.
inline int localitzar(QWidget* window, std::string_view windowName, UiContext& ui,
                      const LocaliseContext& context = {}) {
    return applyWindowTexts(window, Localitzar(windowName, ui.language(), ui.messages, context));
}

// A message of the active language as a QString.
inline QString message(const UiContext& ui, int column, int row) {
    return QString::fromStdString(ui.message(column, row));
}

// A text of the active language's table.
inline QString tableString(const UiContext& ui, std::string_view window, std::string_view control,
                           int index = -1) {
    return qs(tableCaption(window, control, index, ui.language()));
}

} // namespace cronovolta
