#include "output/qt/export_window.h"
#include "shell/qt/file_commands.h"
#include "shell/qt/main_window.h"
#include "shell/qt/startup_sequence.h"
#include "storage/program_settings.h"
#include "storage/qt/event_manager_window.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "results/event_folder.h"
#include "support/qt/qt_test_support.h"

using namespace cronovolta;

namespace {

struct ShellWindows {
    explicit ShellWindows(const test::EventFolder& f) {
        ui.app.dataDir = f.data();
        ui.app.programConfig = defaultProgramSettings();
        ui.app.trackConfig = loadTrackConfig(f.data() / kTrackFileName).value();
        window = openMainWindow(ui, asker, false);
        connectFileScreens(*window);
        window->selectEvent(0);
    }
    UiContext ui;
    test::ScriptedAsker asker;
    std::unique_ptr<MainWindow> window;
};

// Types a name into the file screen that opens next and presses "&Gravar".
void saveAs(const QString& name, QString* title = nullptr) {
    test::whenModal([name, title](QDialog* d) {
        auto* screen = qobject_cast<ExportWindow*>(d);
        QVERIFY(screen);
        if (title != nullptr) {
            *title = screen->windowTitle();
        }
        screen->nameField()->setText(name);
        screen->accept();
    });
}

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void exportArchiveAndUnarchiveFromTheirWindows() {
        test::EventFolder f(2);
        f.writeOneHeat(ProgrammeType::Race, 1, {"Anna", "Bernat"}, {10.0f, 11.0f}, {5.1f, 4.9f}, 2);
        ShellWindows main(f);

        QString title;
        saveAs(QStringLiteral("resultats"), &title);
        main.window->runCommand("MnuExportar");
        QCOMPARE(title, QStringLiteral("Exportar a TXT"));
        const std::string text = test::readBytes(f.data() / "resultats.txt");
        QVERIFY(text.find("CURSA\r\n") != std::string::npos);
        QVERIFY(text.find("\t1.-\tBernat\t(Pst.2)\t11\t\t\r\n") != std::string::npos);

        // The manager archives its selected event, then unarchives it as the next one.
        EventManagerWindow manager(main.ui, main.asker, main.window.get(), main.window->fileScreen);
        manager.selectEvent(0);
        saveAs(QStringLiteral("copia"), &title);
        manager.archive(FileScreenMode::Archive);
        QCOMPARE(title, QStringLiteral("Arxivar prova"));
        QVERIFY(fs::exists(f.data() / "copia.prb"));
        saveAs(QStringLiteral("copia.prb"), &title);
        manager.archive(FileScreenMode::Unarchive);
        QCOMPARE(title, QStringLiteral("Desarxivar prova"));
        QCOMPARE(manager.events()->count(), 2);
        QCOMPARE(manager.events()->item(1)->text(), QStringLiteral("Open Sabadell"));
        QCOMPARE(test::readBytes(eventFolder(f.data(), 2) / "CRS001.DAD"),
                 test::readBytes(f.event() / "CRS001.DAD"));
    }

    void resultTablesAreWrittenIntoTheEventFolder() {
        test::EventFolder f(2);
        f.writeOneHeat(ProgrammeType::OfficialPractice, 1, {"Anna", "Bernat"}, {10.0f, 11.0f},
                       {5.1f, 4.9f}, 2);
        ShellWindows main(f);
        auto* tables = main.window->findChild<QAction*>(QStringLiteral("Command1"));
        QVERIFY(tables);
        QCOMPARE(tables->text(), QStringLiteral("Exportar ENTRENAMENTS 001"));
        tables->trigger();
        QVERIFY(test::readBytes(f.event() / "ENTRENAMENTS.TXT").starts_with("1.- Bernat\t"));
        QVERIFY(main.asker.asked.back().text.endsWith(QStringLiteral("ENTRENAMENTS.TXT")));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
