#include "results/entrants_files.h"
#include "results/qt/entrants_window.h"
#include "results/results_source.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "results/event_folder.h"

using namespace cronovolta;

namespace {

EntrantsContext raceContext(const test::EventFolder& f, int seriesNumber) {
    return f.listContext(ProgrammeType::Race, seriesNumber);
}

void writeEntrants(const test::EventFolder& f) {
    ParticipantList entrants;
    entrants.names = {"Anna Puig", "Bernat Roca", "Carles Vidal"};
    test::check(writeParticipantList(f.event() / "PROVA.PAR", entrants).has_value(), "entrants");
}

std::vector<std::string> savedNames(const fs::path& file) {
    return readParticipantList(file).value_or(ParticipantList{}).names;
}

void typeCount(EntrantsWindow& w, const QString& text) {
    w.countField()->setFocus();
    w.countField()->selectAll();
    QTest::keyClicks(w.countField(), text);
    QTest::keyClick(w.countField(), Qt::Key_Return);
}

void doubleClickSource(EntrantsWindow& w, int row, Qt::KeyboardModifiers mods = {}) {
    QTreeWidget* source = w.sourceList();
    const QPoint at = source->visualItemRect(source->topLevelItem(row)).center();
    // An item view takes a double-click only on the item it saw pressed.
    QTest::mousePress(source->viewport(), Qt::LeftButton, mods, at);
    QTest::mouseRelease(source->viewport(), Qt::LeftButton, mods, at);
    QTest::mouseDClick(source->viewport(), Qt::LeftButton, mods, at);
}

} // namespace

class EntrantsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void fillsASeriesFromTheEntrantsAndSaves() {
        test::EventFolder f(4);
        writeEntrants(f);
        std::unique_ptr<EntrantsWindow> w(EntrantsWindow::open(raceContext(f, 1)));
        QVERIFY(w);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(w->windowTitle(),
                 QStringLiteral("Llista de participants - Open Sabadell - Cursa"));
        QVERIFY(w->nameField(4) && !w->nameField(5));
        QCOMPARE(w->rangeLabel()->text(), QStringLiteral("4 - 99"));

        typeCount(*w, QStringLiteral("150"));
        QCOMPARE(w->countField()->text(), QStringLiteral("99"));
        typeCount(*w, QStringLiteral("5"));
        QVERIFY(w->nameField(5) && !w->nameField(6));

        w->nameField(1)->setFocus();
        doubleClickSource(*w, 1);
        QCOMPARE(w->nameField(1)->text(), QStringLiteral("Bernat Roca"));
        QTRY_VERIFY(w->nameField(2)->hasFocus());
        doubleClickSource(*w, 2, Qt::ShiftModifier);
        QCOMPARE(w->nameField(2)->text(), QStringLiteral("#3 Carles Vidal"));

        // Enter moves on, from the last row back to the first.
        w->nameField(5)->setFocus();
        QTest::keyClicks(w->nameField(5), QStringLiteral("  Dolors Mas "));
        QTest::keyClick(w->nameField(5), Qt::Key_Return);
        QVERIFY(w->nameField(1)->hasFocus());

        // A double-click on a label adds a row; the rows there keep their fields.
        QLineEdit* first = w->nameField(1);
        QTest::mouseDClick(w->countLabel(), Qt::LeftButton);
        QVERIFY(w->nameField(6));
        QCOMPARE(w->countField()->text(), QStringLiteral("6"));
        QTest::mouseDClick(w->orderLabel(6), Qt::LeftButton);
        QCOMPARE(w->countField()->text(), QStringLiteral("7"));
        QCOMPARE(w->nameField(1), first);
        QVERIFY(w->nameField(7)->hasFocus());
        // Enter in the count applies it and goes to the first row.
        w->countField()->setFocus();
        w->countField()->selectAll();
        QTest::keyClicks(w->countField(), QStringLiteral("6"));
        QTest::keyClick(w->countField(), Qt::Key_Return);
        QVERIFY(!w->nameField(7));
        QTRY_VERIFY(w->nameField(1)->hasFocus());

        QVERIFY(w->save());
        QCOMPARE(w->result(), int(QDialog::Accepted));
        const std::vector<std::string> expected = {
            "Bernat Roca", "#3 Carles Vidal", "", "", "Dolors Mas", ""};
        QCOMPARE(savedNames(f.event() / "CRS001.PAR"), expected);
    }

    void escapeClosesWithoutSaving() {
        test::EventFolder f(2);
        writeEntrants(f);
        std::unique_ptr<EntrantsWindow> w(EntrantsWindow::open(raceContext(f, 1)));
        QVERIFY(w);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTest::keyClicks(w->nameField(1), QStringLiteral("Pere"));
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QCOMPARE(w->result(), int(QDialog::Rejected));
        QVERIFY(!fs::exists(f.event() / "CRS001.PAR"));
    }

    void theCountIsFixedOnceMoreHaveStartedThanAreListed() {
        test::EventFolder f(4);
        ParticipantList list;
        list.heatsDone = 3;
        list.names = {"A", "B", "C", "D", "E"};
        test::check(writeParticipantList(f.event() / "CRS001.PAR", list).has_value(), "list");
        std::unique_ptr<EntrantsWindow> w(EntrantsWindow::open(raceContext(f, 1)));
        QVERIFY(w);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(!w->countField()->isEnabled());
        QCOMPARE(w->rangeLabel()->text(), QStringLiteral("5"));
        QTest::mouseDClick(w->countLabel(), Qt::LeftButton);
        QVERIFY(!w->nameField(6));
    }
};

QTEST_MAIN(EntrantsWindowTest)
#include "entrants_window_test.moc"
