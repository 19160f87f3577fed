#include "live_fixture.h"

#include "counter/capture.h"
#include "counter/qt/serial_link.h"
#include "counter/qt/simulated_counter.h"
#include "heat/qt/heat_panel.h"
#include "heat/standings_grid.h"
#include "storage/resume_file.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace cronovolta;
using cronovolta::test::LiveFixture;

namespace {

// The standings row of the participant on a lane in the running heat.
int rowOnLane(const HeatEngine& engine, int lane) {
    return engine.standings().findLane(lane);
}

QString laneCount(HeatSession& session, int lane) {
    session.syncScreens();
    return session.lapByLapView()->laps(lane)->rowText(0);
}

void typeKeys(HeatSession& session, const std::vector<int>& keys) {
    for (int key : keys) {
        session.heatKey(key);
    }
}

} // namespace

class HeatSessionTest : public QObject {
    Q_OBJECT

private slots:
    void openingARaceShowsItsWindowsAndClosingRemovesThem() {
        LiveFixture f(4, 5);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        QVERIFY(f.window->programmeOpen());
        QVERIFY(f.session->lapByLapView() != nullptr);
        QVERIFY(f.session->standingsWindow() != nullptr);
        QVERIFY2(f.window->windowTitle().endsWith(QStringLiteral(" - Cursa (1 #1) <0>")),
                 qPrintable(f.window->windowTitle()));
        QCOMPARE(f.session->lapByLapView()->shownPanels(), 4);
        QCOMPARE(f.session->standingsWindow()->grid()->model()->rowCount(), 5);
        // Before the first heat the entrants show in order with their start marks.
        const auto* model = f.session->standingsWindow()->grid()->model();
        QCOMPARE(model->index(0, col::Name).data().toString(), QStringLiteral("Pilot 1"));
        QVERIFY(f.session->link()->isOpen(1));

        f.session->heatKey(27); // Esc: button 0 closes the programme
        QVERIFY(!f.session->programmeOpen());
        QVERIFY(!f.window->programmeOpen());
        QVERIFY(!f.window->windowTitle().contains(QStringLiteral("Cursa")));
        QVERIFY(!fs::exists(f.eventDir() / "VLTAVLT.TMP"));
        QVERIFY(f.session->lapByLapView() == nullptr);
    }

    void keysOfTheMainWindowAndTheManualLanesDriveTheHeat() {
        LiveFixture f(4, 5);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        QAction* lane2 = f.window->action("Manual", 2);
        QVERIFY(lane2 != nullptr);
        lane2->trigger(); // no heat runs: nothing happens
        QCOMPARE(laneCount(*f.session, 2), QString());

        QTest::keyClick(f.window->heatPanel(), Qt::Key_S);
        QVERIFY(f.session->engine()->heatRunning());
        QVERIFY(f.session->clockTick().isActive());
        QCOMPARE(f.session->clockTick().interval(), 500);
        f.clock.advance(1.0);
        lane2->trigger();
        QCOMPARE(laneCount(*f.session, 2), QStringLiteral("1"));
        // Lane 2 drives participant 3 in heat 1 (participant 1 enters at the last lane).
        QCOMPARE(f.session->lapByLapView()->pilot(2)->text(), QStringLiteral("Pilot 3"));
        QVERIFY(!f.window->heatPanel()->clock()->isHidden());

        // Another screen of the document area keeps its keys.
        auto* field = new QLineEdit;
        f.window->mdiArea()->addSubWindow(field)->show();
        QTest::keyClick(field, Qt::Key_P);
        QCOMPARE(field->text(), QStringLiteral("p"));
        QVERIFY(!f.session->engine()->heatPaused());

        // The standings window passes its keys on too: S ends the heat.
        QTest::keyClick(f.session->standingsWindow(), Qt::Key_S);
        QVERIFY(!f.session->engine()->heatRunning());
        QVERIFY(!f.session->clockTick().isActive());
        QCOMPARE(f.storedHeats(), 1);
        QCOMPARE(test::crossingsOfHeat(f.lapFile(), 1).size(), std::size_t(1));

        // The "Manual" menu offers the four lanes of this track, all sixteen once it closes.
        QVERIFY(f.window->action("Manual", 4)->isVisible());
        QVERIFY(!f.window->action("Manual", 5)->isVisible());
        QVERIFY(f.session->closeProgramme());
        QVERIFY(f.window->action("Manual", 16)->isVisible());
    }

