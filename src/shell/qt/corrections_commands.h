#pragma once

namespace cronovolta {

class HeatSession;
class MainWindow;

// Connects the correction screen to the heat panel's "(C)orregir" and to the comes entry,
// the lap listing to "(L)listar voltes" and to the "Volta a Volta" menu entries, and the
// penalties screen to "MnuPen" and its side-bar button. A correction saved while a
// programme is open rebuilds its standings.
void connectCorrectionScreens(MainWindow& window, HeatSession& session);

} // namespace cronovolta
