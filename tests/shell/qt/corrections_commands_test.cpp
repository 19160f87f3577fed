#include "corrections/qt/corrections_window.h"
#include "corrections/qt/penalties_window.h"
#include "heat/qt/heat_panel.h"
#include "heat/series_files.h"
#include "live_fixture.h"
#include "output/qt/lap_listing_window.h"
#include "shell/qt/corrections_commands.h"
#include "storage/heat_result_record.h"
#include "storage/penalty_record.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>

using namespace cronovolta;
using cronovolta::test::LiveFixture;

namespace {

// The main window and its heat session with the correction screens connected; the event's
// track keeps comes with three decimals.
void start(LiveFixture& f, int lapFractionPolicy = 0) {
    TrackConfig track = *loadTrackConfig(f.eventDir() / "PISTA.CFG");
    track.largestPartial = 1000;
    deriveTrackConfig(track);
    saveTrackConfig(f.eventDir() / "PISTA.CFG", track);
    f.ui.app.programConfig.lapFractionPolicy = static_cast<std::int16_t>(lapFractionPolicy);
    f.start();
    connectCorrectionScreens(*f.window, *f.session);
}

// One heat: lane 1 counts four laps, the other lanes three.
void runHeat(LiveFixture& f) {
    f.session->heatKey('S');
    for (int lane = 1; lane <= 4; ++lane) {
        f.cross(lane, 0.5);
    }
    for (int lap = 0; lap < 2; ++lap) {
        f.cross(1, 6.0);
        for (int lane = 2; lane <= 4; ++lane) {
            f.cross(lane, 0.4);
        }
    }
    f.cross(1, 6.0);
    f.session->heatKey('S');
    f.session->syncScreens();
}

HeatResultRecord storedOnLane(LiveFixture& f, int heat, int lane) {
    auto file = readHeatResultFile(f.eventDir() / "CRS001.DAD");
    const auto block = resultBlock(file->records, heat);
    for (const auto& r : block.value_or(std::vector<HeatResultRecord>{})) {
        if (r.lane == lane) {
            return r;
        }
    }
    return {};
}

void type(QLineEdit* field, const QString& text) {
    field->setText(text);
    emit field->editingFinished();
}

bool askedNotAvailable(const LiveFixture& f) {
    for (const auto& q : f.asker.asked) {
        if (q.text.contains(QStringLiteral("encara no"))) {
            return true;
        }
    }
    return false;
}

} // namespace

class CorrectionScreens : public QObject {
    Q_OBJECT

private slots:
    void correctingFromTheHeatPanelRebuildsTheStandings() {
        LiveFixture f(4, 5);
        start(f);
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        runHeat(f);
        bool seen = false;
        test::whenModal([&](QDialog* d) {
            auto* screen = qobject_cast<CorrectionsWindow*>(d);
            QVERIFY(screen != nullptr);
            seen = true;
            QCOMPARE(screen->windowTitle(), QStringLiteral("Correcció de mànigues"));
            QCOMPARE(screen->heatSelector()->currentText(), QStringLiteral("1"));
            QCOMPARE(screen->lapsField(1)->text(), QStringLiteral("4"));
            type(screen->lapsField(1), QStringLiteral("9"));
            type(screen->secondField(1), QStringLiteral("5,5"));
            QCOMPARE(screen->secondField(1)->text(), QStringLiteral("5.5000"));
            test::clickButton(screen, QStringLiteral("Sortir_1"));
        });
        f.session->heatKey('c');
        QVERIFY(seen);
        QCOMPARE(storedOnLane(f, 1, 1).heatLaps, 9.0f);
        QCOMPARE(storedOnLane(f, 1, 1).fastestLap, 5.5f);
        const auto& grid = f.session->engine()->standings();
        const int row = grid.findLane(1);
        QCOMPARE(grid.text(row, col::SeriesLaps), std::string("9"));
        QCOMPARE(grid.text(row, col::Fastest), std::string("5.5000"));
        QCOMPARE(grid.text(row, col::Rank), std::string("1"));
        QVERIFY(!askedNotAvailable(f));
    }

