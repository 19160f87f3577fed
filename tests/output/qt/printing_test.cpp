#include "output/print_layout.h"
#include "output/qt/printing.h"

#include "support/pdf_text.h"
#include "support/qt/qt_test_support.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>
#include <QTest>

using namespace cronovolta;

namespace {

// A sheet like the results list: a header, names and right-aligned decimals.
PrintLayout sheet(Orientation orientation = Orientation::Portrait) {
    PrintLayout p(orientation, orientation == Orientation::Portrait ? 68 : 48);
    p.newLine(2);
    p.writeLeft(5, "Copa d'hivern");
    p.writeRight(orientation == Orientation::Portrait ? 90 : 130, "07-12-2026");
    p.newLine(2);
    const char* names[] = {"Anna Puig", "Bernat Roca", "Ferran Adrià"};
    const char* laps[] = {"112.5", "98", "7.25"};
    for (int i = 0; i < 3; ++i) {
        p.writeRight(8, std::to_string(i + 1));
        p.writeLeft(8, ".-");
        p.writeLeft(10, names[i]);
        p.writeDecimal(45, laps[i]);
        p.setFontSize(6);
        p.writeRight(78, "+1.0000");
        p.setFontSize(10);
        p.newLine();
    }
    p.newPage();
    p.writeLeft(5, "second page");
    return p;
}

std::string lineWith(const std::vector<std::string>& page, const std::string& needle) {
    for (const auto& line : page) {
        if (line.find(needle) != std::string::npos) {
            return line;
        }
    }
    return {};
}

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT

private slots:
    void pdfFromQtReadsBackOnTheCharacterGrid() {
        for (auto orientation : {Orientation::Portrait, Orientation::Landscape}) {
            test::TempDir dir;
            test::ScriptedAsker asker;
            ReportPrinter printer(asker, 0);
            const QString file = QString::fromStdString((dir.path() / "sheet.pdf").string());
            QVERIFY(printer.savePdf(sheet(orientation), file, nullptr));
            QVERIFY(asker.asked.empty());
            const auto pages = test::pdfTextPages(dir.path() / "sheet.pdf");
            QCOMPARE(int(pages.size()), 2);
            const std::string header = lineWith(pages[0], "Copa d'hivern");
            QVERIFY(test::textColumn(header, "07-12-2026") > 20);
            // Names on one column, decimal points under each other.
            const std::string rows[] = {lineWith(pages[0], "Anna"), lineWith(pages[0], "Bernat"),
                                        lineWith(pages[0], "Adrià")};
            QCOMPARE(test::textColumn(rows[1], "Bernat"), test::textColumn(rows[0], "Anna"));
            QCOMPARE(test::textColumn(rows[2], "Ferran"), test::textColumn(rows[0], "Anna"));
            QCOMPARE(test::textColumn(rows[2], "7.25") + 1, test::textColumn(rows[0], "112.5") + 3);
            QVERIFY(test::textColumn(rows[0], "+1.0000") > test::textColumn(rows[0], "112.5"));
            QVERIFY(!lineWith(pages[1], "second page").empty());
        }
    }

    void failuresAreToldInTheActiveLanguage() {
        test::TempDir dir;
        const QString missing = QString::fromStdString((dir.path() / "no" / "x.pdf").string());
        for (int language : {0, 1}) {
            test::ScriptedAsker asker;
            ReportPrinter printer(asker, language);
            QVERIFY(!printer.savePdf(sheet(), missing, nullptr));
            QCOMPARE(int(asker.asked.size()), 1);
            QVERIFY(asker.asked[0].text.endsWith(missing));
            QVERIFY(asker.asked[0].text.startsWith(language == 0 ? QStringLiteral("No s'ha pogut")
                                                                 : QStringLiteral("No se ha")));
        }
        QPrinter broken(QPrinter::HighResolution);
        broken.setOutputFormat(QPrinter::PdfFormat);
        broken.setOutputFileName(missing);
        QVERIFY(!renderLayout(sheet(), broken));
    }

    void previewWithoutPrinterSaysSoAndStillSavesThePdf() {
        test::TempDir dir;
        test::ScriptedAsker asker;
        ReportPrinter printer(asker, 0);
        printer.printerInstalled = [] { return false; };
        const QString file = QString::fromStdString((dir.path() / "preview.pdf").string());
        printer.askPdfFile = [file](QWidget*) { return file; };
        bool shown = false;
        printer.showPreview = [&](QPrintPreviewDialog& dialog) {
            shown = true;
            QVERIFY(dialog.windowTitle().contains(QStringLiteral("Vista prèvia")));
            auto* save = dialog.findChild<QAction*>(QStringLiteral("savePdf"));
            QVERIFY(save != nullptr);
            QCOMPARE(save->text(), QStringLiteral("Desa en PDF..."));
            save->trigger();
            // A printer that refuses the job is told of, and the preview stays.
            QPrinter broken(QPrinter::HighResolution);
            broken.setOutputFormat(QPrinter::PdfFormat);
            broken.setOutputFileName(QString::fromStdString((dir.path() / "no" / "x").string()));
            emit dialog.paintRequested(&broken);
        };
        bool told = false;
        printer.noPrinterTold = &told;
        printer.preview(sheet(), nullptr);
        QVERIFY(shown);
        QCOMPARE(int(asker.asked.size()), 2);
        QVERIFY(asker.asked[0].text.startsWith(QStringLiteral("No hi ha cap impressora")));
        QVERIFY(asker.asked[1].text.startsWith(QStringLiteral("La impressora no ha pogut")));
        QCOMPARE(int(test::pdfTextPages(dir.path() / "preview.pdf").size()), 2);

        // Said once a run; "Desa en PDF" leads the toolbar, where a narrow screen keeps it.
        ReportPrinter again(asker, 0);
        again.printerInstalled = [] { return false; };
        again.noPrinterTold = &told;
        again.showPreview = [](QPrintPreviewDialog& dialog) {
            auto* toolbar = dialog.findChild<QToolBar*>();
            QVERIFY(toolbar != nullptr);
            QCOMPARE(toolbar->actions().value(0)->objectName(), QStringLiteral("savePdf"));
        };
        again.preview(sheet(), nullptr);
        QCOMPARE(int(asker.asked.size()), 2);
    }
};

QTEST_MAIN(PrintingTest)
#include "printing_test.moc"
