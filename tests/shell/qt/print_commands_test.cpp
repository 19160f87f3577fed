#include "live_fixture.h"

#include "heat/qt/heat_panel.h"
#include "output/print_layout.h"
#include "output/qt/printing.h"
#include "results/qt/results_window.h"
#include "shell/qt/print_commands.h"
#include "support/pdf_text.h"

#include <QPushButton>

using namespace cronovolta;
using cronovolta::test::LiveFixture;

namespace {

// Every text of a report, page by page, as one string per line.
struct Printed {
    std::vector<PrintLayout> layouts;

    ReportSink sink() {
        return [this](const PrintLayout& layout, QWidget*) { layouts.push_back(layout); };
    }
    bool has(const std::string& text) const {
        for (const auto& page : layouts.back().pages()) {
            for (const auto& item : page.items) {
                if (item.text == text) {
                    return true;
                }
            }
        }
        return false;
    }
};

// One race heat of pilots 1..4 on lanes 1..4, with `laps[lane - 1]` laps.
void runHeat(LiveFixture& f, const std::vector<int>& laps) {
    f.session->heatKey('S');
    for (std::size_t lane = 1; lane <= laps.size(); ++lane) {
        f.cross(static_cast<int>(lane), 1.0);
    }
    for (std::size_t lane = 1; lane <= laps.size(); ++lane) {
        for (int lap = 0; lap < laps[lane - 1]; ++lap) {
            f.cross(static_cast<int>(lane), 4.0);
        }
    }
    f.session->heatKey('S');
}

} // namespace

class PrintCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void heatPanelPrintsTheClassificationOrWithShiftTheQuadrant() {
        LiveFixture f(4, 4);
        f.start();
        Printed printed;
        connectHeatPrinting(*f.session, *f.window, printed.sink());
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        runHeat(f, {3, 5, 2, 4});
        f.session->syncScreens();
        QPushButton* print = f.window->heatPanel()->button(2);
        QVERIFY(print->isEnabled());
        print->click();
        QCOMPARE(int(printed.layouts.size()), 1);
        QVERIFY(printed.has("Gran Premi"));
        QVERIFY(printed.has("07-12-2026"));
        QVERIFY(printed.has("Classificació cursa"));
        QVERIFY(printed.has("Acabada la màniga: 1"));
        QVERIFY(printed.has("Pilot 2"));
        // The key of "(I)mprimir" does the same.
        f.session->heatKey('i');
        QCOMPARE(int(printed.layouts.size()), 2);

        printFromHeatPanel(*f.session, *f.window, printed.sink(), true);
        QCOMPARE(int(printed.layouts.size()), 3);
        QVERIFY(printed.has("Quadrant de voltes acabada la màniga 1"));
        QVERIFY(printed.has("-Pilot 2"));
        QVERIFY(f.asker.asked.empty());
    }

    void resultsScreenPrintsItsListAndQuadrant() {
        LiveFixture f(4, 4);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        runHeat(f, {3, 5, 2, 4});
        QVERIFY(f.session->closeProgramme());

        ResultsRequest request;
        request.dataDir = f.dir.path();
        request.event = 1;
        request.programmeType = ProgrammeType::Race;
        std::unique_ptr<ResultsWindow> screen(ResultsWindow::open(request));
        QVERIFY(screen);
        Printed printed;
        connectResultsPrinting(*screen, printed.sink());
        screen->printButton(0)->click();
        QCOMPARE(int(printed.layouts.size()), 1);
        QVERIFY(printed.has("Classificació Cursa"));
        QVERIFY(printed.has("Gran Premi"));
        QVERIFY(printed.has("Pilot 2"));
        QVERIFY(screen->printButton(1)->isEnabled());
        screen->printButton(1)->click();
        QCOMPARE(int(printed.layouts.size()), 2);
        QVERIFY(printed.has("Quadrant de voltes acabada la màniga 1"));

        // Both as the desktop program saves them: every name on the page, under each other.
        for (const auto& layout : printed.layouts) {
            const auto pdf = f.dir.path() / "report.pdf";
            QVERIFY(ReportPrinter(f.asker, 0)
                        .savePdf(layout, QString::fromStdString(pdf.string()), nullptr));
            const auto pages = test::pdfTextPages(pdf);
            QCOMPARE(int(pages.size()), 1);
            int column = -1;
            for (int pilot = 1; pilot <= 4; ++pilot) {
                const std::string name = "Pilot " + std::to_string(pilot);
                const auto line =
                    std::find_if(pages[0].begin(), pages[0].end(), [&](const std::string& l) {
                        return l.find(name) != std::string::npos;
                    });
                QVERIFY(line != pages[0].end());
                QVERIFY(column < 0 || test::textColumn(*line, name) == column);
                column = test::textColumn(*line, name);
            }
        }
        QVERIFY(f.asker.asked.empty());
    }
};

QTEST_MAIN(PrintCommandsTest)
#include "print_commands_test.moc"
