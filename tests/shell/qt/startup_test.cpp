#include "shell/qt/main_window.h"
#include "shell/qt/startup_sequence.h"
#include "storage/event_manager.h"
#include "storage/startup.h"
#include "storage/track_config.h"
#include "support/qt/qt_test_support.h"
#include "support/temp_dir.h"

#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace cronovolta;
using cronovolta::test::ScriptedAsker;
using cronovolta::test::TempDir;
using cronovolta::test::whenModal;

namespace {

// A data folder that has been through its first start, with `events` events of two race
// series each.
void prepareFolder(UiContext& ui, const fs::path& dir, int events) {
    ui.app.dataDir = dir;
    TrackConfig track = defaultTrackConfig();
    track.lanes = 4;
    deriveTrackConfig(track);
    QVERIFY(saveTrackConfig(dir / "PISTA.CFG", track).has_value());
    QVERIFY(saveProgramSettings(dir / "ZENTOR.CFG", defaultProgramSettings()).has_value());
    EventManager manager(dir);
    for (int e = 1; e <= events; ++e) {
        QVERIFY(manager.createEvent("Prova " + std::to_string(e), "01-02-2026").has_value());
        QVERIFY(manager.addSeries(e, ProgrammeType::Race).has_value());
    }
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void firstStartOpensSettingsThenTrack();
    void cancellingSettingsEndsTheProgram();
    void cancellingTrackEndsTheProgram();
    void windowStateRoundTripsTheSelections();
    void missingWindowStateRaisesTheResumeQuestion();
    void answeringNoDiscardsTheHeat();
    void enterOnTheRealQuestionKeepsTheHeat();
    void resumeFileIsIgnoredAfterANormalEnd();
    void autorunsStartsPracticeWithoutAnEvent();
    void garbageStateFilesAreNotFatal();
};

void StartupTest::firstStartOpensSettingsThenTrack() {
    TempDir dir;
    UiContext ui;
    ui.app.dataDir = dir.path();
    ScriptedAsker asker;
    QStringList opened;
    QString lanes;
    whenModal([&](QDialog* settings) {
        opened << settings->objectName();
        whenModal([&](QDialog* track) {
            opened << track->objectName();
            lanes = track->findChild<QLineEdit*>(QStringLiteral("CfgNPistes"))->text();
            cronovolta::test::clickButton(track, QStringLiteral("Sortir_1"));
        });
        cronovolta::test::clickButton(settings, QStringLiteral("Sortir_1"));
    });
    QVERIFY(prepareConfiguration(ui, asker));
    QCOMPARE(opened, (QStringList{"ConfiguracioPrg", "ConfiguracioPista"}));
    QCOMPARE(lanes, QStringLiteral("64"));
    QVERIFY(fs::exists(dir.path() / "ZENTOR.CFG"));
    // 64 lanes in order, split timing off: 31 + 2 x 64 bytes.
    QCOMPARE(fs::file_size(dir.path() / "PISTA.CFG"), std::uintmax_t{159});
    QVERIFY(asker.asked.empty());
}

void StartupTest::cancellingSettingsEndsTheProgram() {
    TempDir dir;
    UiContext ui;
    ui.app.dataDir = dir.path();
    ScriptedAsker asker;
    QStringList opened;
    whenModal([&](QDialog* settings) {
        opened << settings->objectName();
        settings->reject();
    });
    QVERIFY(!prepareConfiguration(ui, asker));
    QCOMPARE(opened, QStringList{"ConfiguracioPrg"});
    QVERIFY(!fs::exists(dir.path() / "ZENTOR.CFG"));
    QVERIFY(!fs::exists(dir.path() / "PISTA.CFG"));
}

void StartupTest::cancellingTrackEndsTheProgram() {
    TempDir dir;
    UiContext ui;
    ui.app.dataDir = dir.path();
    ScriptedAsker asker;
    whenModal([&](QDialog* settings) {
        whenModal([](QDialog* track) { QTest::keyClick(track, Qt::Key_Escape); });
        cronovolta::test::clickButton(settings, QStringLiteral("Sortir_1"));
    });
    QVERIFY(!prepareConfiguration(ui, asker));
    QVERIFY(fs::exists(dir.path() / "ZENTOR.CFG"));
    QVERIFY(!fs::exists(dir.path() / "PISTA.CFG"));

    // The next start asks only for the track.
    QStringList opened;
    whenModal([&](QDialog* track) {
        opened << track->objectName();
        track->reject();
    });
    QVERIFY(!prepareConfiguration(ui, asker));
    QCOMPARE(opened, QStringList{"ConfiguracioPista"});
}

void StartupTest::windowStateRoundTripsTheSelections() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path(), 3);
    QVERIFY(EventManager(dir.path()).addSeries(2, ProgrammeType::OfficialPractice).has_value());
    ScriptedAsker asker;
    {
        auto window = openMainWindow(ui, asker, false);
        QVERIFY(ui.app.abnormalEnd); // first run: no state file
        window->selectEvent(1);
        window->selectSeries(ProgrammeType::OfficialPractice, 0);
        window->selectSeries(ProgrammeType::Race, 1);
        ui.infoShown = true;
        QVERIFY(window->close());
    }
    QVERIFY(fs::exists(dir.path() / "ZTR4.INI"));
    UiContext next;
    next.app.dataDir = dir.path();
    next.app.programConfig = defaultProgramSettings();
    auto window = openMainWindow(next, asker, false);
    QVERIFY(!next.app.abnormalEnd);
    QVERIFY(!fs::exists(dir.path() / "ZTR4.INI")); // a crash now would be noticed
    QCOMPARE(window->eventList()->currentRow(), 1);
    QCOMPARE(next.app.activeSelection.event, std::int16_t{2});
    QCOMPARE(window->selectedSeries(ProgrammeType::OfficialPractice), 0);
    QCOMPARE(window->selectedSeries(ProgrammeType::Race), 1);
    QVERIFY(next.infoShown);
    QVERIFY(asker.asked.empty());
}

