#pragma once

#include "output/print_layout.h"

#include <QString>

#include <functional>

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace cronovolta {

class Asker;

// A4 in the layout's orientation with narrow margins, as the reports are laid out for.
void preparePrinter(QPrinter& printer, const PrintLayout& layout);

// Paints the pages in a 10-point monospaced font on the character grid. False when the
// printer (or the PDF file) would not start or failed during the job.
bool renderLayout(const PrintLayout& layout, QPrinter& printer);

// The way a report reaches paper: a print preview first, from which it is printed or
// saved as PDF. Problems are told to the organiser in the active language and the
// program goes on.
class ReportPrinter {
public:
    ReportPrinter(Asker& asker, int language);

    void preview(const PrintLayout& layout, QWidget* parent);
    // Writes the PDF through Qt's PDF engine; false (and a message) when it fails.
    bool savePdf(const PrintLayout& layout, const QString& file, QWidget* parent);

    // Replaceable for tests: whether a printer is installed, the PDF file name asked for
    // (empty: cancelled), and how the preview is shown (by default modally).
    std::function<bool()> printerInstalled;
    std::function<QString(QWidget* parent)> askPdfFile;
    std::function<void(QPrintPreviewDialog& dialog)> showPreview;
    // Shared by the run's printers, so that a missing printer is said once a run.
    bool* noPrinterTold = nullptr;

private:
    void tell(QWidget* parent, const QString& text);

    Asker& m_asker;
    int m_language;
};

} // namespace cronovolta
