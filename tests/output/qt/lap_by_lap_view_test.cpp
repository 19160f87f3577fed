#include "output/qt/lap_by_lap_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <functional>
#include <set>

using namespace cronovolta;

namespace {

std::vector<std::int16_t> orderOf(std::vector<std::int16_t> lanes) {
    std::int16_t highest = 0;
    for (auto lane : lanes) {
        highest = std::max(highest, lane);
    }
    lanes.insert(lanes.begin(), highest);
    return lanes;
}

std::vector<std::int16_t> straightOrder(int n) {
    std::vector<std::int16_t> lanes;
    for (int i = 1; i <= n; ++i) {
        lanes.push_back(static_cast<std::int16_t>(i));
    }
    return orderOf(lanes);
}

LapLanes lanesFor(const std::vector<std::int16_t>& order) {
    LapLanes lanes;
    lanes.layOut(order, "Pista", 14, 15);
    return lanes;
}

// Distinct tops of the shown titles: one per row of panels.
std::set<int> panelRowTops(const LapByLapView& view) {
    std::set<int> tops;
    for (int lane = 1; lane <= view.highestLane(); ++lane) {
        if (!view.title(lane)->isHidden()) {
            tops.insert(view.title(lane)->y());
        }
    }
    return tops;
}

int panelsInFirstRow(const LapByLapView& view) {
    const int top = *panelRowTops(view).begin();
    int n = 0;
    for (int lane = 1; lane <= view.highestLane(); ++lane) {
        n += !view.title(lane)->isHidden() && view.title(lane)->y() == top ? 1 : 0;
    }
    return n;
}

void addLap(LanePanel& panel, const std::string& time, bool fastest) {
    panel.rows.push_back(time);
    panel.highlighted.push_back(fastest);
    panel.rows[0] = std::to_string(panel.lapCount() + 1);
    panel.currentRow = panel.topRow = static_cast<int>(panel.rows.size()) - 1;
    if (fastest) {
        panel.fastestLap = time;
    }
}

} // namespace

