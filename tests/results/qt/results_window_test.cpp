#include "results/qt/results_window.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "results/event_folder.h"

using namespace cronovolta;

namespace {

using F = ResultsBrowser::Filter;

// Two race series on four lanes, one heat each.
void twoRaceSeries(test::EventFolder& f) {
    test::check(f.addSeries(ProgrammeType::Race) == 2, "series");
    f.writeOneHeat(ProgrammeType::Race, 1, {"Anna", "Bernat", "Carles"}, {12, 14, 10},
                   {3.1f, 3.0f, 3.2f}, 4);
    f.writeOneHeat(ProgrammeType::Race, 2, {"Dolors", "anna"}, {11, 13}, {3.3f, 2.9f}, 4);
}

QStringList column(const QTableView* table, int col) {
    QStringList out;
    for (int r = 0; r < table->model()->rowCount(); ++r) {
        out << table->model()->index(r, col).data().toString();
    }
    return out;
}

QStringList items(const QComboBox* combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i) {
        out << combo->itemText(i);
    }
    return out;
}

void choose(ResultsWindow& w, F f, int index) {
    QComboBox* combo = w.filter(f);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

std::unique_ptr<ResultsWindow> openOn(const test::EventFolder& f, ProgrammeType programmeType) {
    ResultsRequest request;
    request.dataDir = f.data();
    request.event = 1;
    request.programmeType = programmeType;
    std::unique_ptr<ResultsWindow> w(ResultsWindow::open(request));
    if (w) {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    return w;
}

} // namespace

class ResultsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensOnAllSeriesRankedByTotalLaps() {
        test::EventFolder f(4);
        twoRaceSeries(f);
        auto w = openOn(f, ProgrammeType::Race);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Classificacions - Open Sabadell - Cursa"));
        QVERIFY(w->filter(F::kSeries)->isEnabled());
        QCOMPARE(items(w->filter(F::kSeries)), (QStringList{"Totes", "1", "2"}));
        QCOMPARE(column(w->list(), kColName),
                 (QStringList{"Bernat", "anna", "Anna", "Dolors", "Carles"}));
        QCOMPARE(column(w->list(), kColRank), (QStringList{"1.-", "2.-", "3.-", "4.-", "5.-"}));
        QVERIFY(!w->list()->isColumnHidden(kColTotal));
        QVERIFY(w->list()->isColumnHidden(kColFastest));
        QVERIFY(w->list()->isColumnHidden(kColRaceNumber));
        QVERIFY(w->printButton(1)->isEnabled());
        QVERIFY(w->problemsLabel()->isHidden());
        auto* total = w->findChild<QRadioButton*>(QStringLiteral("CriteriOrdre_1"));
        QVERIFY(total && total->isChecked());

        // The active series (1) and the others take the colours of slots 4 and 3.
        const QVariant first = w->list()->model()->index(0, 0).data(Qt::BackgroundRole);
        const QVariant second = w->list()->model()->index(1, 0).data(Qt::BackgroundRole);
        QVERIFY(first.isValid() && second.isValid() && first != second);
    }

    void filtersNarrowTheListAndTheQuadrantFollows() {
        test::EventFolder f(4);
        twoRaceSeries(f);
        auto w = openOn(f, ProgrammeType::Race);
        QVERIFY(w);
        QCOMPARE(items(w->filter(F::kParticipant)),
                 (QStringList{"Tots", "Anna", "Bernat", "Carles", "Dolors", "anna"}));
        choose(*w, F::kParticipant, 5);
        QCOMPARE(column(w->list(), kColName), (QStringList{"anna"}));
        QVERIFY(!w->printButton(1)->isEnabled());
        choose(*w, F::kParticipant, 0);
        choose(*w, F::kLane, 1); // lane 1: Anna and Dolors
        QCOMPARE(column(w->list(), kColName), (QStringList{"Anna", "Dolors"}));
        QVERIFY(!w->printButton(1)->isEnabled());

        w->chooseCriterion(kFastestLap);
        QCOMPARE(column(w->list(), kColName), (QStringList{"Anna", "Dolors"}));
        QVERIFY(!w->list()->isColumnHidden(kColFastest));
        QVERIFY(w->list()->isColumnHidden(kColTotal));

        choose(*w, F::kSeries, 2);
        QCOMPARE(items(w->filter(F::kParticipant)), (QStringList{"Tots", "Dolors", "anna"}));
        QCOMPARE(w->filter(F::kLane)->currentIndex(), 0);
        QCOMPARE(column(w->list(), kColName), (QStringList{"anna", "Dolors"}));

        QSignalSpy printed(w.get(), &ResultsWindow::printQuadrant);
        w->chooseCriterion(kTotalLaps);
        QVERIFY(w->printButton(1)->isEnabled());
        w->printButton(1)->click();
        QCOMPARE(printed.count(), 1);
        QCOMPARE(printed.at(0).at(0).toInt(), 1);
    }

    void oneSeriesDisablesTheSeriesFilterAndDamageIsShown() {
        test::EventFolder f(2);
        test::check(f.addSeries(ProgrammeType::OfficialPractice) == 2, "series");
        f.writeOneHeat(ProgrammeType::OfficialPractice, 1, {"Anna", "Bernat"}, {5, 6}, {3.2f, 3.1f},
                       2);
        // Series 2 says it ran a heat but has no heat data.
        ParticipantList list;
        list.heatsDone = 1;
        list.names = {"Carles"};
        test::check(writeParticipantList(f.event() / "OFC002.PAR", list).has_value(), "list");
        auto w = openOn(f, ProgrammeType::OfficialPractice);
        QVERIFY(w);
        QCOMPARE(column(w->list(), kColName), (QStringList{"Bernat", "Anna"}));
        QVERIFY(w->findChild<QRadioButton*>(QStringLiteral("CriteriOrdre_2"))->isChecked());
        QVERIFY(!w->problemsLabel()->isHidden());
        QVERIFY(w->problemsLabel()->text().contains(QStringLiteral("OFC002.DAD")));

        choose(*w, F::kSeries, 1);
        QVERIFY(w->problemsLabel()->isHidden());
    }
};

QTEST_MAIN(ResultsWindowTest)
#include "results_window_test.moc"
