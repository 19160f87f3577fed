#include "heat/qt/heat_panel.h"
#include "shell/qt/cover.h"
#include "shell/qt/help_window.h"
#include "shell/qt/main_window.h"
#include "shell/qt/startup_sequence.h"
#include "storage/event_manager.h"
#include "storage/qt/event_manager_window.h"
#include "storage/track_config.h"
#include "support/qt/qt_test_support.h"
#include "support/temp_dir.h"
#include "texts/qt/window_texts.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTextBrowser>
#include <QtTest>

using namespace cronovolta;
using cronovolta::test::clickButton;
using cronovolta::test::ScriptedAsker;
using cronovolta::test::TempDir;
using cronovolta::test::whenModal;

namespace {

void prepareFolder(UiContext& ui, const fs::path& dir) {
    ui.app.dataDir = dir;
    ui.app.programConfig = defaultProgramSettings();
    TrackConfig track = defaultTrackConfig();
    track.lanes = 4;
    deriveTrackConfig(track);
    QVERIFY(saveTrackConfig(dir / "PISTA.CFG", track).has_value());
    QVERIFY(saveProgramSettings(dir / "ZENTOR.CFG", ui.app.programConfig).has_value());
}

QString menuTitle(MainWindow& w, const char* name) {
    return w.findChild<QMenu*>(QString::fromLatin1(name))->title();
}

std::int16_t raceCount(const fs::path& eventDir) {
    const std::string bytes = test::readBytes(eventDir / "PROVA.DAD");
    return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[6]) |
                                     (static_cast<unsigned char>(bytes[7]) << 8));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void eventCreatedThroughTheDialogIsListedAndStored();
    void emptyEventNameIsRefused();
    void castilianRelabelsTheMainWindowWhenSettingsClose();
    void closingSettingsWithoutSavingKeepsTheLanguage();
    void newSeriesAsksFirst();
    void commandsFollowTheEventAndItsSeries();
    void everyMainWindowTextFindsItsControl();
    void closingTheEventManagerRebuildsTheCatalogue();
    void heatPanelReplacesTheSideBar();
    void buttonBarsWrapOnANarrowScreen();
    void helpFollowsTheLanguage();
    void helpOpensInFrontOfADialogAndEscapeClosesIt();
    void laterScreensConnectThroughCommands();
};

void MainWindowTest::eventCreatedThroughTheDialogIsListedAndStored() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ScriptedAsker asker;
    asker.answers = {true};
    auto window = openMainWindow(ui, asker, false);
    QCOMPARE(window->eventList()->count(), 0);
    whenModal([](QDialog* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Nova prova"));
        d->findChild<QLineEdit*>(QStringLiteral("TextProva"))
            ->setText(QStringLiteral("  Gran Premi "));
        d->findChild<QLineEdit*>(QStringLiteral("TextData"))
            ->setText(QStringLiteral("07-12-2026 "));
        QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("TextProva")), Qt::Key_Return);
    });
    window->runCommand("MnuNovaProva");
    QCOMPARE(asker.asked.size(), std::size_t{1});
    QCOMPARE(asker.asked[0].kind, QStringLiteral("okCancel"));
    QCOMPARE(asker.asked[0].title, QStringLiteral("Nova prova"));
    QCOMPARE(asker.asked[0].text, QStringLiteral("  Gran Premi\r\r07-12-2026"));
    QCOMPARE(window->eventList()->count(), 1);
    QCOMPARE(window->eventList()->item(0)->text(), QStringLiteral("Gran Premi"));
    QCOMPARE(window->dateList()->item(0)->text(), QStringLiteral("07-12-2026"));
    QCOMPARE(window->eventList()->currentRow(), 0);
    QCOMPARE(ui.app.activeSelection.event, std::int16_t{1});
    QVERIFY(fs::exists(dir.path() / "PROVA001" / "PROVA.DAD"));
    QVERIFY(fs::exists(dir.path() / "PROVA001" / "PISTA.CFG"));
    const std::string catalogue = test::readBytes(dir.path() / "PROVES.LLS");
    QCOMPARE(catalogue, std::string("\x0a\x00Gran Premi\x0a\x00"
                                    "07-12-2026",
                                    24));
    QVERIFY(window->action("MnuIns", 0)->isEnabled());
}

