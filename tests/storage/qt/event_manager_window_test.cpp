#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/participant_list.h"
#include "storage/qt/event_manager_window.h"
#include "storage/track_config.h"
#include "support/qt/screen_fixture.h"
#include "support/temp_dir.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace cronovolta;

namespace {

struct Fixture : test::ScreenFixture {
    Fixture(int events) {
        saveTrack(4);
        EventManager manager(dir.path());
        for (int e = 1; e <= events; ++e) {
            manager.createEvent("Prova " + std::to_string(e), "0" + std::to_string(e) + "-03-2026");
        }
    }
};

} // namespace

class EventManagerWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsSeriesAndHeatCounts();
    void deletingASeriesRenumbersItsFiles();
    void modifyingAnEventRewritesItsHeader();
    void deletingEventsDownToNone();
    void archivingWaitsForTheFileScreen();
    void datesStayBesideTheirEvents();
};

void EventManagerWindowTest::showsSeriesAndHeatCounts() {
    Fixture f(2);
    EventManager manager(f.dir.path());
    QVERIFY(manager.addSeries(2, ProgrammeType::OfficialPractice).has_value());
    ParticipantList list;
    list.heatsDone = 4;
    list.names = {"Anna", "Joan"};
    QVERIFY(writeParticipantList(f.event(2) / "OFC002.PAR", list).has_value());
    EventManagerWindow dialog(f.ui, f.asker);
    QCOMPARE(dialog.events()->count(), 2);
    QCOMPARE(dialog.events()->currentRow(), 1); // no active event: the last one
    QCOMPARE(dialog.programmes()->item(2)->text(), QStringLiteral("Cursa"));
    QCOMPARE(dialog.programmes()->currentRow(), 2);
    QCOMPARE(dialog.seriesCountLabel()->text(), QStringLiteral("1 sèries"));
    dialog.programmes()->setCurrentRow(0);
    QCOMPARE(dialog.seriesCountLabel()->text(), QStringLiteral("2 sèries"));
    QCOMPARE(dialog.heatCountLabel()->text(), QStringLiteral("0 mànigues"));
    dialog.series()->setCurrentRow(1);
    QCOMPARE(dialog.heatCountLabel()->text(), QStringLiteral("4 mànigues"));
    QVERIFY(!dialog.files()->findItems(QStringLiteral("OFC002.PAR"), Qt::MatchExactly).isEmpty());
    dialog.dates()->setCurrentRow(0);
    QCOMPARE(dialog.events()->currentRow(), 0);
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Text_0"))->text(), QStringLiteral("Prova:"));
}

void EventManagerWindowTest::deletingASeriesRenumbersItsFiles() {
    Fixture f(1);
    EventManager manager(f.dir.path());
    QVERIFY(manager.addSeries(1, ProgrammeType::Race).has_value());
    QVERIFY(manager.addSeries(1, ProgrammeType::Race).has_value());
    for (int s = 1; s <= 3; ++s) {
        ParticipantList list;
        list.heatsDone = static_cast<std::int16_t>(s);
        QVERIFY(writeParticipantList(f.event(1) / seriesFileName(ProgrammeType::Race, s, ".PAR"),
                                     list));
    }
    EventManagerWindow dialog(f.ui, f.asker);
    QCOMPARE(dialog.seriesCountLabel()->text(), QStringLiteral("3 sèries"));
    dialog.deleteSeries(); // answered No
    QCOMPARE(f.asker.asked.back().title, QStringLiteral("Sèrie: 1"));
    QCOMPARE(f.asker.asked.back().text, QStringLiteral("Segur que vols eliminar aquesta sèrie?"));
    QVERIFY(!f.asker.asked.back().yesIsDefault);
    QVERIFY(fs::exists(f.event(1) / "CRS003.PAR"));
    f.asker.answers = {true};
    dialog.deleteSeries();
    QVERIFY(!fs::exists(f.event(1) / "CRS003.PAR"));
    QCOMPARE(readParticipantList(f.event(1) / "CRS001.PAR")->heatsDone, std::int16_t{2});
    QCOMPARE(dialog.seriesCountLabel()->text(), QStringLiteral("2 sèries"));
    QCOMPARE(dialog.heatCountLabel()->text(), QStringLiteral("2 mànigues"));
}