    void lapFractionsAreAskedAfterTheHeatsTheSettingsSay() {
        // One pass of five participants on four lanes: heat 4 asks the last lane only,
        // heat 5 every lane.
        LiveFixture f(4, 5);
        start(f, 1);
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        int opened = 0;
        for (int heat = 1; heat <= 3; ++heat) {
            runHeat(f);
        }
        test::whenModal([&](QDialog* d) {
            auto* screen = qobject_cast<CorrectionsWindow*>(d);
            QVERIFY(screen != nullptr);
            ++opened;
            QCOMPARE(screen->model().mode(), CorrectionMode::LapFraction);
            for (int k = 1; k <= 3; ++k) {
                QVERIFY(!screen->secondField(k)->isEnabled());
            }
            QVERIFY(screen->secondField(4)->isEnabled());
            QVERIFY(screen->lapsField(4)->isReadOnly());
            type(screen->secondField(4), QStringLiteral("350"));
            test::clickButton(screen, QStringLiteral("Sortir_1"));
        });
        runHeat(f);
        QTRY_COMPARE(opened, 1);
        QCOMPARE(storedOnLane(f, 4, 4).heatLaps, 3.35f);
        QVERIFY(!f.session->engine()->lapFractionMode());

        test::whenModal([&](QDialog* d) {
            auto* screen = qobject_cast<CorrectionsWindow*>(d);
            QVERIFY(screen != nullptr);
            ++opened;
            QVERIFY(screen->secondField(1)->isEnabled());
            screen->reject();
        });
        runHeat(f);
        QTRY_COMPARE(opened, 2);
        // The button and its key open the comes by hand.
        test::whenModal([&](QDialog* d) {
            ++opened;
            d->reject();
        });
        f.session->heatKey(',');
        QCOMPARE(opened, 3);
        QVERIFY(!askedNotAvailable(f));
    }

    void aListedLapBecomesTheFastestLap() {
        LiveFixture f(4, 5);
        start(f);
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        runHeat(f);
        bool seen = false;
        test::whenModal([&](QDialog* d) {
            auto* screen = qobject_cast<LapListingWindow*>(d);
            QVERIFY(screen != nullptr);
            seen = true;
            QVERIFY(screen->windowTitle().startsWith(QStringLiteral("Llistat de voltes - ")));
            QVERIFY(!screen->selector(LapListing::SeriesSelector)->isEnabled());
            QCOMPARE(screen->counter(1)->text(), QStringLiteral("13"));
            // Lane 2's second lap, slower than its third.
            screen->chooseSort(2);
            const QAbstractItemModel* grid = screen->grid()->model();
            auto text = [grid](int r, int c) { return grid->index(r, c).data().toString(); };
            int row = -1;
            for (int r = 0; r < grid->rowCount(); ++r) {
                if (text(r, lapcol::Lane) == QStringLiteral("2") &&
                    text(r, lapcol::Lap) == QStringLiteral("2")) {
                    row = r;
                }
            }
            QVERIFY(row >= 0);
            f.asker.answers = {true};
            screen->assignFastest(row);
            const auto& q = f.asker.asked.back();
            QCOMPARE(q.title, QStringLiteral("Corregir volta ràpida"));
            QCOMPARE(q.text, QStringLiteral("Vols assignar 7.4000 com a volta ràpida de Pilot 3 "
                                            "per la pista 2?"));
            screen->reject();
        });
        f.session->heatKey('l');
        QVERIFY(seen);
        const auto& grid = f.session->engine()->standings();
        QCOMPARE(grid.text(grid.findLane(2), col::Fastest), std::string("7.4000"));
        QVERIFY(!askedNotAvailable(f));
    }