void MainWindowTest::emptyEventNameIsRefused() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    bool stayedOpen = false;
    whenModal([&](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("TextProva"))->setText(QStringLiteral("   "));
        clickButton(d, QStringLiteral("Sortir_1"));
        stayedOpen = d->isVisible();
        d->reject();
    });
    window->runCommand("MnuNovaProva");
    QVERIFY(stayedOpen);
    QCOMPARE(asker.asked.size(), std::size_t{1});
    QCOMPARE(asker.asked[0].title, QStringLiteral("Error"));
    QCOMPARE(asker.asked[0].text, QStringLiteral("Falta el nom de la prova"));
    QVERIFY(!fs::exists(dir.path() / "PROVA001"));

    // A name the files cannot hold is refused in the organiser's language.
    whenModal([&](QDialog* d) {
        d->findChild<QLineEdit*>(QStringLiteral("TextProva"))->setText(QStringLiteral("Open ☃"));
        clickButton(d, QStringLiteral("Sortir_1"));
        d->reject();
    });
    window->runCommand("MnuNovaProva");
    QCOMPARE(asker.asked.size(), std::size_t{2});
    QVERIFY(asker.asked[1].text.startsWith(QStringLiteral("El nom o la data tenen caràcters")));
    QVERIFY(!fs::exists(dir.path() / "PROVA001"));
}

void MainWindowTest::castilianRelabelsTheMainWindowWhenSettingsClose() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    EventManagerWindow openManager(ui, asker, window.get());
    openManager.show();
    QCOMPARE(openManager.windowTitle(), QStringLiteral("Gestor de proves"));

    QString titleWhileOpen;
    QString saveWhileOpen;
    whenModal([&](QDialog* d) {
        auto* language = d->findChild<QComboBox*>(QStringLiteral("LlIdioma"));
        language->setCurrentIndex(1);
        emit language->activated(1);
        titleWhileOpen = d->windowTitle();
        saveWhileOpen = d->findChild<QPushButton*>(QStringLiteral("Sortir_1"))->text();
        QCOMPARE(language->itemText(1), QStringLiteral("Español"));
        QCOMPARE(language->currentIndex(), 1);
        QCOMPARE(menuTitle(*window, "MnuArxiu"), QStringLiteral("Arxiu")); // not yet
        clickButton(d, QStringLiteral("Sortir_1"));
    });
    window->runCommand("MnuCfg", 0);
    QCOMPARE(titleWhileOpen, QStringLiteral("Configuración del programa"));
    QCOMPARE(saveWhileOpen, QStringLiteral("&Grabar"));
    QCOMPARE(menuTitle(*window, "MnuArxiu"), QStringLiteral("Archivo"));
    QCOMPARE(window->action("MnuPrg", 4)->text(), QStringLiteral("Carrera"));
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("BotoSortir"))->text(),
             QStringLiteral("Salir"));
    QCOMPARE(ui.message(0, 11), std::string("¿Quieres recuperar?"));
    QCOMPARE(test::readBytes(dir.path() / "ZENTOR.CFG").substr(0, 2), std::string("\x01\x00", 2));
    // An open secondary window keeps its texts until it is opened again.
    QCOMPARE(openManager.windowTitle(), QStringLiteral("Gestor de proves"));
    EventManagerWindow reopened(ui, asker, window.get());
    QCOMPARE(reopened.windowTitle(), QStringLiteral("Gestor de pruebas"));
}

void MainWindowTest::closingSettingsWithoutSavingKeepsTheLanguage() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    const std::string before = test::readBytes(dir.path() / "ZENTOR.CFG");
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    whenModal([](QDialog* d) {
        auto* language = d->findChild<QComboBox*>(QStringLiteral("LlIdioma"));
        language->setCurrentIndex(1);
        emit language->activated(1);
        QTest::keyClick(d, Qt::Key_Escape);
    });
    window->runCommand("MnuCfg", 0);
    QCOMPARE(ui.language(), 0);
    QCOMPARE(menuTitle(*window, "MnuArxiu"), QStringLiteral("Arxiu"));
    QCOMPARE(test::readBytes(dir.path() / "ZENTOR.CFG"), before);
}

void MainWindowTest::newSeriesAsksFirst() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    EventManager manager(dir.path());
    QVERIFY(manager.createEvent("Open", "01-01-2026").has_value());
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    const fs::path event = dir.path() / "PROVA001";
    QCOMPARE(raceCount(event), std::int16_t{1});

    asker.answers = {false};
    window->runCommand("MnuNou", index(ProgrammeType::Race));
    QCOMPARE(asker.asked.back().text, QStringLiteral("Vols crear la sèrie n. 2?"));
    QCOMPARE(raceCount(event), std::int16_t{1});

    int prepared = 0;
    window->prepareNewRaceSeries = [&](int seriesNumber) { prepared = seriesNumber; };
    asker.answers = {true};
    clickButton(window.get(), QStringLiteral("BotoNou_4"));
    QCOMPARE(raceCount(event), std::int16_t{2});
    QCOMPARE(window->seriesList(ProgrammeType::Race)->count(), 2);
    QCOMPARE(window->selectedSeries(ProgrammeType::Race), 1);
    QCOMPARE(prepared, 2);
}

