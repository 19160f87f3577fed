// The live-results page in a real browser (Debian's chromium, headless) against the desktop
// program's server during a heat and after it.
#include "live_fixture.h"

#include "live/live_classification.h"
#include "live/qt/live_server.h"
#include "shell/qt/live_results.h"
#include "support/cli_run.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace cronovolta;

namespace {

using Rows = std::vector<QStringList>;

QString unescaped(QString html) {
    html.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    html.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    html.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    html.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return html;
}

// The body rows of the table `id` in a page's serialised DOM.
Rows tableRows(const QString& dom, const QString& id) {
    Rows rows;
    const QRegularExpression table(QStringLiteral("<table id=\"%1\">(.*?)</table>").arg(id),
                                   QRegularExpression::DotMatchesEverythingOption);
    const QString body = table.match(dom).captured(1).section(QStringLiteral("<tbody>"), 1);
    const QRegularExpression row(QStringLiteral("<tr>(.*?)</tr>"),
                                 QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression cell(QStringLiteral("<td[^>]*>(.*?)</td>"),
                                  QRegularExpression::DotMatchesEverythingOption);
    for (auto r = row.globalMatch(body); r.hasNext();) {
        QStringList cells;
        const QString inner = r.next().captured(1);
        for (auto c = cell.globalMatch(inner); c.hasNext();) {
            cells << unescaped(c.next().captured(1));
        }
        rows.push_back(cells);
    }
    return rows;
}

} // namespace

class LivePageTest : public QObject {
    Q_OBJECT

    QString m_chromium;
    test::TempDir m_profile;

    // Runs chromium headless on `url` with `options`; the event loop goes on meanwhile, so the
    // server answers it. Returns its standard output.
    QByteArray browse(const QStringList& options, const QString& url) {
        QProcess browser;
        QStringList args{QStringLiteral("--headless"),
                         QStringLiteral("--no-sandbox"),
                         QStringLiteral("--disable-gpu"),
                         QStringLiteral("--disable-dev-shm-usage"),
                         QStringLiteral("--no-first-run"),
                         QStringLiteral("--hide-scrollbars"),
                         QStringLiteral("--user-data-dir=") +
                             QString::fromStdString(m_profile.path().string()),
                         QStringLiteral("--virtual-time-budget=3000")};
        browser.start(m_chromium, args + options + QStringList{url});
        if (!browser.waitForStarted(10000)) {
            return {};
        }
        QByteArray out;
        QElapsedTimer elapsed;
        elapsed.start();
        while (browser.state() != QProcess::NotRunning && elapsed.elapsed() < 45000) {
            QTest::qWait(20);
            out += browser.readAllStandardOutput();
        }
        if (browser.state() != QProcess::NotRunning) {
            browser.kill();
            browser.waitForFinished(5000);
        }
        return out + browser.readAllStandardOutput();
    }

    void screenshot(const QString& url, const char* name, int width, int height) {
        const QString folder = qEnvironmentVariable("CRONOVOLTA_SCREENSHOTS");
        if (folder.isEmpty()) {
            return;
        }
        const QString file = folder + QLatin1Char('/') + QLatin1String(name);
        browse({QStringLiteral("--screenshot=") + file,
                QStringLiteral("--window-size=%1,%2").arg(width).arg(height)},
               url);
        QVERIFY(QFile::exists(file));
    }

private slots:
    void initTestCase() {
        m_chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (m_chromium.isEmpty()) {
            QSKIP("chromium is not installed (scripts/install-deps.sh installs it)");
        }
        if (!live::LiveServer::builtIn()) {
            QSKIP("built without Qt's HTTP server and WebSockets");
        }
    }

    // During the heat the page shows the standings grid's rows; after it, the series
    // classification that the command line prints. A name that is markup stays text.
    void pageShowsTheHeatAndThenTheClassification() {
        test::LiveFixture f(4, 4);
        const std::vector<std::string> names{"Anna Puig", "<img src=x onerror=alert(1)>",
                                             "Clara Vidal", "Dídac Roca"};
        ParticipantList list;
        list.names = names;
        QVERIFY(writeParticipantList(participantFile(f.eventDir(), ProgrammeType::Race, 1), list));
        f.start();
        live::ServeAddress where{"127.0.0.1", 0};
        LiveResults results(*f.window, *f.session, where);
        QVERIFY(results.server().listening());
        QVERIFY(results.statusText().contains(QString::number(results.server().port())));
        const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(results.server().port());

        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        f.session->heatKey('S');
        for (int lap = 0; lap < 5; ++lap) {
            for (int lane = 1; lane <= 4; ++lane) {
                if (lane != 2 || lap < 4) {
                    f.cross(lane, 1.0 + 0.1 * lane);
                }
            }
        }
        f.session->syncScreens();
        results.publishNow();

        const QString dom = QString::fromUtf8(browse({QStringLiteral("--dump-dom")}, url));
        QVERIFY2(dom.contains(QStringLiteral("<table id=\"standings\">")),
                 qPrintable(dom.left(300)));
        QVERIFY(!dom.contains(QStringLiteral("<img")));
        QVERIFY(dom.contains(QStringLiteral("&lt;img src=x onerror=alert(1)&gt;")));
        const Rows shown = tableRows(dom, QStringLiteral("standings"));
        const StandingsGrid& grid = f.session->engine()->standings();
        QCOMPARE(int(shown.size()), grid.rowCount());
        for (int r = 1; r <= grid.rowCount(); ++r) {
            const QStringList& cells = shown[static_cast<std::size_t>(r - 1)];
            QVERIFY(cells.size() > 3);
            QCOMPARE(cells[0], QString::fromStdString(grid.text(r, col::Rank)));
            QCOMPARE(cells[1], QString::fromStdString(grid.text(r, col::Name)));
            QVERIFY(cells.contains(QString::fromStdString(grid.text(r, col::SeriesLaps))));
        }
        screenshot(url, "live-page-phone.png", 390, 844);
        screenshot(url, "live-page-1366.png", 1366, 768);

        f.clock.advance(2.0);
        f.session->heatKey('S');
        QTRY_COMPARE_WITH_TIMEOUT(f.storedHeats(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!results.server().snapshot().classification.rows.empty(), 10000);

        const auto cli =
            test::runCli(f.dir.path(), {"classify", "1", "CRS", "1"}, m_profile.path());
        QCOMPARE(cli.status, 0);
        Rows printed;
        for (const QString& line :
             QString::fromStdString(cli.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(1)) {
            printed.push_back(line.split(QLatin1Char('\t')));
        }
        QCOMPARE(int(printed.size()), 4);
        auto columns = live::loadLiveClassification(f.dir.path(), 1, ProgrammeType::Race, 1);
        QVERIFY(columns.has_value());

        const QString after = QString::fromUtf8(browse({QStringLiteral("--dump-dom")}, url));
        const Rows classified = tableRows(after, QStringLiteral("classification"));
        QCOMPARE(classified.size(), printed.size());
        for (std::size_t r = 0; r < printed.size(); ++r) {
            int shownColumn = 0;
            for (std::size_t c = 0; c < columns->shown.size(); ++c) {
                if (columns->shown[c]) {
                    QCOMPARE(classified[r].value(shownColumn++), printed[r].value(int(c)));
                }
            }
        }
        QVERIFY(!after.contains(QStringLiteral("<img")));
        screenshot(url, "live-page-between-heats-phone.png", 390, 844);
    }
};

QTEST_MAIN(LivePageTest)
#include "live_page_test.moc"