void EventManagerWindowTest::modifyingAnEventRewritesItsHeader() {
    Fixture f(2);
    EventManagerWindow dialog(f.ui, f.asker);
    dialog.selectEvent(0);
    QString title;
    test::whenModal([&](QDialog* d) {
        title = d->windowTitle();
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("TextProva"));
        QCOMPARE(name->text(), QStringLiteral("Prova 1"));
        name->setText(QStringLiteral(" Curta "));
        test::clickButton(d, QStringLiteral("Sortir_1"));
    });
    dialog.modifyEvent();
    QCOMPARE(title, QStringLiteral("Modificar dades de la prova"));
    QVERIFY(f.asker.asked.empty()); // no confirmation when modifying
    QCOMPARE(dialog.events()->item(0)->text(), QStringLiteral("Curta"));
    auto header = readEventHeader(f.event(1) / "PROVA.DAD");
    QVERIFY(header.has_value());
    QCOMPARE(header->header.name, std::string("Curta"));
    QCOMPARE(header->header.date, std::string("01-03-2026"));
}

void EventManagerWindowTest::deletingEventsDownToNone() {
    Fixture f(2);
    EventManagerWindow dialog(f.ui, f.asker);
    f.asker.answers = {true, true};
    dialog.deleteEvent();
    QCOMPARE(f.asker.asked.back().title, QStringLiteral("Prova 2"));
    QCOMPARE(dialog.events()->count(), 1);
    QCOMPARE(dialog.events()->currentRow(), 0);
    dialog.deleteEvent();
    QCOMPARE(dialog.events()->count(), 0);
    QVERIFY(!fs::exists(f.event(1)));
    QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("Sortir_2"))->isEnabled());
    QVERIFY(!dialog.series()->isEnabled());
    QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("Sortir_7"))->isEnabled());
    QVERIFY(dialog.seriesCountLabel()->text().isEmpty());
}

void EventManagerWindowTest::archivingWaitsForTheFileScreen() {
    Fixture f(1);
    {
        EventManagerWindow dialog(f.ui, f.asker);
        dialog.archive(FileScreenMode::Archive);
        QCOMPARE(f.asker.asked.back().text,
                 QStringLiteral("Aquesta funció encara no està disponible."));
    }
    FileScreenMode modeSeen = FileScreenMode::Export;
    auto unarchive = [&](QWidget*, FileScreenMode mode) {
        modeSeen = mode;
        EventManager(f.dir.path()).createEvent("Desarxivada", "02-02-2026");
        return true;
    };
    EventManagerWindow dialog(f.ui, f.asker, nullptr, unarchive);
    dialog.archive(FileScreenMode::Unarchive);
    QVERIFY(modeSeen == FileScreenMode::Unarchive);
    QCOMPARE(dialog.events()->count(), 2);
    QCOMPARE(dialog.events()->currentItem()->text(), QStringLiteral("Desarxivada"));
}

void EventManagerWindowTest::datesStayBesideTheirEvents() {
    Fixture f(30);
    EventManagerWindow manager(f.ui, f.asker);
    manager.show();
    QVERIFY(QTest::qWaitForWindowExposed(&manager));
    QListWidget* dates = manager.dates();
    QVERIFY(dates->fontMetrics().horizontalAdvance(dates->item(0)->text()) <
            dates->viewport()->width());
    manager.selectEvent(29);
    QTRY_VERIFY_WITH_TIMEOUT(manager.events()->verticalScrollBar()->value() > 0, 5000);
    QCOMPARE(dates->verticalScrollBar()->value(), manager.events()->verticalScrollBar()->value());
    dates->verticalScrollBar()->setValue(0); // a wheel turned over the dates
    QCOMPARE(manager.events()->verticalScrollBar()->value(), 0);
    dates->setCurrentRow(3);
    QCOMPARE(manager.events()->currentRow(), 3);
}

QTEST_MAIN(EventManagerWindowTest)
#include "event_manager_window_test.moc"
