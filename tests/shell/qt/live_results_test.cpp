// The live results in the desktop program: the settings that switch the server on, the
// address in the main window, a port already taken.
#include "live_fixture.h"

#include "live/live_settings.h"
#include "live/qt/live_server.h"
#include "live/qt/live_settings_box.h"
#include "shell/qt/live_results.h"
#include "storage/qt/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTcpServer>

using namespace cronovolta;

namespace {

// A port nobody listens on now.
int freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void writeSettings(const fs::path& dataDir, bool enabled, int port) {
    live::LiveSettings s;
    s.enabled = enabled;
    s.port = port;
    s.address = "127.0.0.1";
    QVERIFY(live::saveLiveSettings(dataDir, s));
}

} // namespace

class LiveResultsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        if (!live::LiveServer::builtIn()) {
            QSKIP("built without Qt's HTTP server and WebSockets");
        }
    }

    void settingsSwitchTheServerOnAndOff() {
        test::LiveFixture f(4, 4);
        f.start();
        LiveResults results(*f.window, *f.session);
        QVERIFY(!results.server().listening()); // off without a settings file
        QVERIFY(results.statusText().isEmpty());

        const int port = freePort();
        writeSettings(f.dir.path(), true, port);
        emit f.window->relocalised(); // what the settings dialog ends with
        QVERIFY(results.server().listening());
        QCOMPARE(results.server().port(), port);
        QVERIFY(results.statusText().contains(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
        auto* qr = f.window->findChild<QLabel*>(QStringLiteral("liveQr"));
        QVERIFY(qr);
        QVERIFY(!qr->pixmap().isNull());

        writeSettings(f.dir.path(), false, port);
        emit f.window->relocalised();
        QVERIFY(!results.server().listening());
        QVERIFY(results.statusText().isEmpty());
    }

    void portInUseIsToldAndTheTimingGoesOn() {
        test::LiveFixture f(4, 4);
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
        writeSettings(f.dir.path(), true, taken.serverPort());
        f.start();
        LiveResults results(*f.window, *f.session);
        QVERIFY(!results.server().listening());
        QVERIFY2(results.statusText().startsWith(
                     QStringLiteral(
                         "No s'ha pogut obrir el servidor de resultats a http://127.0.0.1:%1/")
                         .arg(taken.serverPort())),
                 qPrintable(results.statusText()));
        QVERIFY(results.statusText().endsWith(QStringLiteral("El cronometratge continua.")));
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->heatKey('S');
        f.cross(1, 3.0);
        f.cross(1, 3.0);
        QCOMPARE(f.session->engine()->lanes().panel(1).lapCount(), 2);
        // --serve wins over the settings.
        LiveResults serving(*f.window, *f.session, live::ServeAddress{"127.0.0.1", 0});
        QVERIFY(serving.server().listening());
    }

    void serveOptionIsTakenOutOfTheArguments() {
        std::vector<std::string> args{"--data", "x", "--serve", "127.0.0.1:9000", "--resume"};
        auto serve = takeServeOption(args);
        QVERIFY(serve && *serve);
        QCOMPARE((*serve)->address, std::string("127.0.0.1"));
        QCOMPARE((*serve)->port, 9000);
        QCOMPARE(args, (std::vector<std::string>{"--data", "x", "--resume"}));
        std::vector<std::string> none{"--resume"};
        serve = takeServeOption(none);
        QVERIFY(serve && !*serve);
        for (std::vector<std::string> bad :
             {std::vector<std::string>{"--serve"}, std::vector<std::string>{"--serve", "web"}}) {
            QVERIFY(!takeServeOption(bad));
        }
        std::vector<std::string> address{"--address", "127.0.0.1", "--resume"};
        auto taken = takeAddressOption(address);
        QVERIFY(taken && *taken == std::string("127.0.0.1"));
        QCOMPARE(address, (std::vector<std::string>{"--resume"}));
        for (std::vector<std::string> bad : {std::vector<std::string>{"--address"},
                                             std::vector<std::string>{"--address", "pista"}}) {
            QVERIFY(!takeAddressOption(bad));
        }
    }

    // Listening on every network is said where the organiser looks; --address 127.0.0.1
    // keeps the page to this computer.
    void openToTheWholeNetworkIsSaid() {
        test::LiveFixture f(4, 4);
        f.start();
        {
            LiveResults everywhere(*f.window, *f.session, live::ServeAddress{"0.0.0.0", 0});
            QVERIFY(everywhere.server().listening());
            QVERIFY2(everywhere.statusText().contains(QStringLiteral("tota la xarxa")),
                     qPrintable(everywhere.statusText()));
        }
        LiveResults here(*f.window, *f.session, live::ServeAddress{"0.0.0.0", 0},
                         std::string("127.0.0.1"));
        QCOMPARE(here.server().address(), QStringLiteral("127.0.0.1"));
        QVERIFY(!here.statusText().contains(QStringLiteral("xarxa")));
    }

    void settingsBoxSavesItsFileAndRefusesABadAddress() {
        test::LiveFixture f(4, 4);
        live::LiveSettingsBox box(f.dir.path(), 1);
        box.findChild<QCheckBox*>()->setChecked(true);
        box.findChild<QSpinBox*>()->setValue(9123);
        auto* address = box.findChild<QComboBox*>();
        address->setCurrentIndex(1);
        QVERIFY(box.save());
        auto loaded = live::loadLiveSettings(f.dir.path(), 1);
        QVERIFY(loaded);
        QVERIFY(loaded->settings.enabled);
        QCOMPARE(loaded->settings.port, 9123);
        QCOMPARE(loaded->settings.address, std::string("127.0.0.1"));
        address->setEditText(QStringLiteral("every network please"));
        auto refused = box.save();
        QVERIFY(!refused);
        QVERIFY(refused.error().startsWith(QStringLiteral("No se han podido guardar")));
        QCOMPARE(live::loadLiveSettings(f.dir.path(), 1)->settings.port, 9123); // kept
        // The other names: a bad one refuses the save, good ones are kept in the file.
        address->setCurrentIndex(1);
        auto* hosts = box.findChild<QLineEdit*>(QStringLiteral("liveHosts"));
        QVERIFY(hosts);
        hosts->setText(QStringLiteral("pista.club, mal nom"));
        QVERIFY(!box.save());
        hosts->setText(QStringLiteral("pista.club, cronometre"));
        QVERIFY(box.save());
        QCOMPARE(live::loadLiveSettings(f.dir.path(), 1)->settings.hosts,
                 (std::vector<std::string>{"pista.club", "cronometre"}));
        live::LiveSettingsBox again(f.dir.path(), 1);
        QCOMPARE(again.settingsFromFields().hosts,
                 (std::vector<std::string>{"pista.club", "cronometre"}));
    }
};

QTEST_MAIN(LiveResultsTest)
#include "live_results_test.moc"
