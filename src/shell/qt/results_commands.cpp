#include "shell/qt/results_commands.h"

#include "results/auto_entries.h"
#include "results/qt/entrants_window.h"
#include "results/qt/results_window.h"
#include "shell/qt/main_window.h"
#include "shell/qt/print_commands.h"
#include "storage/qt/localise.h"
#include "texts/language_tables.h"
#include "texts/localiser.h"
#include "texts/qt/screen_text.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>

#include <memory>
#include <optional>

namespace cronovolta {
namespace {

std::string menuCaption(const UiContext& ui, std::string_view control, int index) {
    return withoutLastThree(tableCaption("Portada", control, index, ui.language()));
}

void showError(MainWindow& window, const std::string& text) {
    QMessageBox::warning(&window, qstr(window.context().message(0, msg::kErrorTitle)),
                         problemText(window.context(), text));
}

// No programme: the general list of the data folder.
void openList(MainWindow& window, std::optional<ProgrammeType> programmeType) {
    UiContext& ui = window.context();
    EntrantsContext ctx;
    ctx.dataDir = ui.app.dataDir;
    ctx.language = ui.language();
    ctx.track = ui.app.trackConfig;
    ctx.programmeType = programmeType.value_or(ProgrammeType::Practice);
    if (!programmeType) {
        ctx.caption = menuCaption(ui, "MnuIns100", -1);
    } else {
        auto event = openEventFiles(ui.app.dataDir, ui.app.activeSelection.event);
        if (!event) {
            showError(window, event.error());
            return;
        }
        if (!event->problems.empty()) {
            std::string text;
            for (const auto& p : event->problems) {
                text += p + "\n";
            }
            showError(window, text);
        }
        ctx.eventDir = event->eventDir;
        ctx.eventName = event->eventName;
        ctx.track = event->track;
        ctx.seriesNumber = programmeType == ProgrammeType::Practice
                               ? 1
                               : window.selectedSeries(*programmeType) + 1;
        ctx.caption = menuCaption(ui, "MnuIns", index(*programmeType));
        if (ctx.seriesNumber < 1) {
            return;
        }
    }
    std::unique_ptr<EntrantsWindow> screen(EntrantsWindow::open(ctx, &window));
    if (screen) {
        screen->setAttribute(Qt::WA_DeleteOnClose, false);
        screen->exec();
    }
}

void openResults(MainWindow& window, ProgrammeType programmeType) {
    UiContext& ui = window.context();
    ResultsRequest request;
    request.dataDir = ui.app.dataDir;
    request.event = ui.app.activeSelection.event;
    request.programmeType = programmeType;
    request.activeSeriesNumber = std::max(window.selectedSeries(programmeType) + 1, 1);
    if (window.programmeOpen()) {
        request.heatPreset = ui.app.activeSelection.heatsDone;
    }
    ResultsWindow* screen = ResultsWindow::open(request, &window);
    if (screen == nullptr) {
        return;
    }
    connectResultsPrinting(*screen, previewSink(window));
    if (QMdiArea* area = window.mdiArea()) {
        QMdiSubWindow* sub = area->addSubWindow(screen);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->resize(QSize(940, 620).boundedTo(area->viewport()->size()));
        sub->move(0, 0);
    }
    screen->show();
}

void prepareRaceSeries(MainWindow& window, int added) {
    UiContext& ui = window.context();
    auto placed = placeAutomaticEntriesInto(ui.app.dataDir, ui.app.activeSelection.event, added);
    if (!placed) {
        showError(window, placed.error());
        return;
    }
    if (!placed->notes.empty()) {
        // Why no list was placed, or what was read around: the organiser goes on by hand.
        QStringList lines;
        for (const auto& note : placed->notes) {
            lines << qstr(note);
        }
        QMessageBox::information(&window, window.windowTitle(), lines.join(QLatin1Char('\n')));
    }
    if (placed->stage != kNoProgression) {
        // The stage may have added more series: the lists follow "PROVA.DAD".
        window.selectEvent(window.eventList()->currentRow());
    }
}

} // namespace

void connectResultsScreens(MainWindow& window) {
    window.setCommand("MnuIns100", [&window] { openList(window, std::nullopt); });
    for (ProgrammeType t : kProgrammeTypes) {
        window.setCommand("MnuIns", index(t), [&window, t] { openList(window, t); });
    }
    for (ProgrammeType t :
         {ProgrammeType::OfficialPractice, ProgrammeType::SuperPole, ProgrammeType::Race}) {
        window.setCommand("MnuCls", index(t), [&window, t] { openResults(window, t); });
    }
    window.prepareNewRaceSeries = [&window](int added) { prepareRaceSeries(window, added); };
}

} // namespace cronovolta
