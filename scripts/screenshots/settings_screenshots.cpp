// Not a test: draws the program settings' sections of the announcements and of the live
// results, and the main window with the live page's address. Runs only when
// CRONOVOLTA_SCREENSHOTS names the folder to write them into.

#include "shell/qt/live_fixture.h"

#include "announce/qt/announce_settings_box.h"
#include "live/qt/live_server.h"
#include "live/qt/live_settings_box.h"
#include "shell/qt/live_results.h"
#include "storage/qt/settings_dialog.h"
#include "support/qt/screen_fixture.h"

#include <QtTest>

using namespace cronovolta;

class SettingsScreenshots : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_folder = qEnvironmentVariable("CRONOVOLTA_SCREENSHOTS");
        if (m_folder.isEmpty()) {
            QSKIP("set CRONOVOLTA_SCREENSHOTS to the folder of the screenshots");
        }
    }

    void announcements() {
        test::ScreenFixture f;
        test::writeBytes(f.dir.path() / "ANNOUNCE.INI",
                         "enabled=1\nevents=start,pause,restart,fastest,leader,lastminute,end\n"
                         "heat_seconds=300\nsilent_seconds=20\nrate=2\n");
        SettingsDialog dialog(f.ui, f.asker, true);
        addAnnounceSection(dialog, f.dir.path(), kLanguageCatalan, f.asker);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(
            dialog.grab().save(m_folder + QStringLiteral("/program-settings-announcements.png")));
    }

    void liveResults() {
        if (!live::LiveServer::builtIn()) {
            QSKIP("built without Qt's HTTP server and WebSockets");
        }
        test::LiveFixture f(4, 4);
        f.start();
        LiveResults results(*f.window, *f.session, live::ServeAddress{"127.0.0.1", 8080});
        f.window->resize(1024, 700);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QVERIFY(f.window->grab().save(m_folder + QStringLiteral("/main-window-live-address.png")));
        SettingsDialog dialog(f.ui, f.asker, true);
        live::addLiveSection(dialog, f.dir.path(), 0, f.asker);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.grab().save(m_folder + QStringLiteral("/program-settings-live.png")));
    }

private:
    QString m_folder;
};

QTEST_MAIN(SettingsScreenshots)
#include "settings_screenshots.moc"