    void spaceBarShowsTheInformationPanelFromEveryHeatWindow() {
        LiveFixture f(4, 5);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        StandingsWindow* standings = f.session->standingsWindow();
        QVERIFY(!standings->infoShown());
        // No click into the standings first: the key reaches it from wherever it is typed.
        QTest::keyClick(f.window->heatPanel(), Qt::Key_Space);
        QVERIFY(standings->infoShown());
        QTest::keyClick(f.session->lapByLapView(), Qt::Key_Space);
        QVERIFY(!standings->infoShown());
        QTest::keyClick(standings, Qt::Key_Space);
        QVERIFY(standings->infoShown());
        QVERIFY(f.ui.infoShown);
    }

    void mainWindowFitsTheSmallScreenAgainAfterAHeat() {
        LiveFixture f(8, 10);
        f.start();
        const QRect screen = f.window->screen()->availableGeometry();
        f.window->setGeometry(screen);
        f.window->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        QTest::keyClick(f.window->heatPanel(), Qt::Key_S);
        for (int lane = 1; lane <= 8; ++lane) {
            f.cross(lane, 12.5);
        }
        QTest::keyClick(f.window->heatPanel(), Qt::Key_S);
        QCOMPARE(f.storedHeats(), 1);
        QVERIFY(f.session->closeProgramme());
        QTest::qWait(50);

        QVERIFY2(f.window->width() <= screen.width() && f.window->height() <= screen.height(),
                 qPrintable(QStringLiteral("%1x%2 on %3x%4")
                                .arg(f.window->width())
                                .arg(f.window->height())
                                .arg(screen.width())
                                .arg(screen.height())));
    }

    void lapAdjustmentChangesTheLaneAndItsRow() {
        LiveFixture f(4, 5);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->heatKey('S');
        for (int lane = 1; lane <= 4; ++lane) {
            f.cross(lane, 0.5);
        }
        f.cross(3, 6.0);
        QCOMPARE(laneCount(*f.session, 3), QStringLiteral("2"));

        typeKeys(*f.session, {'+', '3'});
        f.session->syncScreens();
        QLabel* entry = f.window->heatPanel()->lapAdjustment();
        QVERIFY(!entry->isHidden());
        QCOMPARE(entry->text(), QStringLiteral("+3"));
        f.session->heatKey(13);
        f.session->syncScreens();
        QVERIFY(entry->isHidden());
        QCOMPARE(laneCount(*f.session, 3), QStringLiteral("3"));
        const HeatEngine& engine = *f.session->engine();
        const int row = rowOnLane(engine, 3);
        QVERIFY(row > 0);
        QCOMPARE(engine.standings().text(row, col::HeatLaps), std::string("3"));
        QCOMPARE(engine.standings().text(row, col::Adjustments), std::string("+1"));
        const auto* model = f.session->standingsWindow()->grid()->model();
        const QModelIndex shown = model->index(row - 1, col::Adjustments);
        QCOMPARE(shown.data().toString(), QStringLiteral("+1"));

        // Lane 4 has one lap: a second -1 finds no lap to take away.
        typeKeys(*f.session, {'-', '4', 13});
        QCOMPARE(laneCount(*f.session, 4), QStringLiteral("0"));
        typeKeys(*f.session, {'-', '4', 13});
        QCOMPARE(laneCount(*f.session, 4), QStringLiteral("0"));
        QCOMPARE(engine.standings().text(rowOnLane(engine, 4), col::Adjustments),
                 std::string("-1"));
    }

    void cancellingAHeatAsksFirstAndRebuildsTheStandings() {
        LiveFixture f(4, 5);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->heatKey('S');
        f.cross(1, 1.0);
        f.cross(1, 7.0);
        f.session->heatKey('S');
        QCOMPARE(f.storedHeats(), 1);
        f.session->syncScreens();
        QPushButton* cancel = f.window->heatPanel()->button(4);
        QVERIFY(!cancel->isHidden());
        QVERIFY(cancel->isEnabled());

        f.asker.answers = {false};
        cancel->click();
        QCOMPARE(int(f.asker.asked.size()), 1);
        QCOMPARE(f.asker.asked[0].title, QStringLiteral("Anul·lar mànigues"));
        QCOMPARE(f.asker.asked[0].text, QStringLiteral("Segur que vols anul·lar la màniga n. 1?"));
        QVERIFY(!f.asker.asked[0].yesIsDefault);
        QCOMPARE(f.storedHeats(), 1);

        // The letter between parentheses on the button is its key.
        f.asker.answers = {true};
        f.session->heatKey('a');
        QCOMPARE(int(f.asker.asked.size()), 2);
        QCOMPARE(f.storedHeats(), 0);
        QCOMPARE(f.session->engine()->heatNumber(), 0);
        f.session->syncScreens();
        const auto* model = f.session->standingsWindow()->grid()->model();
        for (int r = 0; r < model->rowCount(); ++r) {
            QVERIFY(model->index(r, col::SeriesLaps).data().toString().trimmed().isEmpty());
        }
        QVERIFY(f.window->windowTitle().endsWith(QStringLiteral("<0>")) ||
                !f.window->windowTitle().contains(QStringLiteral("<1>")));
    }

