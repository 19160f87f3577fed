#include "shell/qt/print_commands.h"

#include "output/printed_reports.h"
#include "output/qt/printing.h"
#include "results/qt/results_window.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/main_window.h"
#include "storage/ui_context.h"
#include "texts/language_tables.h"
#include "texts/qt/asker.h"

#include <QGuiApplication>

#include <memory>

namespace cronovolta {

ReportSink previewSink(MainWindow& window) {
    return [&window](const PrintLayout& layout, QWidget* parent) {
        ReportPrinter printer(window.asker(), window.context().language());
        printer.noPrinterTold = &window.noPrinterTold();
        printer.preview(layout, parent);
    };
}

void connectResultsPrinting(ResultsWindow& screen, ReportSink sink) {
    auto header = [&screen] {
        const EventFiles& event = screen.event();
        return ReportEvent{event.eventName, event.eventDate, event.language};
    };
    QObject::connect(&screen, &ResultsWindow::printList, &screen, [&screen, sink, header] {
        sink(layoutResultsReport(header(), screen.browser()), &screen);
    });
    QObject::connect(&screen, &ResultsWindow::printQuadrant, &screen, [&screen, sink, header](int) {
        sink(layoutQuadrantReport(header(), screen.browser()), &screen);
    });
}

void printFromHeatPanel(HeatSession& session, MainWindow& window, const ReportSink& sink,
                        bool quadrant) {
    const HeatEngine* engine = session.engine();
    if (engine == nullptr || !engine->programmeOpen() ||
        engine->programme().programmeType < ProgrammeType::OfficialPractice) {
        return;
    }
    const ProgrammeRequest& programme = engine->programme();
    UiContext& ui = window.context();
    auto files = openEventFiles(programme.dataDir, programme.event);
    if (!files) {
        window.asker().message(&window, QString::fromStdString(ui.message(0, msg::kErrorTitle)),
                               QString::fromStdString(files.error()));
        return;
    }
    const ReportEvent header{files->eventName, files->eventDate, ui.language()};
    if (!quadrant) {
        const HeatReport heat{programme.programmeType, programme.seriesCount,
                              programme.seriesListText.empty()
                                  ? std::to_string(programme.seriesNumber)
                                  : programme.seriesListText,
                              engine->heatNumber()};
        sink(layoutClassificationReport(header, heat, engine->standings(),
                                        engine->standingsHeadings()),
             &window);
        return;
    }
    // The results screen's quadrant, loaded unseen on the series of the heat.
    ResultsBrowser browser =
        makeResultsBrowser(*files, programme.programmeType, programme.seriesNumber,
                           std::make_shared<std::vector<std::string>>(), engine->heatNumber());
    browser.open();
    browser.selectSeries(programme.seriesNumber);
    sink(layoutQuadrantReport(header, browser), &window);
}

void connectHeatPrinting(HeatSession& session, MainWindow& window, ReportSink sink) {
    session.setScreen(HeatCommand::Print, [&session, &window, sink] {
        const bool shift = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
        printFromHeatPanel(session, window, sink, shift);
    });
}

} // namespace cronovolta