class LapByLapViewTest : public QObject {
    Q_OBJECT

private slots:
    void layoutByLaneCount_data() {
        QTest::addColumn<int>("lanes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("perRow");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<bool>("scrollBar");
        QTest::addColumn<int>("scrollMax");
        QTest::newRow("8 lanes") << 8 << 1 << 8 << 12 << false << 0;
        QTest::newRow("10 lanes") << 10 << 1 << 10 << 10 << false << 0;
        QTest::newRow("12 lanes") << 12 << 2 << 6 << 12 << false << 0;
        QTest::newRow("21 lanes") << 21 << 3 << 7 << 12 << true << 2;
        QTest::newRow("64 lanes") << 64 << 7 << 10 << 10 << true << 6;
    }

    void layoutByLaneCount() {
        QFETCH(int, lanes);
        QFETCH(int, rows);
        QFETCH(int, perRow);
        QFETCH(int, fontSize);
        QFETCH(bool, scrollBar);
        QFETCH(int, scrollMax);

        LapByLapView view;
        view.resize(800, 600);
        view.sync(lanesFor(straightOrder(lanes)));

        QCOMPARE(view.shownPanels(), lanes);
        QCOMPARE(int(panelRowTops(view).size()), rows);
        QCOMPARE(panelsInFirstRow(view), perRow);
        QCOMPARE(view.panelLayout().fontSize, fontSize);
        QCOMPARE(!view.scrollBar()->isHidden(), scrollBar);
        if (scrollBar) {
            QCOMPARE(view.scrollBar()->maximum(), scrollMax);
            QCOMPARE(view.scrollBar()->minimum(), 1);
        }
        // Panels of one row never overlap, and every lane's panel lies inside the window's
        // width.
        for (int lane = 1; lane < lanes; ++lane) {
            const QRect a = view.laps(lane)->geometry();
            const QRect b = view.laps(lane + 1)->geometry();
            if (a.y() == b.y()) {
                QVERIFY2(a.right() < b.left(), qPrintable(QString("lane %1").arg(lane)));
            }
            QVERIFY(b.right() < view.width());
        }
    }

    void gridsAreShorterWithTwoRowsOfPanels() {
        LapByLapView one;
        one.sync(lanesFor(straightOrder(8)));
        LapByLapView two;
        two.sync(lanesFor(straightOrder(12)));
        const double ratio = double(two.laps(1)->height()) / one.laps(1)->height();
        QVERIFY2(std::abs(ratio - 3050.0 / 7000.0) < 0.02, qPrintable(QString::number(ratio)));
        // Ten panels in a row shrink to 8/10 of the width of eight.
        LapByLapView ten;
        ten.sync(lanesFor(straightOrder(10)));
        const double widthRatio = double(ten.laps(1)->width()) / one.laps(1)->width();
        QVERIFY2(std::abs(widthRatio - 0.8) < 0.03, qPrintable(QString::number(widthRatio)));
        // Both rows of twelve lanes fit in the window without scrolling.
        QVERIFY(two.fastestLap(12)->geometry().bottom() < two.height());
    }

    void laneMissingFromTheOrderIsNotShown() {
        LapByLapView view;
        view.sync(lanesFor(orderOf({1, 2, 4, 5})));
        QCOMPARE(view.highestLane(), 5);
        QVERIFY(view.title(3)->isHidden());
        QVERIFY(view.laps(3)->isHidden());
        QCOMPARE(view.title(4)->text(), QStringLiteral("Pista 4"));
        // Lane 4 takes the third place, right after lane 2.
        QVERIFY(view.title(4)->x() > view.title(2)->x());
        QVERIFY(view.title(5)->x() > view.title(4)->x());
        QCOMPARE(view.shownPanels(), 4);
    }

    void crossingRepaintsOnlyItsLaneAndMovesTheFlag() {
        LapLanes lanes = lanesFor(straightOrder(8));
        LapByLapView view;
        view.resize(800, 600);
        view.show();
        view.sync(lanes);
        QVERIFY(view.flag()->isHidden());

        lanes.panel(3).pilot = "Marta Puig";
        lanes.panel(3).rows[1] = "+1";
        lanes.panel(3).rows[0] = "1";
        lanes.setFlagLane(3);
        view.sync(lanes);
        QCOMPARE(view.lastSyncUpdates(), 1);
        QCOMPARE(view.pilot(3)->text(), QStringLiteral("Marta Puig"));
        QVERIFY(!view.flag()->isHidden());
        QCOMPARE(view.flag()->pos(), view.title(3)->pos());

        addLap(lanes.panel(3), "7.5120", true);
        addLap(lanes.panel(3), "7.8000", false);
        view.sync(lanes);
        QCOMPARE(view.lastSyncUpdates(), 1);
        QCOMPARE(view.laps(3)->rowText(0), QStringLiteral("3"));
        QCOMPARE(view.laps(3)->rowText(3), QStringLiteral("7.8000"));
        QVERIFY(view.laps(3)->highlighted(2));
        QVERIFY(!view.laps(3)->highlighted(3));
        QCOMPARE(view.fastestLap(3)->text(), QStringLiteral("7.5120"));

        view.sync(lanes);
        QCOMPARE(view.lastSyncUpdates(), 0);

        // A new heat empties the lists.
        lanes.panel(3).clearLaps();
        view.sync(lanes);
        QCOMPARE(view.laps(3)->rowCount(), 2);
        QCOMPARE(view.fastestLap(3)->text(), QString());
    }

    // A lane's scroll bar repaints only when its look changes, from a picture shared with the
    // bars of the same look: on screen it must look as the style draws it itself (as it does
    // while the handle is held).
    void laneScrollBarOnScreenLooksAsTheStyleDrawsIt() {
        LapLanes lanes = lanesFor(straightOrder(24));
        LapByLapView view;
        view.resize(800, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto onScreen = [&](QScrollBar* bar) {
            QTest::qWait(20); // updates reach the screen
            const QPoint at = bar->mapTo(&view, QPoint(0, 0));
            return view.screen()
                ->grabWindow(view.winId(), at.x(), at.y(), bar->width(), bar->height())
                .toImage();
        };
        int compared = 0;
        for (int laps : {3, 12, 13, 40, 41, 150, 151, 400}) {
            for (LanePanel& panel : {std::ref(lanes.panel(2)), std::ref(lanes.panel(3))}) {
                while (panel.lapCount() < laps) {
                    addLap(panel, "7.5000", false);
                }
            }
            view.sync(lanes);
            QTest::qWait(20); // the bar is shown once the range needs it
            for (int lane : {2, 3}) {
                QScrollBar* bar = view.laps(lane)->verticalScrollBar();
                if (!bar->isVisible()) {
                    continue;
                }
                const QImage shown = onScreen(bar);
                bar->setSliderDown(true);
                bar->update();
                const QImage drawn = onScreen(bar);
                bar->setSliderDown(false);
                QVERIFY2(shown == drawn, qPrintable(QStringLiteral("%1 laps").arg(laps)));
                ++compared;
            }
        }
        QVERIFY(compared >= 10);
    }

    void flagAndLongLapsFitBesideTheTextOnEveryTrack() {
        for (int n : {4, 8, 24, 64}) {
            LapLanes lanes = lanesFor(straightOrder(n));
            LapByLapView view;
            view.resize(800, 600);
            view.show();
            for (const char* lap : {"9.8765", "12.3456", "99.9999", "123.4567"}) {
                addLap(lanes.panel(2), lap, false);
            }
            lanes.setFlagLane(2);
            view.sync(lanes);
            const QString trace = QStringLiteral("%1 lanes").arg(n);

            // "Pista 2" is drawn whole, and not under the flag.
            const QLabel* title = view.title(2);
            const QFontMetrics titleMetrics(title->font());
            const QRect text = QStyle::alignedRect(
                Qt::LeftToRight, Qt::AlignCenter,
                QSize(titleMetrics.horizontalAdvance(title->text()), titleMetrics.height()),
                title->contentsRect());
            QVERIFY2(title->contentsRect().contains(text), qPrintable(trace));
            QVERIFY2(!view.flag()->geometry().intersects(text.translated(title->pos())),
                     qPrintable(trace));
            // Other titles keep the whole width and the common font.
            QCOMPARE(view.title(3)->contentsMargins().left(), 0);

            const LaneGrid* grid = view.laps(2);
            for (int row = 1; row < grid->rowCount(); ++row) {
                const QString lap = grid->rowText(row);
                QVERIFY2(QFontMetrics(grid->fontFor(lap)).horizontalAdvance(lap) <=
                             grid->viewport()->width(),
                         qPrintable(trace + QLatin1Char(' ') + lap));
            }
            // The flag moves on: the title it leaves has its room back.
            lanes.setFlagLane(3);
            view.sync(lanes);
            QCOMPARE(title->contentsMargins().left(), 0);
            QCOMPARE(title->font(), view.title(4)->font());
        }
    }

    void longNamesFitTheirFieldOnABusyTrack() {
        LapLanes lanes = lanesFor(straightOrder(24));
        LapByLapView view;
        view.resize(800, 600);
        view.show();
        lanes.panel(5).pilot = "Montserrat Vidal";
        lanes.panel(6).pilot = "Pol";
        view.sync(lanes);
        const QLineEdit* name = view.pilot(5);
        QVERIFY(QFontMetrics(name->font()).horizontalAdvance(name->text()) <= name->width() - 8);
        // A short name keeps the common font.
        QCOMPARE(view.pilot(6)->font(), view.title(6)->font());
    }

    void longListKeepsTheNewestLapInView() {
        LapLanes lanes = lanesFor(straightOrder(21));
        LapByLapView view;
        view.resize(800, 600);
        view.show();
        for (int i = 0; i < 60; ++i) {
            addLap(lanes.panel(1), "8." + std::to_string(1000 + i), false);
        }
        view.sync(lanes);
        LaneGrid* grid = view.laps(1);
        QVERIFY(grid->visibleRows() < 60);
        QCOMPARE(grid->firstVisibleRow() + grid->visibleRows() - 1, grid->rowCount() - 1);
    }

    void scrollValueMovesThePanelArea() {
        LapLanes lanes = lanesFor(straightOrder(21));
        LapByLapView view;
        view.resize(800, 600);
        view.sync(lanes);
        QCOMPARE(view.panelArea()->y(), 0);
        const int rowStep = view.title(8)->y() - view.title(1)->y();
        QVERIFY(rowStep > 0);
        lanes.advanceScroll();
        view.sync(lanes);
        QCOMPARE(view.scrollBar()->value(), 2);
        QVERIFY(std::abs(view.panelArea()->y() + rowStep) <= 1);
        // The third row of panels is now in view.
        QVERIFY(view.title(15)->y() + view.panelArea()->y() < view.height() / 2);
        lanes.advanceScroll();
        view.sync(lanes);
        QCOMPARE(view.scrollBar()->value(), 1);
        QCOMPARE(view.panelArea()->y(), 0);
    }

    void keysGoToTheHeat() {
        LapByLapView view;
        view.sync(lanesFor(straightOrder(4)));
        QSignalSpy spy(&view, &LapByLapView::heatKey);
        QTest::keyClick(&view, Qt::Key_S);
        QTest::keyClick(&view, Qt::Key_Escape, Qt::ShiftModifier);
        QTest::keyPress(&view, Qt::Key_Shift); // on its own it means nothing yet
        QTest::keyClick(&view, Qt::Key_Escape);
        QTest::keyClick(&view, Qt::Key_Plus);
        QTest::keyClick(&view, Qt::Key_3);
        QTest::keyClick(&view, Qt::Key_Return);
        QList<int> keys;
        for (const auto& call : spy) {
            keys << call.at(0).toInt();
        }
        QCOMPARE(keys, (QList<int>{'s', -1, 27, 27, '+', '3', 13}));
        // The name fields never take the keyboard.
        QCOMPARE(view.pilot(1)->focusPolicy(), Qt::NoFocus);
    }
};

QTEST_MAIN(LapByLapViewTest)
#include "lap_by_lap_view_test.moc"
