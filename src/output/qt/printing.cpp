#include "output/qt/printing.h"

#include "output/print_texts.h"
#include "texts/qt/asker.h"
#include "texts/qt/screen_text.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>

namespace cronovolta {
namespace {

constexpr double kMarginPoints = 10.0;

QFont reportFont(double points) {
    // Courier where it exists, else a font drawn to its measures, else any fixed pitch.
    QFont font;
    font.setFamilies({QStringLiteral("Courier"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("Courier New"), QStringLiteral("Nimbus Mono PS")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    return font;
}

} // namespace

void preparePrinter(QPrinter& printer, const PrintLayout& layout) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(layout.orientation() == Orientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(kMarginPoints, kMarginPoints, kMarginPoints, kMarginPoints),
                           QPageLayout::Point);
}

bool renderLayout(const PrintLayout& layout, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    // The painter works in device pixels from the corner of the printable area.
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
    const PageGeometry g = pageGeometry(layout, area.width(), area.height());
    const double pixels = printer.resolution() / 72.0;
    bool first = true;
    for (const PrintPage& page : layout.pages()) {
        if (!first && !printer.newPage()) {
            painter.end();
            return false;
        }
        first = false;
        for (const PrintItem& item : page.items) {
            painter.setFont(reportFont(g.fontPoints(item.fontSize)));
            painter.drawText(QPointF(g.x(item.column) * pixels, g.baseline(item.line) * pixels),
                             qstr(item.text));
        }
    }
    painter.end();
    return printer.printerState() != QPrinter::Error;
}

ReportPrinter::ReportPrinter(Asker& asker, int language)
    : printerInstalled([] { return !QPrinterInfo::availablePrinterNames().isEmpty(); }),
      askPdfFile([this](QWidget* parent) {
          QString file = QFileDialog::getSaveFileName(
              parent, qstr(withoutAccelerators(printTexts(m_language).savePdf)), QString(),
              qstr(printTexts(m_language).pdfFilter));
          if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty()) {
              file += QStringLiteral(".pdf");
          }
          return file;
      }),
      showPreview([](QPrintPreviewDialog& dialog) { dialog.exec(); }), m_asker(asker),
      m_language(language) {}

void ReportPrinter::tell(QWidget* parent, const QString& text) {
    m_asker.message(parent, qstr(printTexts(m_language).previewTitle), text);
}

bool ReportPrinter::savePdf(const PrintLayout& layout, const QString& file, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    preparePrinter(printer, layout);
    if (!renderLayout(layout, printer)) {
        tell(parent, qstr(printTexts(m_language).pdfFailed) + file);
        return false;
    }
    return true;
}

void ReportPrinter::preview(const PrintLayout& layout, QWidget* parent) {
    const PrintTexts& t = printTexts(m_language);
    if (!printerInstalled() && (noPrinterTold == nullptr || !*noPrinterTold)) {
        tell(parent, qstr(t.noPrinter));
        if (noPrinterTold != nullptr) {
            *noPrinterTold = true;
        }
    }
    QPrinter printer(QPrinter::HighResolution);
    preparePrinter(printer, layout);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(qstr(t.previewTitle));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this, &layout, &dialog](QPrinter* target) {
                         if (!renderLayout(layout, *target)) {
                             tell(&dialog, qstr(printTexts(m_language).printerFailed));
                         }
                     });
    auto* save = new QAction(qstr(withoutAccelerators(t.savePdf)), &dialog);
    save->setObjectName(QStringLiteral("savePdf"));
    QObject::connect(save, &QAction::triggered, &dialog, [this, &layout, &dialog] {
        const QString file = askPdfFile(&dialog);
        if (!file.isEmpty()) {
            savePdf(layout, file, &dialog);
        }
    });
    if (auto* toolbar = dialog.findChild<QToolBar*>()) {
        // First: in sight on a narrow screen, and the way out when there is no printer.
        QAction* first = toolbar->actions().value(0);
        toolbar->insertAction(first, save);
        toolbar->insertSeparator(first);
    } else {
        dialog.addAction(save);
    }
    showPreview(dialog);
}

} // namespace cronovolta
