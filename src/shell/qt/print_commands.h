#pragma once

#include <functional>

class QWidget;

namespace cronovolta {

class HeatSession;
class Portada;
class PrintLayout;
class ResultatsWindow;

// Where a report goes: the print preview by default; tests look at the pages instead.
using ReportSink = std::function<void(const PrintLayout& layout, QWidget* parent)>;
ReportSink previewSink(Portada& window);

// "&Imprimir" and "Imprimir &Quadrant" of the results screen.
void connectResultsPrinting(ResultatsWindow& screen, ReportSink sink);

// The heat panel's "(I)mprimir" prints the classification of the heat just run; with Shift
// held it prints the quadrant of the series after that heat instead.
void connectHeatPrinting(HeatSession& session, Portada& window, ReportSink sink);
void printFromHeatPanel(HeatSession& session, Portada& window, const ReportSink& sink,
                        bool quadrant);

} // namespace cronovolta
