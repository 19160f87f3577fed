#include "results/qt/standings_window.h"

#include "support/temp_dir.h"

#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <random>

using namespace cronovolta;

namespace {

const std::vector<std::string> kHeadings = {
    "",        "Dorsal", "Participant", "Voltes",   "HoraPas", "VRàpida",
    "HoraPas", "Pst.",   "Dif.Prm.",    "Dif.Ant.", "nm",      "Pst.",
    "Voltes",  "+/-",    "Última",      "Millor",   "",        "",
    ""};

StandingsGrid raceGrid(int rows) {
    StandingsGrid grid;
    grid.reset(rows);
    for (int r = 1; r <= rows; ++r) {
        grid.setText(r, col::RaceNumber, std::to_string(r));
        grid.setText(r, col::Name, "Pilot " + std::to_string(r));
        grid.setText(r, col::OrderTime, std::to_string(-r));
    }
    return grid;
}

StandingsSetup setupFor(ProgrammeType programmeType, int participants) {
    StandingsSetup setup;
    setup.programmeType = programmeType;
    setup.participants = participants;
    setup.title = "Classificació Cursa";
    return setup;
}

StandingsFrame frameOf(const StandingsGrid& grid, const AbsoluteFastestLap& absolute,
                       const SuperPoleModel& superPole, bool running = false) {
    StandingsFrame frame;
    frame.grid = &grid;
    frame.headings = &kHeadings;
    frame.absolute = &absolute;
    frame.superPole = &superPole;
    frame.heat = 3;
    frame.clock = "0:02:15";
    frame.heatRunning = running;
    return frame;
}

bool shown(const StandingsWindow& w, int column) {
    return !w.grid()->isColumnHidden(column);
}

} // namespace

class StandingsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void rowsAreLowerForManyParticipants() {
        StandingsWindow few;
        few.resize(1200, 900);
        few.open(setupFor(ProgrammeType::Race, 8));
        StandingsWindow many;
        many.resize(1200, 900);
        many.open(setupFor(ProgrammeType::Race, 30));
        const double ratio = double(many.rowHeight()) / few.rowHeight();
        QVERIFY2(std::abs(ratio - 310.0 / 600.0) < 0.03, qPrintable(QString::number(ratio)));
    }

    void columnsByProgramme() {
        StandingsWindow practice;
        practice.open(setupFor(ProgrammeType::OfficialPractice, 10));
        QVERIFY(shown(practice, col::Fastest));
        QVERIFY(shown(practice, col::FastestLane));
        QVERIFY(!shown(practice, col::Adjustments));
        QVERIFY(!shown(practice, col::SeriesLaps));
        QVERIFY(!shown(practice, col::RaceNumber));
        QVERIFY(!shown(practice, col::HeatKey1));
        QVERIFY(practice.superPolePanel()->isHidden());

        StandingsWindow race;
        race.open(setupFor(ProgrammeType::Race, 10));
        QVERIFY(shown(race, col::SeriesLaps));
        QVERIFY(shown(race, col::Adjustments));
        QVERIFY(!shown(race, col::Fastest));
        QVERIFY(shown(race, col::LastLap));
        // The name takes the widest column after the series laps' relative share.
        QVERIFY(race.grid()->columnWidth(col::Name) > race.grid()->columnWidth(col::SeriesLaps));

        StandingsWindow superPole;
        superPole.open(setupFor(ProgrammeType::SuperPole, 10));
        QVERIFY(shown(superPole, col::Fastest));
        QVERIFY(!shown(superPole, col::HeatLaps));
        QVERIFY(!superPole.superPolePanel()->isHidden());
    }

    void legendAndHeadingsAreLocalised() {
        StandingsWindow w;
        w.open(setupFor(ProgrammeType::Race, 4));
        QCOMPARE(w.legend(0)->text(), QStringLiteral("VR absoluta"));
        QCOMPARE(w.legend(1)->text(), QStringLiteral("VR participant"));
        QCOMPARE(w.legend(2)->text(), QStringLiteral("VR partic./màniga"));
        StandingsGrid grid = raceGrid(4);
        AbsoluteFastestLap absolute;
        SuperPoleModel sp;
        w.sync(frameOf(grid, absolute, sp));
        QCOMPARE(w.grid()->model()->headerData(col::LastLap, Qt::Horizontal).toString(),
                 QStringLiteral("Última"));
        QCOMPARE(w.absoluteFastest()->horizontalHeaderItem(4)->text(), QStringLiteral("Sèr."));

        // Every heading is read whole, also in a window as narrow as beside the lap view.
        w.resize(600, 600);
        QCoreApplication::processEvents();
        QHeaderView* header = w.grid()->horizontalHeader();
        const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin);
        for (int c = 0; c < col::Count; ++c) {
            const QAbstractItemModel* model = w.grid()->model();
            const QString text = model->headerData(c, Qt::Horizontal).toString();
            const QVariant font = model->headerData(c, Qt::Horizontal, Qt::FontRole);
            const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : header->font());
            if (!w.grid()->isColumnHidden(c)) {
                QVERIFY2(metrics.horizontalAdvance(text) + margins <= w.grid()->columnWidth(c),
                         qPrintable(text));
            }
        }

        StandingsWindow castilian;
        StandingsSetup setup = setupFor(ProgrammeType::Race, 4);
        setup.language = 1;
        castilian.open(setup);
        QCOMPARE(castilian.legend(2)->text(), QStringLiteral("VR partic./manga"));
    }

    // The grid draws each look of a cell once and copies it afterwards: what it shows must
    // be what the style draws, also after rows moved, and recoloured or marked cells.
    void cellsLookAsTheStyleDrawsThemWhileRowsMove() {
        StandingsWindow w;
        w.resize(1100, 700);
        w.open(setupFor(ProgrammeType::Race, 12));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        StandingsGrid grid = raceGrid(12);
        AbsoluteFastestLap absolute;
        SuperPoleModel sp;
        QAbstractItemDelegate* pictures = w.grid()->itemDelegate();
        QStyledItemDelegate style;
        auto drawnBy = [&](QAbstractItemDelegate* delegate) {
            w.grid()->setItemDelegate(delegate);
            return w.grid()->viewport()->grab().toImage();
        };
        std::mt19937 random(7);
        ColourSlots colourSlots;
        for (int round = 0; round < 6; ++round) {
            for (int swap = 0; swap < 4; ++swap) {
                const int a = 1 + static_cast<int>(random() % 12);
                const int b = 1 + static_cast<int>(random() % 12);
                for (int c = col::RaceNumber; c < col::Count; ++c) {
                    const std::string t = grid.text(a, c);
                    grid.setText(a, c, grid.text(b, c));
                    grid.setText(b, c, t);
                }
            }
            const int r = 1 + static_cast<int>(random() % 12);
            grid.setText(r, col::HeatLaps, std::to_string(round + 1));
            grid.setText(r, col::LastLap, round % 2 ? "7.2000" : "10.0450");
            grid.setText(r, col::HeatFastest, "7.2000");
            grid.clearMarkers();
            grid.setMarker(r, true);
            absolute.time = round % 3 ? "7.2000" : "";
            grid.colour(colourSlots, absolute.time);
            if (round == 3) {
                w.resize(900, 640); // other fonts and cell sizes
            }
            w.sync(frameOf(grid, absolute, sp));
            const QImage first = drawnBy(pictures);
            const QImage copied = drawnBy(pictures);
            const QImage reference = drawnBy(&style);
            w.grid()->setItemDelegate(pictures);
            QVERIFY2(first == reference, qPrintable(QStringLiteral("round %1").arg(round)));
            QVERIFY2(copied == reference, qPrintable(QStringLiteral("round %1").arg(round)));
        }
    }

    void syncRepaintsOnlyRowsThatChanged() {
        StandingsWindow w;
        w.open(setupFor(ProgrammeType::Race, 6));
        StandingsGrid grid = raceGrid(6);
        AbsoluteFastestLap absolute;
        SuperPoleModel sp;
        w.sync(frameOf(grid, absolute, sp));
        QCOMPARE(w.lastSyncRows(), 6);
        const QAbstractItemModel* model = w.grid()->model();
        QCOMPARE(model->rowCount(), 6);
        QCOMPARE(model->index(2, col::Name).data().toString(), QStringLiteral("Pilot 3"));

        w.sync(frameOf(grid, absolute, sp));
        QCOMPARE(w.lastSyncRows(), 0);

        QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
        grid.setText(5, col::SeriesLaps, "12");
        grid.setText(5, col::LastLap, "7.2000");
        grid.setMarker(5, true);
        w.sync(frameOf(grid, absolute, sp));
        QCOMPARE(w.lastSyncRows(), 1);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toModelIndex().row(), 4);
        QCOMPARE(changes.at(0).at(1).toModelIndex().row(), 4);
        QCOMPARE(model->index(4, col::SeriesLaps).data().toString(), QStringLiteral("12"));
        QVERIFY(!model->index(4, col::Heats).data(Qt::DecorationRole).isNull());
        QVERIFY(model->index(3, col::Heats).data(Qt::DecorationRole).isNull());

        // Cell colours follow the grid's colouring with the settings' slots.
        ColourSlots colourSlots;
        absolute.time = "7.2000";
        grid.colour(colourSlots, absolute.time);
        w.sync(frameOf(grid, absolute, sp));
        QCOMPARE(model->index(4, col::LastLap).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(255, 0, 0)); // slot 1, bright red
        QCOMPARE(model->index(0, col::Name).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(255, 255, 0)); // odd rows, slot 4 yellow
        QCOMPARE(model->index(1, col::Name).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(255, 255, 255));
        QCOMPARE(w.absoluteFastest()->item(0, 0)->text(), QStringLiteral("7.2000"));
    }

    void informationPanelShowsTheWholeFastestLap() {
        for (int width : {800, 1200}) {
            StandingsWindow w;
            StandingsSetup setup = setupFor(ProgrammeType::Race, 24);
            setup.infoShown = true;
            w.open(setup);
            w.resize(width, 600);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            const StandingsGrid grid = raceGrid(24);
            const AbsoluteFastestLap absolute{"12.3456", "17",
                                              "Maria Dolors Castellví Puigdomènech", "12", "3"};
            const SuperPoleModel superPole;
            w.sync(frameOf(grid, absolute, superPole));
            const QTableWidget* table = w.absoluteFastest();
            // Laid out once the window has handled the new width.
            QTRY_VERIFY(table->viewport()->rect().contains(
                table->visualRect(table->model()->index(0, table->columnCount() - 1))));
            const QRect view = table->viewport()->rect();
            for (int c = 0; c < table->columnCount(); ++c) {
                const QRect cell = table->visualRect(table->model()->index(0, c));
                const QString text = table->item(0, c)->text();
                QVERIFY2(view.contains(cell), qPrintable(text));
                QVERIFY2(QFontMetrics(table->font()).horizontalAdvance(text) < cell.width(),
                         qPrintable(text));
                const QString heading = table->horizontalHeaderItem(c)->text();
                QVERIFY2(
                    QFontMetrics(table->horizontalHeader()->font()).horizontalAdvance(heading) <
                        table->columnWidth(c),
                    qPrintable(heading));
            }
        }
    }

    void spaceTogglesTheInformationPanelAndEveryKeyGoesToTheHeat() {
        StandingsWindow w;
        StandingsSetup setup = setupFor(ProgrammeType::Race, 4);
        setup.infoShown = true;
        w.open(setup);
        w.show();
        QVERIFY(w.infoShown());
        QSignalSpy toggled(&w, &StandingsWindow::infoShownChanged);
        QSignalSpy keys(&w, &StandingsWindow::heatKey);
        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(!w.infoShown());
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(toggled.at(0).at(0).toBool(), false);
        QTest::keyClick(&w, Qt::Key_P);
        QTest::keyClick(&w, Qt::Key_Escape, Qt::ShiftModifier);
        QCOMPARE(keys.count(), 4);
        QCOMPARE(keys.at(0).at(0).toInt(), int(' '));
        QCOMPARE(keys.at(1).at(0).toInt(), int('p'));
        QCOMPARE(keys.at(2).at(0).toInt(), -1);
        QCOMPARE(keys.at(3).at(0).toInt(), 27);
    }

    void doubleClickSwitchesTheLapColumns() {
        StandingsWindow w;
        w.resize(1000, 700);
        w.open(setupFor(ProgrammeType::Race, 4));
        w.show();
        StandingsGrid grid = raceGrid(4);
        AbsoluteFastestLap absolute;
        SuperPoleModel sp;
        w.sync(frameOf(grid, absolute, sp));
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QSignalSpy results(&w, &StandingsWindow::resultsRequested);

        const QRect cell = w.grid()->visualRect(w.grid()->model()->index(0, col::Name));
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(w.showingFastest());
        // In a race the series' fastest lap takes the place of the heat's.
        QVERIFY(shown(w, col::Fastest));
        QVERIFY(!shown(w, col::HeatFastest));
        QVERIFY(!shown(w, col::LastLap));
        QCOMPARE(results.count(), 0);
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(!w.showingFastest());
        QVERIFY(shown(w, col::LastLap));

        // Below the rows: the results screen, only while no heat runs.
        const QPoint below(10, w.grid()->viewport()->height() - 3);
        QVERIFY(!w.grid()->indexAt(below).isValid());
        w.sync(frameOf(grid, absolute, sp, true));
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(results.count(), 0);
        w.sync(frameOf(grid, absolute, sp, false));
        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(results.count(), 1);
    }

    void superPoleShowsSplitsReferenceAndTrackPictures() {
        test::TempDir dir;
        StandingsWindow w;
        w.open(setupFor(ProgrammeType::SuperPole, 5));
        StandingsGrid grid = raceGrid(5);
        AbsoluteFastestLap absolute;
        SuperPoleModel sp;
        sp.shown = true;
        sp.splitDisplay = true;
        sp.onTrack = "Anna Soler";
        sp.nextDriver = "E - Pere Roca";
        sp.timing.push_back({"n.", "Participant", "Pst.", "Volta", "Parc.", "Parc.", "km/h"});
        sp.timing.push_back({"1", "Anna Soler", "2", "7.8123", "2.51", "5.02", "31.20"});
        sp.splits.push_back({SplitCell{"Parc."}, SplitCell{"Parc."}, SplitCell{"km/h"}});
        sp.splits.push_back({SplitCell{"2.51", 12}, SplitCell{"5.02", 11}, SplitCell{"31.20", 15}});
        sp.reference[1] = {"2.51", "5.00", "31.20"};
        w.sync(frameOf(grid, absolute, sp));

        QCOMPARE(w.onTrack()->text(), QStringLiteral("Anna Soler"));
        QCOMPARE(w.nextDriver()->text(), QStringLiteral("E - Pere Roca"));
        QCOMPARE(w.runs()->rowCount(), 1);
        QCOMPARE(w.runs()->item(0, spcol::Lap)->text(), QStringLiteral("7.8123"));
        QVERIFY(!w.splits()->isHidden());
        QCOMPARE(w.splits()->rowCount(), 1);
        QCOMPARE(w.splits()->item(0, 0)->background().color(), QColor(255, 0, 0));
        QCOMPARE(w.bestSectors()->item(0, 1)->text(), QStringLiteral("5.00"));
        QCOMPARE(w.splits()->horizontalHeaderItem(2)->text(), QStringLiteral("km/h"));
        QVERIFY(w.trackPicture()->isHidden());

        // The running time of the driver changes only its own cell.
        sp.timing[1][spcol::Lap] = "3.4";
        w.sync(frameOf(grid, absolute, sp));
        QCOMPARE(w.runs()->item(0, spcol::Lap)->text(), QStringLiteral("3.4"));

        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        const fs::path track = dir.path() / "INFOGRAF" / "0000.GIF";
        fs::create_directories(track.parent_path());
        QVERIFY(picture.save(QString::fromStdString(track.string()), "PNG"));
        sp.images[0] = track;
        sp.images[1] = dir.path() / "INFOGRAF" / "4000.GIF"; // missing: left out
        w.sync(frameOf(grid, absolute, sp));
        QVERIFY(!w.trackPicture()->isHidden());
        QVERIFY(w.trackPicture()->hasImage(0));
        QVERIFY(!w.trackPicture()->hasImage(1));

        sp.splitDisplay = false;
        w.sync(frameOf(grid, absolute, sp));
        QVERIFY(w.splits()->isHidden());
        QVERIFY(w.runs()->isColumnHidden(spcol::Speed));
    }
};

QTEST_MAIN(StandingsWindowTest)
#include "standings_window_test.moc"