void StartupTest::missingWindowStateRaisesTheResumeQuestion() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path(), 3);
    QVERIFY(EventManager(dir.path()).addSeries(3, ProgrammeType::Race).has_value());
    test::writeBytes(dir.path() / "ZTR4.TMP",
                     " 3 \r\n 4 \r\n 2 \r\n 5 \r\n 41000.5 \r\n 41100.25 \r\n");
    ScriptedAsker asker;
    asker.answers = {true};
    auto window = openMainWindow(ui, asker, false);
    QCOMPARE(asker.asked.size(), std::size_t{1});
    const auto& question = asker.asked.front();
    QCOMPARE(question.kind, QStringLiteral("yesNo"));
    QVERIFY(question.yesIsDefault); // Enter keeps the heat
    QCOMPARE(question.title, QStringLiteral("El programa s'ha tancat involuntàriament"));
    QCOMPARE(question.text, QStringLiteral("Vols recuperar?\r\rProva: Prova 3\rModalitat: "
                                           "Cursa\rSèrie: 2\rMàniga: 5\r"));
    QVERIFY(!fs::exists(dir.path() / "ZTR4.TMP"));
    QCOMPARE(ui.app.activeSelection.event, std::int16_t{3});
    QCOMPARE(ui.app.activeSelection.programmeType, ProgrammeType::Race);
    QCOMPARE(ui.app.activeSelection.seriesNumber, std::int16_t{2});
    QCOMPARE(ui.app.activeSelection.heatsDone, std::int16_t{5});
    QCOMPARE(ui.app.activeSelection.heatStart, 41100.25f);
    QCOMPARE(window->selectedSeries(ProgrammeType::Race), 1);
}

void StartupTest::answeringNoDiscardsTheHeat() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path(), 1);
    test::writeBytes(dir.path() / "ZTR4.TMP", "1\n4\n1\n2\n500\n");
    ScriptedAsker asker; // answers No
    {
        auto window = openMainWindow(ui, asker, false);
        QCOMPARE(asker.asked.size(), std::size_t{1});
        QVERIFY(!ui.app.abnormalEnd);
        QCOMPARE(ui.app.activeSelection.programmeType, ProgrammeType::Practice);
        QCOMPARE(ui.app.activeSelection.seriesNumber, std::int16_t{0});
        QVERIFY(!fs::exists(dir.path() / "ZTR4.TMP"));
        window->close();
    }
    auto again = openMainWindow(ui, asker, false);
    QCOMPARE(asker.asked.size(), std::size_t{1}); // nothing asked the second time
}

