#pragma once

namespace cronovolta {

class MainWindow;

// Connects the file screen to the event manager's archive and unarchive buttons and to the
// main window's "Exportar a TXT...", and adds the main window's special export
// (`Command1`, Ctrl+Shift+E), which writes ENTRENAMENTS.TXT and the race tables into the
// active event's folder.
void connectFileScreens(MainWindow& window);

} // namespace cronovolta
