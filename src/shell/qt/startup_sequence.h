#pragma once

#include "storage/ui_context.h"

#include <functional>
#include <memory>

namespace cronovolta {

class Asker;
class MainWindow;

// The program settings and the track configuration as start-up needs them: loaded when
// their files exist, otherwise set to the first-start values and handed to their dialog.
// False when a dialog was closed without saving: the program then ends.
bool prepareConfiguration(UiContext& ui, Asker& asker);

// The main window and what start-up does once it is open: the catalogue, "ZTR4.INI" and
// the abnormal-end flag, the question to resume an interrupted heat, "AUTORUNS.INI".
// `beforeStart` runs once the window exists, before the start-up offers to resume a heat.
std::unique_ptr<MainWindow>
openMainWindow(UiContext& ui, Asker& asker, bool maximised,
               const std::function<void(MainWindow&)>& beforeStart = {});

} // namespace cronovolta