// Through the real message box: the reflex Enter of an organiser in a hurry.
void StartupTest::enterOnTheRealQuestionKeepsTheHeat() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path(), 1);
    test::writeBytes(dir.path() / "ZTR4.TMP", "1\n4\n1\n2\n500\n");
    MessageBoxAsker boxes;
    QString title;
    whenModal([&](QDialog* box) {
        title = box->windowTitle();
        QTest::keyClick(box, Qt::Key_Return);
    });
    auto window = openMainWindow(ui, boxes, false);
    QCOMPARE(title, QStringLiteral("El programa s'ha tancat involuntàriament"));
    QCOMPARE(ui.app.activeSelection.programmeType, ProgrammeType::Race);
    QCOMPARE(ui.app.activeSelection.heatsDone, std::int16_t{2});
    QVERIFY(ui.app.abnormalEnd); // starting the heat replays its journal
}

void StartupTest::resumeFileIsIgnoredAfterANormalEnd() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path(), 1);
    test::writeBytes(dir.path() / "ZTR4.INI", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    test::writeBytes(dir.path() / "ZTR4.TMP", "1\n4\n1\n2\n500\n");
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    QVERIFY(asker.asked.empty());
    QVERIFY(fs::exists(dir.path() / "ZTR4.TMP"));
    QVERIFY(!ui.app.abnormalEnd);
}

void StartupTest::autorunsStartsPracticeWithoutAnEvent() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path(), 0);
    test::writeBytes(dir.path() / "ZTR4.INI", "-1\r\n-1\r\n-1\r\n-1\r\n-1\r\n0\r\n");
    test::writeBytes(dir.path() / "ZTR4.TMP", "1\n4\n1\n2\n500\n");
    test::writeBytes(dir.path() / "AUTORUNS.INI", "");
    ScriptedAsker asker;
    int practice = 0;
    auto window = openMainWindow(
        ui, asker, false, [&](MainWindow& w) { w.setCommand("MnuPrg", 0, [&] { ++practice; }); });
    QCOMPARE(practice, 1);
    QVERIFY(asker.asked.empty());
    QVERIFY(fs::exists(dir.path() / "ZTR4.TMP")); // a normal end leaves it alone
}

void StartupTest::garbageStateFilesAreNotFatal() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path(), 2);
    test::writeBytes(dir.path() / "ZTR4.INI", "\x01garbage\xff\n77777777\n");
    test::writeBytes(dir.path() / "ZTR4.TMP", "nonsense\n\x02\x03");
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    QVERIFY(window->isVisible());
    QCOMPARE(asker.asked.size(), std::size_t{1});
    QCOMPARE(asker.asked.front().kind, QStringLiteral("message"));
    QVERIFY(!fs::exists(dir.path() / "ZTR4.TMP"));
    QVERIFY(!fs::exists(dir.path() / "ZTR4.INI"));
    QCOMPARE(window->eventList()->currentRow(), 1); // the catalogue's last event

    // A resume file naming an event that does not exist is reported too.
    UiContext next;
    next.app.dataDir = dir.path();
    test::writeBytes(dir.path() / "ZTR4.TMP", "9\n4\n1\n2\n500\n");
    fs::remove(dir.path() / "ZTR4.INI");
    ScriptedAsker second;
    auto other = openMainWindow(next, second, false);
    QCOMPARE(second.asked.size(), std::size_t{1});
    QCOMPARE(second.asked.front().kind, QStringLiteral("message"));

    // So is one naming a race series that the event does not have.
    UiContext third;
    third.app.dataDir = dir.path();
    test::writeBytes(dir.path() / "ZTR4.TMP", "2\n4\n3\n2\n500\n");
    fs::remove(dir.path() / "ZTR4.INI");
    ScriptedAsker asker3;
    asker3.answers = {true};
    auto last = openMainWindow(third, asker3, false);
    QCOMPARE(asker3.asked.size(), std::size_t{1});
    QCOMPARE(asker3.asked.front().kind, QStringLiteral("message"));
    QCOMPARE(third.app.activeSelection.seriesNumber, std::int16_t{0});
    QVERIFY(!third.app.abnormalEnd);
    QVERIFY(!fs::exists(dir.path() / "ZTR4.TMP"));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