    void shiftEscapeMovesToTheNextSeries() {
        LiveFixture f(4, 4, 2);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        QSignalSpy closed(f.session.get(), &HeatSession::programmeClosed);
        QTest::keyClick(f.session->lapByLapView(), Qt::Key_Escape, Qt::ShiftModifier);
        QCOMPARE(closed.count(), 1);
        QVERIFY(f.session->programmeOpen());
        QCOMPARE(f.session->engine()->programme().seriesNumber, 2);
        QCOMPARE(f.window->selectedSeries(ProgrammeType::Race), 1);
        QVERIFY(f.window->windowTitle().contains(QStringLiteral("(2 #2)")));

        // A Shift let go before the Esc does not count.
        QTest::keyPress(f.window->heatPanel(), Qt::Key_Shift);
        QTest::keyRelease(f.window->heatPanel(), Qt::Key_Shift);
        QTest::keyClick(f.window->heatPanel(), Qt::Key_Escape);
        QVERIFY(!f.session->programmeOpen());
        QVERIFY(!f.window->programmeOpen());
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        QCOMPARE(f.session->engine()->programme().seriesNumber, 2);

        // After the last series the programme just closes.
        f.session->heatKey(-1);
        f.session->heatKey(27);
        QVERIFY(!f.session->programmeOpen());
        QVERIFY(!f.window->programmeOpen());
    }

    void standingsDoubleClickOpensTheResultsBetweenHeats() {
        LiveFixture f(4, 4);
        f.start();
        int opened = 0;
        f.window->setCommand("MnuCls", 4, [&] { ++opened; });
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        StandingsWindow* standings = f.session->standingsWindow();
        standings->resize(900, 700);
        f.session->heatKey('S');
        f.session->syncScreens();
        emit standings->resultsRequested(); // a double click below the rows
        QCOMPARE(opened, 0);
        f.session->heatKey('S');
        f.session->syncScreens();
        QTest::mouseDClick(standings->grid()->viewport(), Qt::LeftButton, {},
                           QPoint(5, standings->grid()->viewport()->height() - 2));
        QCOMPARE(opened, 1);
    }

    // The panel keeps one width between heats and during a heat, so the windows beside it
    // stay put, and the pause label can be read on its colour.
    void heatPanelDuringAHeat() {
        LiveFixture f(4, 4);
        f.start();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        QCoreApplication::processEvents();
        const int betweenHeats = f.window->heatPanel()->width();
        f.session->heatKey('S');
        f.session->syncScreens();
        QCoreApplication::processEvents();
        QCOMPARE(f.window->heatPanel()->width(), betweenHeats);
        f.session->heatKey('P');
        f.session->syncScreens();
        QLabel* pause = f.window->heatPanel()->pauseLabel();
        QVERIFY(!pause->isHidden());
        QVERIFY(!pause->text().isEmpty());
        const QPalette pal = pause->palette();
        QVERIFY(pal.color(pause->foregroundRole()) != pal.color(pause->backgroundRole()));
        f.session->heatKey('P');
        f.session->heatKey('S');
    }