    void penaltiesAndSeriesListingsOpenFromTheMainWindow() {
        LiveFixture f(4, 5);
        start(f);
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        runHeat(f);
        QVERIFY(f.session->closeProgramme());
        f.window->selectSeries(ProgrammeType::Race, 0);
        bool seen = false;
        test::whenModal([&](QDialog* d) {
            auto* screen = qobject_cast<PenaltiesWindow*>(d);
            QVERIFY(screen != nullptr);
            seen = true;
            QCOMPARE(screen->windowTitle(), QStringLiteral("Penalizacions - Gran Premi (Cursa 1)"));
            screen->participantList()->setCurrentRow(1);
            type(screen->valueField(), QStringLiteral("-2"));
            QCOMPARE(screen->valueField()->text(), QStringLiteral("2"));
            screen->reasonsField()->setText(QStringLiteral("  sortida avançada "));
            test::clickButton(screen, QStringLiteral("Sortir_1"));
            QVERIFY(screen->isVisible());
            QCOMPARE(screen->table()->item(1, 1)->text(), QStringLiteral(" 2"));
            screen->reject();
        });
        f.window->runCommand("MnuPen", 4);
        QVERIFY(seen);
        auto pens = readPenalties(f.eventDir() / "CRS001.PEN");
        QCOMPARE(pens->records.size(), std::size_t{1});
        QCOMPARE(pens->records[0].participant, std::int16_t{2});
        QCOMPARE(pens->records[0].laps, 2.0f);
        QCOMPARE(pens->records[0].reasons, std::string("sortida avançada"));

        seen = false;
        test::whenModal([&](QDialog* d) {
            auto* screen = qobject_cast<LapListingWindow*>(d);
            QVERIFY(screen != nullptr);
            seen = true;
            QVERIFY(screen->selector(LapListing::SeriesSelector)->isEnabled());
            QCOMPARE(screen->grid()->model()->rowCount(), 13);
            screen->reject();
        });
        f.window->runCommand("MnuVaV", 4);
        QVERIFY(seen);
        QVERIFY(!askedNotAvailable(f));

        // A lap file ending inside a record: the laps before it are listed, the rest is told.
        const fs::path laps = f.eventDir() / "CRS001.VAV";
        test::writeBytes(laps, test::readBytes(laps) + std::string(10, '\x7f'));
        f.asker.asked.clear();
        test::whenModal([&](QDialog* d) {
            QCOMPARE(qobject_cast<LapListingWindow*>(d)->grid()->model()->rowCount(), 13);
            d->reject();
        });
        f.window->runCommand("MnuVaV", 4);
        QCOMPARE(f.asker.asked.size(), std::size_t{1});
        QVERIFY(f.asker.asked[0].text.contains(QStringLiteral("CRS001.VAV")));
    }
    // What is typed for a participant survives clicking another one; closing asks to save it.
    void typedPenaltiesWaitForSavingOrTheCloseQuestion() {
        LiveFixture f(4, 5);
        start(f);
        for (bool answer : {false, true}) {
            auto model = PenaltiesModel::open(f.eventDir(), 1);
            QVERIFY(model);
            PenaltiesWindow screen(std::move(*model), QStringLiteral(" - Gran Premi"), f.ui,
                                   f.asker, f.window.get());
            screen.show();
            QVERIFY(QTest::qWaitForWindowActive(&screen));
            QListWidget* list = screen.participantList();
            list->setCurrentRow(0);
            screen.valueField()->setFocus();
            QTest::keyClicks(screen.valueField(), QStringLiteral("-2"));
            QTest::keyClick(screen.valueField(), Qt::Key_Return);
            QCOMPARE(screen.valueField()->text(), QStringLiteral("2"));
            QTRY_VERIFY(screen.reasonsField()->hasFocus()); // Enter moves on
            QTest::keyClicks(screen.reasonsField(), QStringLiteral("salt"));
            list->setCurrentRow(2);
            QCOMPARE(screen.valueField()->text(), QString());
            type(screen.valueField(), QStringLiteral("1"));
            list->setCurrentRow(1);
            QCOMPARE(screen.table()->item(0, 1)->text(), QStringLiteral("2"));
            QVERIFY(screen.table()->item(0, 1)->font().italic()); // typed, not saved
            QVERIFY(screen.table()->item(2, 1)->font().italic());
            QVERIFY(!screen.table()->item(1, 1)->font().italic());
            if (const QString folder = qEnvironmentVariable("CRONOVOLTA_SCREENSHOTS");
                !folder.isEmpty() && answer) {
                QVERIFY(screen.grab().save(folder + QStringLiteral("/penalties-typed.png")));
            }
            list->setCurrentRow(0);
            QCOMPARE(screen.valueField()->text(), QStringLiteral("2"));
            QCOMPARE(screen.reasonsField()->text(), QStringLiteral("salt"));
            QVERIFY(!fs::exists(f.eventDir() / "CRS001.PEN"));

            f.asker.asked.clear();
            f.asker.answers = {answer};
            screen.reject();
            QCOMPARE(f.asker.asked.size(), std::size_t{1});
            const auto& question = f.asker.asked.front();
            QVERIFY(question.yesIsDefault); // Enter keeps what was typed
            QVERIFY(question.text.startsWith(
                QStringLiteral("Hi ha penalitzacions escrites i no gravades (Pilot 1, Pilot 3)")));
            QVERIFY(!screen.isVisible());
        }
        auto pens = readPenalties(f.eventDir() / "CRS001.PEN");
        QVERIFY(pens);
        QCOMPARE(pens->records.size(), std::size_t{2});
        QCOMPARE(pens->records[0].laps, 2.0f);
        QCOMPARE(pens->records[0].reasons, std::string("salt"));
        QCOMPARE(pens->records[1].participant, std::int16_t{3});

        // Nothing typed: closing asks nothing.
        auto model = PenaltiesModel::open(f.eventDir(), 1);
        PenaltiesWindow again(std::move(*model), QString(), f.ui, f.asker, f.window.get());
        again.participantList()->setCurrentRow(2);
        f.asker.asked.clear();
        again.reject();
        QVERIFY(f.asker.asked.empty());
    }

    void screensSpeakTheLanguageOfTheSettings() {
        LiveFixture f(4, 5);
        f.ui.app.programConfig.language = kLanguageCastilian;
        start(f);
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        runHeat(f);
        QStringList seen;
        auto note = [&](QDialog* d) {
            seen << d->windowTitle();
            if (auto* listing = qobject_cast<LapListingWindow*>(d)) {
                seen << listing->selector(LapListing::ParticipantSelector)->itemText(0)
                     << listing->selector(LapListing::LaneSelector)->itemText(0);
            }
            d->reject();
        };
        test::whenModal(note);
        f.session->heatKey('c');
        test::whenModal(note);
        f.session->heatKey('l');
        QCOMPARE(seen, (QStringList{QStringLiteral("Corrección de mangas"),
                                    QStringLiteral("Listado de vueltas - Gran Premi - Carrera"),
                                    QStringLiteral("Todos"), QStringLiteral("Todas")}));
    }
};

QTEST_MAIN(CorrectionScreens)
#include "corrections_commands_test.moc"
