#pragma once

#include "storage/app_context.h"
#include "storage/formatting.h"
#include "texts/localiser.h"

#include <cstdint>
#include <string>

namespace cronovolta {

// What the file screen does; the numbers are its modes in the text tables.
enum class FileScreenMode { Export = 0, Archive = 5, Unarchive = 7 };

// The run's shared state as the windows see it: the storage context plus what belongs to
// the user interface.
struct UiContext {
    AppContext app;
    MessageTable messages;
    ScaleFactors scale;
    bool infoShown = false; // the standings window's information frame (ZTR4.INI)

    int language() const { return app.programConfig.language; }
    // Message of the active language's table.
    const std::string& message(int column, int row) const { return messages.text(column, row); }
    const std::string& message(MessageKey key) const { return messages.text(key); }
};

} // namespace cronovolta