void MainWindowTest::commandsFollowTheEventAndItsSeries() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, true);
    QVERIFY(!window->findChild<QMenu*>(QStringLiteral("MnuDades"))->menuAction()->isEnabled());
    QVERIFY(window->eventList()->isHidden());
    QVERIFY(!window->action("MnuCfg", 2)->isEnabled());
    QVERIFY(window->action("MnuCfg", 1)->isEnabled());
    // The side bar keeps its width while its lists are hidden: no caption is cut.
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QWidget* sideBar = window->findChild<QScrollArea*>(QStringLiteral("BarraLateral"))->viewport();
    for (const char* name : {"BotoPrg_0", "BotoIns_0"}) {
        auto* button = window->findChild<QPushButton*>(QString::fromLatin1(name));
        QVERIFY(button->mapTo(sideBar, QPoint(button->width(), 0)).x() <= sideBar->width());
    }

    test::writeBytes(dir.path() / "DISTRIBUCIONS04.TXT", "8 2\n"); // new events start empty
    QVERIFY(EventManager(dir.path()).createEvent("Open", "01-01-2026").has_value());
    window->loadCatalog();
    QVERIFY(!window->eventList()->isHidden());
    QVERIFY(window->findChild<QMenu*>(QStringLiteral("MnuDades"))->menuAction()->isEnabled());
    QVERIFY(window->action("MnuPrg", 1)->isEnabled()); // free practice always has its series
    QVERIFY(!window->action("MnuPrg", 4)->isEnabled());
    QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("BotoPrg_4"))->isEnabled());
    QVERIFY(!window->action("MnuPen", 4)->isEnabled());
    QVERIFY(window->action("MnuNou", 4)->isEnabled());
    QCOMPARE(window->seriesList(ProgrammeType::Race)->count(), 0);

    QVERIFY(EventManager(dir.path()).addSeries(1, ProgrammeType::Race).has_value());
    window->selectEvent(0);
    QVERIFY(window->action("MnuPrg", 4)->isEnabled());
    QVERIFY(window->findChild<QPushButton*>(QStringLiteral("BotoPen_4"))->isEnabled());
    QVERIFY(window->findChild<QAction*>(QStringLiteral("MnuExportar"))->isEnabled());
}

void MainWindowTest::everyMainWindowTextFindsItsControl() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ScriptedAsker asker;
    MainWindow window(ui, asker);
    for (int language : {kLanguageCatalan, kLanguageCastilian}) {
        MessageTable messages;
        auto texts = localiseWindow("Portada", language, messages);
        std::erase_if(texts, [](const WindowText& t) { return t.control == "HelpFile"; });
        QCOMPARE(applyWindowTexts(&window, texts), static_cast<int>(texts.size()));
    }
}

void MainWindowTest::closingTheEventManagerRebuildsTheCatalogue() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    EventManager manager(dir.path());
    for (const char* name : {"Primera", "Segona", "Tercera"}) {
        QVERIFY(manager.createEvent(name, "01-01-2026").has_value());
    }
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    QCOMPARE(window->eventList()->count(), 3);
    asker.answers = {true};
    whenModal([&](QDialog* d) {
        auto* manager = qobject_cast<EventManagerWindow*>(d);
        manager->selectEvent(0);
        QCOMPARE(manager->seriesCountLabel()->text(), QStringLiteral("1 sèries"));
        QCOMPARE(manager->heatCountLabel()->text(), QStringLiteral("0 mànigues"));
        QVERIFY(manager->files()->count() >= 2);
        clickButton(d, QStringLiteral("Sortir_2"));
        QCOMPARE(asker.asked.back().title, QStringLiteral("Primera"));
        QCOMPARE(asker.asked.back().text, QStringLiteral("Segur que vols eliminar aquesta prova?"));
        QCOMPARE(manager->events()->count(), 2);
        QTest::keyClick(d, Qt::Key_Escape);
    });
    window->runCommand("MnuGestor");
    QCOMPARE(window->eventList()->count(), 2);
    QCOMPARE(window->eventList()->item(0)->text(), QStringLiteral("Segona"));
    QCOMPARE(window->eventList()->currentRow(), 1);
    QVERIFY(!fs::exists(dir.path() / "PROVA003"));
}

