#include "results/qt/entrants_window.h"
#include "results/qt/results_window.h"
#include "shell/qt/main_window.h"
#include "shell/qt/results_commands.h"
#include "shell/qt/startup_sequence.h"
#include "storage/program_settings.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTableView>
#include <QTest>

#include "results/event_folder.h"
#include "support/qt/qt_test_support.h"

using namespace cronovolta;

namespace {

// The main window on the event of `f`, with the commands of the result screens.
struct ShellWindows {
    explicit ShellWindows(const test::EventFolder& f) {
        ui.app.dataDir = f.data();
        ui.app.programConfig = defaultProgramSettings();
        ui.app.trackConfig = loadTrackConfig(f.data() / kTrackFileName).value();
        window = openMainWindow(ui, asker, false);
        connectResultsScreens(*window);
        window->selectEvent(0);
    }
    UiContext ui;
    test::ScriptedAsker asker;
    std::unique_ptr<MainWindow> window;
};

} // namespace

class ResultsCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void menuEntriesOpenTheScreensAndANewRaceIsPlaced() {
        test::EventFolder f(4, "10 6\n");
        test::check(f.addSeries(ProgrammeType::OfficialPractice) == 1, "series");
        f.writeOneHeat(ProgrammeType::OfficialPractice, 1,
                       {"P01", "P02", "P03", "P04", "P05", "P06", "P07", "P08", "P09", "P10"},
                       std::vector<float>(10, 20.0f),
                       {3.01f, 3.02f, 3.03f, 3.04f, 3.05f, 3.06f, 3.07f, 3.08f, 3.09f, 3.1f}, 4);
        ShellWindows main(f);
        auto& window = main.window;
        auto& asker = main.asker;

        window->runCommand("MnuCls", index(ProgrammeType::OfficialPractice));
        const auto subWindows = window->mdiArea()->subWindowList();
        QCOMPARE(subWindows.size(), 1);
        auto* results = qobject_cast<ResultsWindow*>(subWindows[0]->widget());
        QVERIFY(results);
        QCOMPARE(results->list()->model()->rowCount(), 10);
        // Escape closes the screen with its frame in the document area.
        QTest::keyClick(results, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window->mdiArea()->subWindowList().size(), 0);

        asker.answers = {true};
        window->newSeries(ProgrammeType::Race);
        QCOMPARE(window->seriesList(ProgrammeType::Race)->count(), 1);
        const auto race = readParticipantList(f.event() / "CRS001.PAR").value();
        QCOMPARE(race.names.front(), std::string("P10"));
        QCOMPARE(race.names.size(), std::size_t{10});

        QString title;
        QString first;
        test::whenModal([&](QDialog* d) {
            title = d->windowTitle();
            first = static_cast<EntrantsWindow*>(d)->nameField(1)->text();
            d->reject();
        });
        window->runCommand("MnuIns", index(ProgrammeType::Race));
        QCOMPARE(title, QStringLiteral("Participants a la cursa - Open Sabadell - Cursa"));
        QCOMPARE(first, QStringLiteral("P10"));

        test::whenModal([&](QDialog* d) {
            title = d->windowTitle();
            d->reject();
        });
        window->runCommand("MnuIns100");
        QCOMPARE(title, QStringLiteral("Llista de participants"));
        QVERIFY(asker.asked.size() == 1); // the new-series question only
    }

    void aNewRaceThatCannotBePlacedSaysWhy() {
        test::EventFolder f(4, "10 6\n");
        test::check(f.addSeries(ProgrammeType::OfficialPractice) == 1, "series");
        f.writeOneHeat(ProgrammeType::OfficialPractice, 1, {"P01", "P02", "P03"}, {20, 20, 20},
                       {3.01f, 3.02f, 3.03f}, 4);
        ShellWindows main(f);
        auto& window = main.window;
        auto& asker = main.asker;

        QString said;
        test::whenModal([&](QDialog* d) {
            if (auto* box = qobject_cast<QMessageBox*>(d)) {
                said = box->text();
            }
            d->accept();
        });
        asker.answers = {true};
        window->newSeries(ProgrammeType::Race);
        QVERIFY2(said.contains(QStringLiteral("needs 5")), qPrintable(said));
        QCOMPARE(window->seriesList(ProgrammeType::Race)->count(), 1); // added, for a list by hand
    }
};

QTEST_MAIN(ResultsCommandsTest)
#include "results_commands_test.moc"