    // The counter started the heat: S while its cars still cross asks first, and a start
    // of the counter just after S is explained on the heat panel.
    void endingACountersHeatByKeyAsksAndItsNextStartIsExplained() {
        LiveFixture f(4, 4);
        f.start();
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->engine()->startHeat(f.clock.now()); // the counter's start signal
        f.cross(1, 3.0);
        f.cross(2, 2.0);
        f.session->heatKey('S');
        QCOMPARE(f.asker.asked.size(), std::size_t{1});
        QCOMPARE(f.asker.asked[0].title, QStringLiteral("Acabar la màniga"));
        QVERIFY(f.asker.asked[0].text.startsWith(QStringLiteral("Encara arriben passades")));
        QVERIFY(!f.asker.asked[0].yesIsDefault);
        QVERIFY(f.session->engine()->heatRunning()); // No: the heat goes on
        f.asker.answers = {true};
        f.session->heatKey('S');
        QVERIFY(!f.session->engine()->heatRunning());
        QCOMPARE(f.storedHeats(), 1);

        f.clock.advance(4.0);
        f.session->engine()->startHeat(f.clock.now());
        f.session->syncScreens();
        QLabel* notice = f.window->heatPanel()->notice();
        QVERIFY(!notice->isHidden());
        QVERIFY(
            notice->text().startsWith(QStringLiteral("Màniga 2: l'ha començada el comptador 4 s")));
        const QString folder = qEnvironmentVariable("CRONOVOLTA_SCREENSHOTS");
        if (!folder.isEmpty()) {
            QCoreApplication::processEvents();
            QVERIFY(
                f.window->grab().save(folder + QStringLiteral("/heat-panel-counter-start.png")));
        }
        f.clock.advance(20.0); // long after the last crossing: S ends it at once
        f.session->heatKey('S');
        QVERIFY(!f.session->engine()->heatRunning());
        QCOMPARE(f.asker.asked.size(), std::size_t{2});
        QVERIFY(f.session->closeProgramme());

        // The counter ends the heat while the question waits: the Yes then starts nothing.
        struct CounterEndsMeanwhile final : Asker {
            HeatSession* session = nullptr;
            double now = 0.0;
            bool yesNo(QWidget*, const QString&, const QString&, bool) override {
                session->engine()->armHeatEnd(now);
                session->engine()->finishHeat(now);
                return true;
            }
            bool okCancel(QWidget*, const QString&, const QString&) override { return true; }
            void message(QWidget*, const QString&, const QString&) override {}
        } meanwhile;
        f.session = std::make_unique<HeatSession>(*f.window, f.ui, meanwhile);
        f.session->setClock([&f] { return f.clock.now(); });
        meanwhile.session = f.session.get();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->engine()->startHeat(f.clock.now());
        f.cross(1, 1.0);
        meanwhile.now = f.clock.now();
        f.session->heatKey('S');
        QVERIFY(!f.session->engine()->heatRunning());
        QCOMPARE(f.storedHeats(), 3);
    }

    void closingTheWindowWaitsForTheRunningHeat() {
        LiveFixture f(4, 4);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->heatKey('S');
        QVERIFY(!f.window->close());
        QVERIFY(f.session->engine()->heatRunning());
        // The organiser is told why the window stays open.
        QCOMPARE(f.asker.asked.size(), std::size_t{1});
        QCOMPARE(f.asker.asked.back().kind, QStringLiteral("message"));
        QVERIFY(f.asker.asked.back().text.contains(QStringLiteral("màniga en marxa")));
        f.session->heatKey('S');
        QVERIFY(f.window->close());
        QVERIFY(!f.session->programmeOpen());
    }

