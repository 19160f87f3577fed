#include "shell/qt/corrections_commands.h"

#include "corrections/qt/corregir.h"
#include "corrections/qt/penalitzacions.h"
#include "output/qt/llistar_voltes.h"
#include "shell/qt/heat_session.h"
#include "shell/qt/portada.h"
#include "storage/event_files.h"
#include "storage/qt/localise.h"
#include "texts/qt/asker.h"
#include "texts/qt/screen_text.h"

#include <QListWidget>

namespace cronovolta {
namespace {

void showError(Portada& window, const std::string& text) {
    window.asker().message(&window, message(window.context(), 0, msg::kErrorTitle), qstr(text));
}

QString eventName(Portada& window) {
    const QListWidgetItem* item = window.eventList()->currentItem();
    return item != nullptr ? item->text().trimmed() : QString();
}

QString programmeCaption(Portada& window, ProgrammeType programa) {
    return tableString(window.context(), "Portada", "MnuPrg", index(programa));
}

// The standings follow the corrected series file.
void followCorrection(HeatSession& session) {
    if (HeatEngine* engine = session.engine(); engine != nullptr && engine->programmeOpen()) {
        engine->rebuildStandings();
        session.syncScreens();
    }
}

void openCorrection(Portada& window, HeatSession& session, CorrectionMode mode, ComesEntry entry) {
    HeatEngine* engine = session.engine();
    if (engine == nullptr || !engine->programmeOpen()) {
        return;
    }
    const ProgrammeRequest& programme = engine->programme();
    auto model =
        CorrectionModel::open(engine->workFolder(), programme.programa, programme.serie, mode);
    if (!model) {
        showError(window, model.error());
        return;
    }
    Corregir screen(std::move(*model), window.context(), window.asker(), &window);
    if (entry == ComesEntry::LastLaneOnly) {
        screen.enableOnlyLastRow();
    }
    if (screen.exec() == QDialog::Accepted) {
        followCorrection(session);
    }
}

void openListing(Portada& window, HeatSession& session, LapListingSetup setup) {
    QString title;
    if (setup.programa >= ProgrammeType::FreePractice) {
        title = QStringLiteral(" - ") + eventName(window) + QStringLiteral(" - ") +
                programmeCaption(window, setup.programa);
    }
    LlistarVoltes screen(std::move(setup), title, window.context(), window.asker(), &window);
    QObject::connect(&screen, &LlistarVoltes::corrected, &window,
                     [&session] { followCorrection(session); });
    screen.exec();
}

void openHeatListing(Portada& window, HeatSession& session) {
    HeatEngine* engine = session.engine();
    if (engine == nullptr || !engine->programmeOpen()) {
        return;
    }
    const ProgrammeRequest& programme = engine->programme();
    LapListingSetup setup;
    setup.folder = engine->workFolder();
    setup.programa = programme.programa;
    setup.seriesCount = programme.seriesCount;
    setup.activeSerie = programme.serie;
    setup.programmeOpen = true;
    openListing(window, session, std::move(setup));
}

void openSeriesListing(Portada& window, HeatSession& session, ProgrammeType programa) {
    UiContext& ui = window.context();
    const int serie = window.selectedSeries(programa) + 1;
    if (ui.app.seleccio.event < 1 || serie < 1) {
        return;
    }
    LapListingSetup setup;
    setup.folder = eventFolder(ui.app.dataDir, ui.app.seleccio.event);
    setup.programa = programa;
    setup.seriesCount = window.seriesList(programa)->count();
    setup.activeSerie = serie;
    setup.programmeOpen = window.programmeOpen();
    openListing(window, session, std::move(setup));
}

void openPenalties(Portada& window, HeatSession& session) {
    UiContext& ui = window.context();
    const int serie = window.selectedSeries(ProgrammeType::Race) + 1;
    if (ui.app.seleccio.event < 1 || serie < 1) {
        return;
    }
    auto model = PenaltiesModel::open(eventFolder(ui.app.dataDir, ui.app.seleccio.event), serie);
    if (!model) {
        showError(window, model.error());
        return;
    }
    const QString title = QStringLiteral(" - ") + eventName(window) + QStringLiteral(" (") +
                          programmeCaption(window, ProgrammeType::Race) + QLatin1Char(' ') +
                          QString::number(serie) + QLatin1Char(')');
    Penalitzacions screen(std::move(*model), title, ui, window.asker(), &window);
    screen.exec();
    // The open race's standings rank by the penalties just stored.
    if (HeatEngine* engine = session.engine(); engine != nullptr && engine->programmeOpen()) {
        engine->reloadPenalties();
        session.syncScreens();
    }
}

} // namespace

void connectCorrectionScreens(Portada& window, HeatSession& session) {
    session.setScreen(HeatCommand::Correct, [&window, &session] {
        openCorrection(window, session, CorrectionMode::Laps, ComesEntry::None);
    });
    session.enterComes = [&window, &session](ComesEntry entry) {
        openCorrection(window, session, CorrectionMode::Comes, entry);
        session.comesEntryClosed();
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
