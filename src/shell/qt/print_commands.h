#pragma once

#include <functional>

class QWidget;

namespace cronovolta {

class HeatSession;
class MainWindow;
class PrintLayout;
class ResultsWindow;

// Where a report goes: the print preview by default; tests look at the pages instead.
using ReportSink = std::function<void(const PrintLayout& layout, QWidget* parent)>;
ReportSink previewSink(MainWindow& window);

// "&Imprimir" and "Imprimir &Quadrant" of the results screen.
void connectResultsPrinting(ResultsWindow& screen, ReportSink sink);

// The heat panel's "(I)mprimir" prints the classification of the heat just run; with Shift
// held it prints the quadrant of the series after that heat instead.
void connectHeatPrinting(HeatSession& session, MainWindow& window, ReportSink sink);
void printFromHeatPanel(HeatSession& session, MainWindow& window, const ReportSink& sink,
                        bool quadrant);

} // namespace cronovolta
