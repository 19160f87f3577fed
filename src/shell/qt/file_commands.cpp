#include "shell/qt/file_commands.h"

#include "output/qt/export_window.h"
#include "output/result_tables.h"
#include "output/text_export.h"
#include "results/results_source.h"
#include "shell/qt/main_window.h"
#include "storage/number_format.h"
#include "storage/qt/event_manager_window.h"
#include "storage/qt/localise.h"
#include "texts/qt/asker.h"

#include <QAction>
#include <QListWidget>

namespace cronovolta {
namespace {

void showText(MainWindow& window, const QString& title, const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return;
    }
    QString text;
    for (const auto& line : lines) {
        text += QString::fromStdString(line) + QLatin1Char('\n');
    }
    window.asker().message(&window, title, text.trimmed());
}

// The event manager's archive and unarchive buttons.
bool archiveScreen(MainWindow& window, QWidget* parent, FileScreenMode mode) {
    UiContext& ui = window.context();
    const int language = ui.language();
    int event = 0;
    if (auto* manager = qobject_cast<EventManagerWindow*>(parent)) {
        event = manager->events()->currentRow() + 1;
    }
    ExportWindow::Operation operation =
        mode == FileScreenMode::Archive
            ? archiveOperation(eventFolder(ui.app.dataDir, event), language)
            : unarchiveOperation(ui.app.dataDir, language);
    ExportWindow screen(ui, window.asker(), mode, operation, parent);
    screen.exec();
    return screen.succeeded();
}

void exportScreen(MainWindow& window) {
    UiContext& ui = window.context();
    auto event = openEventFiles(ui.app.dataDir, ui.app.activeSelection.event);
    const QString errorTitle = message(ui, 0, msg::kErrorTitle);
    if (!event) {
        showText(window, errorTitle, {event.error()});
        return;
    }
    auto problems = std::make_shared<std::vector<std::string>>(event->problems);
    ExportWindow::Operation operation = [files = *event, problems](const fs::path& file,
                                                                   bool separate,
                                                                   const FileScreenReport& report) {
        return exportEvent(files, file, separate, *problems, exportProgress(report));
    };
    {
        ExportWindow screen(ui, window.asker(), FileScreenMode::Export, operation, &window);
        screen.exec();
    }
    showText(window, errorTitle, *problems);
}

void exportResultTables(MainWindow& window) {
    UiContext& ui = window.context();
    const QString errorTitle = message(ui, 0, msg::kErrorTitle);
    auto event = openEventFiles(ui.app.dataDir, ui.app.activeSelection.event);
    if (!event) {
        showText(window, errorTitle, {event.error()});
        return;
    }
    std::vector<std::string> problems = event->problems;
    auto written = writeResultTables(*event, problems);
    showText(window, errorTitle, problems);
    if (!written) {
        showText(window, errorTitle, {written.error()});
        return;
    }
    std::vector<std::string> paths;
    for (const auto& p : *written) {
        paths.push_back(p.string());
    }
    showText(window, window.windowTitle(), paths);
}

} // namespace

void connectFileScreens(MainWindow& window) {
    window.fileScreen = [&window](QWidget* parent, FileScreenMode mode) {
        return archiveScreen(window, parent, mode);
    };
    window.setCommand("MnuExportar", [&window] { exportScreen(window); });

    auto* tables = new QAction(&window);
    tables->setObjectName(QStringLiteral("Command1"));
    tables->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    static_cast<QWidget&>(window).addAction(tables);
    QObject::connect(tables, &QAction::triggered, &window, [&window] {
        if (window.context().app.activeSelection.event > 0) {
            exportResultTables(window);
        }
    });
    QObject::connect(&window, &MainWindow::eventSelected, tables, [tables](int event) {
        tables->setText(QStringLiteral("Exportar ENTRENAMENTS ") +
                        QString::fromStdString(formatNumber(event, "000")));
    });
}

} // namespace cronovolta
