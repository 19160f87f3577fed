#include "shell/qt/corrections_commands.h"

#include "corrections/qt/corrections_window.h"
#include "corrections/qt/penalties_window.h"
#include "output/qt/lap_listing_window.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/main_window.h"
#include "storage/event_files.h"
#include "storage/qt/localise.h"
#include "texts/qt/asker.h"
#include "texts/qt/screen_text.h"

#include <QListWidget>

namespace cronovolta {
namespace {

void showError(MainWindow& window, const std::string& text) {
    window.asker().message(&window, message(window.context(), 0, msg::kErrorTitle), qstr(text));
}

QString eventName(MainWindow& window) {
    const QListWidgetItem* item = window.eventList()->currentItem();
    return item != nullptr ? item->text().trimmed() : QString();
}

QString programmeCaption(MainWindow& window, ProgrammeType programmeType) {
    return tableString(window.context(), "Portada", "MnuPrg", index(programmeType));
}

// The standings follow the corrected series file.
void followCorrection(HeatSession& session) {
    if (HeatEngine* engine = session.engine(); engine != nullptr && engine->programmeOpen()) {
        engine->rebuildStandings();
        session.syncScreens();
    }
}

void openCorrection(MainWindow& window, HeatSession& session, CorrectionMode mode,
                    LapFractionEntry entry) {
    HeatEngine* engine = session.engine();
    if (engine == nullptr || !engine->programmeOpen()) {
        return;
    }
    const ProgrammeRequest& programme = engine->programme();
    auto model = CorrectionModel::open(engine->workFolder(), programme.programmeType,
                                       programme.seriesNumber, mode);
    if (!model) {
        showError(window, model.error());
        return;
    }
    CorrectionsWindow screen(std::move(*model), window.context(), window.asker(), &window);
    if (entry == LapFractionEntry::LastLaneOnly) {
        screen.enableOnlyLastRow();
    }
    if (screen.exec() == QDialog::Accepted) {
        followCorrection(session);
    }
}

void openListing(MainWindow& window, HeatSession& session, LapListingSetup setup) {
    QString title;
    if (setup.programmeType >= ProgrammeType::FreePractice) {
        title = QStringLiteral(" - ") + eventName(window) + QStringLiteral(" - ") +
                programmeCaption(window, setup.programmeType);
    }
    LapListingWindow screen(std::move(setup), title, window.context(), window.asker(), &window);
    QObject::connect(&screen, &LapListingWindow::corrected, &window,
                     [&session] { followCorrection(session); });
    screen.exec();
}

void openHeatListing(MainWindow& window, HeatSession& session) {
    HeatEngine* engine = session.engine();
    if (engine == nullptr || !engine->programmeOpen()) {
        return;
    }
    const ProgrammeRequest& programme = engine->programme();
    LapListingSetup setup;
    setup.folder = engine->workFolder();
    setup.programmeType = programme.programmeType;
    setup.seriesCount = programme.seriesCount;
    setup.activeSeriesNumber = programme.seriesNumber;
    setup.programmeOpen = true;
    openListing(window, session, std::move(setup));
}

void openSeriesListing(MainWindow& window, HeatSession& session, ProgrammeType programmeType) {
    UiContext& ui = window.context();
    const int seriesNumber = window.selectedSeries(programmeType) + 1;
    if (ui.app.activeSelection.event < 1 || seriesNumber < 1) {
        return;
    }
    LapListingSetup setup;
    setup.folder = eventFolder(ui.app.dataDir, ui.app.activeSelection.event);
    setup.programmeType = programmeType;
    setup.seriesCount = window.seriesList(programmeType)->count();
    setup.activeSeriesNumber = seriesNumber;
    setup.programmeOpen = window.programmeOpen();
    openListing(window, session, std::move(setup));
}

void openPenalties(MainWindow& window, HeatSession& session) {
    UiContext& ui = window.context();
    const int seriesNumber = window.selectedSeries(ProgrammeType::Race) + 1;
    if (ui.app.activeSelection.event < 1 || seriesNumber < 1) {
        return;
    }
    auto model = PenaltiesModel::open(eventFolder(ui.app.dataDir, ui.app.activeSelection.event),
                                      seriesNumber);
    if (!model) {
        showError(window, model.error());
        return;
    }
    const QString title = QStringLiteral(" - ") + eventName(window) + QStringLiteral(" (") +
                          programmeCaption(window, ProgrammeType::Race) + QLatin1Char(' ') +
                          QString::number(seriesNumber) + QLatin1Char(')');
    PenaltiesWindow screen(std::move(*model), title, ui, window.asker(), &window);
    screen.exec();
    // The open race's standings rank by the penalties just stored.
    if (HeatEngine* engine = session.engine(); engine != nullptr && engine->programmeOpen()) {
        engine->reloadPenalties();
        session.syncScreens();
    }
}

} // namespace

void connectCorrectionScreens(MainWindow& window, HeatSession& session) {
    session.setScreen(HeatCommand::Correct, [&window, &session] {
        openCorrection(window, session, CorrectionMode::Laps, LapFractionEntry::None);
    });
    session.enterLapFractions = [&window, &session](LapFractionEntry entry) {
        openCorrection(window, session, CorrectionMode::LapFraction, entry);
        session.lapFractionEntryClosed();
    };
    session.setScreen(HeatCommand::ListLaps,
                      [&window, &session] { openHeatListing(window, session); });
    for (ProgrammeType t :
         {ProgrammeType::OfficialPractice, ProgrammeType::SuperPole, ProgrammeType::Race}) {
        window.setCommand("MnuVaV", index(t),
                          [&window, &session, t] { openSeriesListing(window, session, t); });
    }
    window.setCommand("MnuPen", index(ProgrammeType::Race),
                      [&window, &session] { openPenalties(window, session); });
}

} // namespace cronovolta