    // A heat that cannot be stored is said in the window's
    // language, the system's reason and the name of the kept laps included.
    void aHeatThatCannotBeStoredIsToldInTheWindowsLanguage() {
        LiveFixture f(4, 4);
        fs::create_directories(f.eventDir() / "CRS001.VAV");
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->heatKey('S');
        f.cross(1, 0.5);
        f.cross(1, 6.5);
        f.session->heatKey('S');
        QTRY_VERIFY(f.asker.asked.size() >= 2);
        QString all;
        for (const auto& asked : f.asker.asked) {
            all += asked.text + QLatin1Char('\n');
        }
        QVERIFY2(all.contains(QStringLiteral("No s'ha pogut gravar l'arxiu")), qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("és una carpeta")), qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("Les voltes de la màniga 1 no s'han pogut gravar")),
                 qPrintable(all));
        QVERIFY2(all.contains(QStringLiteral("VLTAVLT.CRS001.M001.")), qPrintable(all));
        QVERIFY2(!all.contains(QStringLiteral("cannot")) &&
                     !all.contains(QStringLiteral("kept in")),
                 qPrintable(all));
        QCOMPARE(f.storedHeats(), 0);
    }

    void resumedHeatKeepsEveryCrossing() {
        LiveFixture f(4, 5);
        f.start();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->heatKey('S');
        for (int lane = 1; lane <= 4; ++lane) {
            f.cross(lane, 0.4);
        }
        f.cross(2, 6.1);
        // The program stops without closing anything.
        f.session.reset();
        f.window.reset();
        QVERIFY(fs::exists(f.dir.path() / "ZTR4.TMP"));

        f.ui.app.abnormalEnd = true;
        f.start();
        f.asker.answers = {true};
        QVERIFY(f.window->offerResume());
        QVERIFY(!f.ui.app.abnormalEnd);
        QVERIFY(f.session->programmeOpen());
        QVERIFY(f.session->engine()->heatRunning());
        QVERIFY(f.session->link()->isOpen(1));
        QCOMPARE(laneCount(*f.session, 2), QStringLiteral("2"));
        QCOMPARE(f.session->lapByLapView()->laps(2)->rowText(1), QStringLiteral("+1"));

        f.cross(2, 6.3);
        f.session->heatKey('S');
        const auto stored = test::crossingsOfHeat(f.lapFile(), 1);
        QCOMPARE(stored.size(), std::size_t(6));
        QCOMPARE(stored.back().lane, std::int16_t(2));
        QCOMPARE(stored.back().laps, std::int16_t(3));
    }

    void recordedHeatReplaysIntoAnotherFolder() {
        std::vector<CaptureEvent> events;
        std::vector<LapRecord> recorded;
        {
            LiveFixture f(4, 4);
            f.start();
            const fs::path capture = f.dir.path() / "heat.cap";
            f.session->setCaptureFile(capture);
            QVERIFY(f.session->openProgramme(ProgrammeType::Race));
            f.session->heatKey('S');
            for (int lap = 0; lap < 4; ++lap) {
                for (int lane = 1; lane <= 4; ++lane) {
                    f.cross(lane, 1.0 + 0.2 * lane);
                }
            }
            f.clock.advance(2.0);
            f.session->heatKey('S');
            recorded = test::crossingsOfHeat(f.lapFile(), 1);
            auto text = readFileBytes(capture);
            QVERIFY(text.has_value());
            CaptureContents contents = parseCapture(*text);
            QVERIFY(contents.problems.empty());
            events = contents.events;
        }
        QCOMPARE(recorded.size(), std::size_t(16));
        QCOMPARE(int(events.size()), 18); // two heat keys and sixteen manual crossings

        LiveFixture g(4, 4);
        g.start(ProgrammeType::Race, false);
        QElapsedTimer elapsed;
        elapsed.start();
        constexpr double kSpeed = 40.0;
        g.session->setClock([&] { return 50000.0 + elapsed.elapsed() / 1000.0 * kSpeed; });
        g.session->setReplay(events, kSpeed);
        QSignalSpy heats(g.session.get(), &HeatSession::heatFinished);
        QVERIFY(g.session->openProgramme(ProgrammeType::Race));
        QVERIFY(!g.session->link()->isOpen(1)); // the capture stands in for the counter
        QTRY_COMPARE_WITH_TIMEOUT(heats.count(), 1, 20000);
        const auto replayed = test::crossingsOfHeat(g.lapFile(), 1);
        QCOMPARE(replayed.size(), recorded.size());
        for (std::size_t i = 0; i < replayed.size(); ++i) {
            QCOMPARE(replayed[i].lane, recorded[i].lane);
            QCOMPARE(replayed[i].laps, recorded[i].laps);
        }
    }

    void raceOfThreeHeatsFromTheSimulatedCounter() {
        LiveFixture f(4, 5);
        SimulatorOptions options;
        options.model = CounterModel::DS300;
        options.lanes = 4;
        options.cars = 4;
        options.lapTime = 4.0;
        options.spread = 0.3;
        options.heats = 3;
        options.heatLength = 24.0;
        options.pauseLength = 0.0;
        options.heatGap = 12.0;
        options.seed = 7;
        constexpr double kSpeed = 6.0;
        SimulatedCounter counter(options);
        counter.setSpeed(kSpeed);
        QVERIFY(counter.start().has_value());

        f.start(ProgrammeType::Race, false);
        QElapsedTimer elapsed;
        elapsed.start();
        f.session->setClock([&] { return 36000.0 + elapsed.elapsed() / 1000.0 * kSpeed; });
        f.session->setPortOverride(1, counter.devicePath());
        QSignalSpy heats(f.session.get(), &HeatSession::heatFinished);
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        QTRY_COMPARE_WITH_TIMEOUT(heats.count(), 3, 60000);

        QCOMPARE(f.storedHeats(), 3);
        const auto records = f.lapFile();
        for (int heat = 1; heat <= 3; ++heat) {
            std::size_t sent = 0;
            for (const SimulatedCrossing& c : counter.play().crossings) {
                sent += c.heat == heat ? 1 : 0;
            }
            QVERIFY(sent > 10);
            QCOMPARE(test::crossingsOfHeat(records, heat).size(), sent);
        }
        // Three heats of five participants on four lanes: participant 3 drove all three.
        f.session->syncScreens();
        const HeatEngine& engine = *f.session->engine();
        const int row = engine.standings().findParticipant(3);
        QCOMPARE(engine.standings().text(row, col::Heats), std::string("3"));
        QVERIFY(engine.standings().value(row, col::SeriesLaps) > 10);
        QVERIFY(f.session->screenSyncs() > 10);
    }
};

QTEST_MAIN(HeatSessionTest)
#include "heat_session_test.moc"