void MainWindowTest::heatPanelReplacesTheSideBar() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    QVERIFY(EventManager(dir.path()).createEvent("Open", "01-01-2026").has_value());
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, true); // 800 x 600 offscreen
    HeatPanel* panel = window->heatPanel();
    QVERIFY(!panel->isVisible());
    window->setProgrammeOpen(true);
    QVERIFY(panel->isVisible());
    QVERIFY(!window->eventList()->isVisible());
    // The child windows of the programme get most of the width.
    QTRY_VERIFY_WITH_TIMEOUT(window->mdiArea()->width() > 2 * panel->width(), 5000);
    QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("BotoCfg_0"))->isVisible());
    QCOMPARE(panel->button(4)->text(), QStringLiteral("(A)nul·lar"));
    QVERIFY(panel->button(5)->isVisible());
    QVERIFY(!panel->rejectedCrossings()->isVisible());
    QVERIFY(!panel->pauseLabel()->isVisible());
    QVERIFY(!qobject_cast<Cover*>(window->mdiArea())->pictureShown());
    QVERIFY(!window->findChild<QMenu*>(QStringLiteral("MnuArxiu"))->menuAction()->isEnabled());
    window->setHeatRunning(true);
    QVERIFY(!window->findChild<QMenu*>(QStringLiteral("MnuAjuda"))->menuAction()->isEnabled());
    window->showHelp();
    QVERIFY(window->helpWindow() == nullptr); // no help while a heat runs
    // The button bar does not reach past the locked menus.
    int opened = 0;
    window->setCommand("MnuCfg", 0, [&] { ++opened; });
    window->setCommand("MnuNou", index(ProgrammeType::Race), [&] { ++opened; });
    for (const char* button : {"BotoCfg_0", "BotoNou_4", "BotoSortir"}) {
        clickButton(window.get(), QString::fromLatin1(button));
    }
    QCOMPARE(opened, 0);
    QVERIFY(window->isVisible());
    window->setHeatRunning(false);
    window->setProgrammeOpen(false);
    clickButton(window.get(), QStringLiteral("BotoCfg_0"));
    clickButton(window.get(), QStringLiteral("BotoNou_4"));
    QCOMPARE(opened, 2);
    QVERIFY(window->eventList()->isVisible());
    QVERIFY(window->findChild<QMenu*>(QStringLiteral("MnuArxiu"))->menuAction()->isEnabled());
}

void MainWindowTest::buttonBarsWrapOnANarrowScreen() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ui.app.programConfig.language = kLanguageCastilian; // the longer captions
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, true); // 800 x 600 offscreen
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->objectName().startsWith(QStringLiteral("BotoCfg")) ||
            button->objectName().startsWith(QStringLiteral("BotoNou")) ||
            button->objectName() == QStringLiteral("BotoIns_100") ||
            button->objectName() == QStringLiteral("BotoSortir")) {
            QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
            QVERIFY(button->mapTo(window.get(), QPoint(button->width(), 0)).x() <= window->width());
        }
    }
}

void MainWindowTest::helpFollowsTheLanguage() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F1);
    QVERIFY(window->helpWindow() != nullptr);
    QVERIFY(window->helpWindow()->isVisible());
    QVERIFY(window->helpWindow()->browser()->toPlainText().contains(
        QStringLiteral("Configurar la pista")));
    ui.app.programConfig.language = kLanguageCastilian;
    window->relocalise();
    QVERIFY(window->helpWindow()->browser()->toPlainText().contains(
        QStringLiteral("Preparar una prueba")));
    QVERIFY(asker.asked.empty());
}

void MainWindowTest::helpOpensInFrontOfADialogAndEscapeClosesIt() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    bool helpUsable = false;
    bool escapeClosed = false;
    whenModal([&](QDialog* dialog) {
        QTest::keyClick(dialog, Qt::Key_F1);
        HelpWindow* help = window->helpWindow();
        // Shown above the dialog and not blocked by it.
        helpUsable =
            help != nullptr && help->isVisible() && QApplication::activeModalWidget() == help;
        if (help != nullptr) {
            QTest::keyClick(help->browser(), Qt::Key_Escape);
            escapeClosed = !help->isVisible();
        }
        dialog->reject();
    });
    QDialog dialog(window.get());
    dialog.exec();
    QVERIFY(helpUsable);
    QVERIFY(escapeClosed);
    // Without a dialog the help stays a window beside the main window.
    QTest::keyClick(window.get(), Qt::Key_F1);
    QVERIFY(window->helpWindow()->isVisible());
    QCOMPARE(window->helpWindow()->windowModality(), Qt::NonModal);
}

void MainWindowTest::laterScreensConnectThroughCommands() {
    TempDir dir;
    UiContext ui;
    prepareFolder(ui, dir.path());
    ScriptedAsker asker;
    auto window = openMainWindow(ui, asker, false);
    window->runCommand("MnuIns100");
    QCOMPARE(asker.asked.size(), std::size_t{1});
    QCOMPARE(asker.asked[0].text, QStringLiteral("Aquesta funció encara no està disponible."));
    int opened = 0;
    window->setCommand("MnuIns100", [&] { ++opened; });
    clickButton(window.get(), QStringLiteral("BotoIns_100"));
    window->action("MnuIns100")->trigger();
    QCOMPARE(opened, 2);
    // Manual crossings do nothing until the live heat takes them.
    window->action("Manual", 3)->trigger();
    QCOMPARE(asker.asked.size(), std::size_t{1});
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
