#include "shell/qt/startup_sequence.h"

#include "shell/qt/main_window.h"
#include "storage/event_manager.h"
#include "storage/qt/localise.h"
#include "storage/qt/settings_dialog.h"
#include "storage/qt/track_dialog.h"
#include "storage/startup.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"

#include <QGuiApplication>
#include <QScreen>

namespace cronovolta {

namespace {

void report(UiContext& ui, Asker& asker, const std::vector<std::string>& problems) {
    if (problems.empty()) {
        return;
    }
    QString text;
    for (const std::string& p : problems) {
        text += problemText(ui, p) + QLatin1Char('\n');
    }
    asker.message(nullptr, message(ui, 0, msg::kErrorTitle), text.trimmed());
}

bool prepareSettings(UiContext& ui, Asker& asker) {
    const fs::path file = ui.app.dataFile(kSettingsFileName);
    std::error_code ec;
    if (fs::exists(file, ec)) {
        auto loaded = loadProgramSettingsChecked(file);
        if (loaded) {
            ui.app.programConfig = loaded->config;
            ui.messages.fill("Portada", ui.language());
            report(ui, asker, loaded->problems);
        } else {
            ui.app.programConfig = defaultProgramSettings();
            ui.messages.fill("Portada", ui.language());
            report(ui, asker, {loaded.error()});
        }
        return true;
    }
    ui.app.programConfig = defaultProgramSettings();
    ui.messages.fill("Portada", ui.language());
    {
        SettingsDialog dialog(ui, asker, shiftHeld());
        dialog.exec();
    }
    ui.messages.fill("Portada", ui.language());
    return fs::exists(file, ec);
}

bool prepareTrack(UiContext& ui, Asker& asker) {
    TrackDialogOptions options;
    options.file = ui.app.dataFile(kTrackFileName);
    std::error_code ec;
    if (fs::exists(options.file, ec)) {
        // Read whenever a programme is opened, not here.
        return true;
    }
    ui.app.trackConfig = defaultTrackConfig();
    options.showSplit = shiftHeld();
    {
        TrackDialog dialog(ui, asker, ui.app.trackConfig, options);
        dialog.exec();
    }
    return fs::exists(options.file, ec);
}

} // namespace

bool prepareConfiguration(UiContext& ui, Asker& asker) {
    ui.app.seriesCounts = {1, 0, 0, 0, 0};
    return prepareSettings(ui, asker) && prepareTrack(ui, asker);
}

std::unique_ptr<MainWindow> openMainWindow(UiContext& ui, Asker& asker, bool maximised,
                                           const std::function<void(MainWindow&)>& beforeStart) {
    ui.app.abnormalEnd = false;
    ui.app.seriesCounts[0] = 1;
    auto window = std::make_unique<MainWindow>(ui, asker);
    if (beforeStart) {
        beforeStart(*window);
    }
    if (auto left = EventManager(ui.app.dataDir).finishInterruptedDeletion()) {
        QString text = message(ui, 0, left->done ? msg::kDeletionFinished : msg::kDeletionUndone);
        if (!left->problem.empty()) {
            text += QLatin1Char('\n') + problemText(ui, left->problem);
        }
        asker.message(nullptr, message(ui, 0, msg::kErrorTitle), text);
    }
    window->loadCatalog();
    window->restoreWindowState();
    if (maximised) {
        // Without a window manager a maximised window keeps its size: take the screen.
        if (const QScreen* screen = window->screen()) {
            window->setGeometry(screen->availableGeometry());
        }
        window->showMaximized();
    } else {
        window->show();
    }
    window->setFocus();
    if (!window->offerResume()) {
        window->runAutoruns();
    }
    return window;
}

} // namespace cronovolta
