// Not a test: draws the screenshots of the documentation from heats run through the real
// windows. Runs only when CRONOVOLTA_SCREENSHOTS names the folder to write them into.

#include "shell/qt/live_fixture.h"

#include "output/qt/printing.h"
#include "results/qt/results_window.h"
#include "shell/qt/print_commands.h"
#include "storage/penalty_record.h"

#include <QPushButton>

#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <random>

using namespace cronovolta;
using cronovolta::test::LiveFixture;

namespace {

const char* const kNames[] = {
    "Marta Puig",   "Jordi Vila",  "Anna Soler",  "Pere Roca",    "Laia Font",     "Marc Serra",
    "Núria Pons",   "Oriol Mas",   "Clara Bosch", "Xavier Gil",   "Roser Camps",   "Albert Ferrer",
    "Montse Vidal", "Joan Riera",  "Carla Sala",  "Pau Costa",    "Elena Prat",    "Gerard Coll",
    "Judit Martí",  "Sergi Roig",  "Berta Casas", "Quim Torrent", "Mireia Sala",   "David Comas",
    "Aina Bover",   "Ramon Pujol", "Sílvia Mir",  "Enric Valls",  "Irene Garriga", "Toni Estrada"};

void writeNames(LiveFixture& f, ProgrammeType programmeType, int count) {
    ParticipantList list;
    for (int i = 0; i < count; ++i) {
        list.names.push_back(kNames[i % 30]);
    }
    writeParticipantList(participantFile(f.eventDir(), programmeType, 1), list);
}

struct Car {
    int lane = 0;
    double pace = 7.0;
    double next = 0.0;
};

// Laps of every lane for `seconds` of the running heat, with the counter's lap times.
void race(LiveFixture& f, int lanes, double seconds, std::mt19937& random, double basePace) {
    std::normal_distribution<double> noise(0.0, 0.18);
    std::vector<Car> cars;
    const double start = f.clock.now();
    for (int lane = 1; lane <= lanes; ++lane) {
        Car car;
        car.lane = lane;
        car.pace = basePace + 0.05 * ((lane * 7) % 11);
        car.next = start + 0.3 + 0.1 * lane;
        cars.push_back(car);
    }
    std::vector<double> last(static_cast<std::size_t>(lanes) + 1, 0.0);
    while (true) {
        auto car = std::min_element(cars.begin(), cars.end(),
                                    [](const Car& a, const Car& b) { return a.next < b.next; });
        if (car->next > start + seconds) {
            break;
        }
        f.clock.set(car->next);
        const auto lane = static_cast<std::size_t>(car->lane);
        const float lap = last[lane] > 0.0 ? static_cast<float>(car->next - last[lane]) : 0.0f;
        f.session->engine()->registerCrossing(car->lane, lap, f.clock.now());
        last[lane] = car->next;
        car->next += car->pace + noise(random);
    }
    f.clock.set(start + seconds);
    f.session->engine()->tick(f.clock.now());
}

void runHeat(LiveFixture& f, int lanes, double seconds, std::mt19937& random, double pace) {
    f.session->heatKey('S');
    race(f, lanes, seconds, random, pace);
    f.session->heatKey('S');
    f.clock.advance(60.0);
}

void save(LiveFixture& f, const QString& folder, const QString& name) {
    f.session->syncScreens();
    QTest::qWait(100);
    f.session->syncScreens();
    QVERIFY(f.window->grab().save(folder + QLatin1Char('/') + name));
}

void openWindow(LiveFixture& f, ProgrammeType programmeType) {
    f.start(programmeType);
    f.window->resize(1920, 1080);
    f.window->show();
    QVERIFY(f.session->openProgramme(programmeType));
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
}

// A track drawing and its sectors, one picture per sector and rank, as a club would
// provide in "INFOGRAF".
void writeTrackPictures(const fs::path& folder) {
    fs::create_directories(folder);
    const QSize size(480, 300);
    QPainterPath track;
    track.addRoundedRect(QRectF(40, 40, 400, 220), 110, 110);
    auto picture = [&](const QString& name, const QColor& colour, int sector) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(sector == 0 ? QColor(24, 70, 32) : QColor(Qt::transparent));
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        if (sector == 0) {
            p.setPen(QPen(QColor(60, 60, 60), 34));
            p.drawPath(track);
            p.setPen(QPen(Qt::white, 2, Qt::DashLine));
            p.drawPath(track);
            p.fillRect(QRectF(236, 24, 8, 32), Qt::white);
        } else {
            p.setPen(QPen(colour, 14, Qt::SolidLine, Qt::RoundCap));
            const double from = (sector - 1) / 3.0;
            QPainterPath part;
            part.moveTo(track.pointAtPercent(from));
            for (int i = 1; i <= 40; ++i) {
                part.lineTo(track.pointAtPercent(from + i / 120.0));
            }
            p.drawPath(part);
        }
        p.end();
        image.save(QString::fromStdString((folder / name.toStdString()).string()), "PNG");
    };
    picture(QStringLiteral("0000.GIF"), QColor(), 0);
    const QColor ranks[] = {QColor(128, 128, 128), QColor(0, 255, 0), QColor(0, 255, 255),
                            QColor(255, 0, 0)};
    for (int sector = 1; sector <= 3; ++sector) {
        for (int digit = 1; digit <= 4; ++digit) {
            QString name = QStringLiteral("0000.GIF");
            name[sector - 1] = QChar('0' + digit);
            picture(name, ranks[digit - 1], sector);
        }
    }
}

// Pages of a report as the desktop program saves its PDF, turned into PNG files
// NAME-1.png, NAME-2.png...
ReportSink pagesInto(LiveFixture& f, const QString& folder, const QString& name) {
    return [&f, folder, name](const PrintLayout& layout, QWidget*) {
        const QString pdf = folder + QLatin1Char('/') + name + QStringLiteral(".pdf");
        QVERIFY(ReportPrinter(f.asker, 0).savePdf(layout, pdf, nullptr));
        const QString command =
            QStringLiteral("pdftoppm -r 90 -png '%1' '%2/%3'; rm -f '%1'").arg(pdf, folder, name);
        QCOMPARE(std::system(command.toLocal8Bit().constData()), 0);
    };
}

// The heat panel's quadrant after the last heat; with `all` also its classification and
// the results screen's list.
void printReports(LiveFixture& f, const QString& folder, const QString& prefix, bool all) {
    printFromHeatPanel(*f.session, *f.window, pagesInto(f, folder, prefix + "-quadrant"), true);
    if (!all) {
        return;
    }
    printFromHeatPanel(*f.session, *f.window, pagesInto(f, folder, prefix + "-classification"),
                       false);
    ResultsRequest request;
    request.dataDir = f.dir.path();
    request.event = 1;
    request.programmeType = ProgrammeType::Race;
    std::unique_ptr<ResultsWindow> screen(ResultsWindow::open(request));
    QVERIFY(screen);
    connectResultsPrinting(*screen, pagesInto(f, folder, prefix + "-results"));
    screen->printButton(0)->click();
}

} // namespace

class LiveScreenshots : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_folder = qEnvironmentVariable("CRONOVOLTA_SCREENSHOTS");
        if (m_folder.isEmpty()) {
            QSKIP("set CRONOVOLTA_SCREENSHOTS to the folder of the screenshots");
        }
    }

    void raceOfEightLanes() {
        LiveFixture f(8, 10);
        writeNames(f, ProgrammeType::Race, 10);
        openWindow(f, ProgrammeType::Race);
        std::mt19937 random(3);
        runHeat(f, 8, 150.0, random, 6.9);
        runHeat(f, 8, 150.0, random, 6.9);
        f.session->heatKey('S');
        race(f, 8, 97.0, random, 6.9);
        save(f, m_folder, QStringLiteral("live-race-8-lanes.png"));
        f.session->heatKey('S');
    }

    // The heat panel with all it shows during a heat: clock, pause, rejected crossings and
    // a lap adjustment being typed.
    void pausedRaceWithRejectedCrossings() {
        LiveFixture f(8, 10, 1, 3.0f);
        writeNames(f, ProgrammeType::Race, 10);
        openWindow(f, ProgrammeType::Race);
        f.window->resize(1366, 768);
        std::mt19937 random(7);
        f.session->heatKey('S');
        race(f, 8, 75.0, random, 6.9);
        for (int lane : {3, 6}) {
            f.clock.advance(0.8);
            f.session->engine()->registerCrossing(lane, 0.8f, f.clock.now());
        }
        for (int key : {'+', '3'}) {
            f.session->heatKey(key);
        }
        f.session->heatKey('P');
        save(f, m_folder, QStringLiteral("live-race-paused.png"));
        f.session->heatKey('P');
        f.session->heatKey('S');
        save(f, m_folder, QStringLiteral("live-between-heats.png"));
    }

    void raceOfTwentyFourLanes() {
        LiveFixture f(24, 30);
        writeNames(f, ProgrammeType::Race, 30);
        openWindow(f, ProgrammeType::Race);
        std::mt19937 random(5);
        runHeat(f, 24, 120.0, random, 5.6);
        f.session->heatKey('S');
        race(f, 24, 64.0, random, 5.6);
        save(f, m_folder, QStringLiteral("live-race-24-lanes.png"));
        f.session->heatKey('S');
    }

    void superPoleRun() {
        LiveFixture f(6, 12);
        TrackConfig track = *loadTrackConfig(f.eventDir() / "PISTA.CFG");
        track.splitTiming = true;
        track.partialLane = 5;
        track.speedLane = 6;
        track.speedDistance = 40;
        QVERIFY(saveTrackConfig(f.eventDir() / "PISTA.CFG", track).has_value());
        f.ensureSeries(ProgrammeType::SuperPole, 1);
        writeNames(f, ProgrammeType::SuperPole, 12);
        writeTrackPictures(f.dir.path() / "INFOGRAF");
        openWindow(f, ProgrammeType::SuperPole);
        f.window->findChild<QMdiArea*>()->subWindowList().last()->showMaximized();

        std::mt19937 random(9);
        std::normal_distribution<double> noise(0.0, 0.12);
        auto cross = [&](int lane, double after, float counter = 0.0f) {
            f.clock.advance(after);
            f.session->engine()->registerCrossing(lane, counter, f.clock.now());
        };
        auto lap = [&](double pace) {
            const double s1 = pace * 0.31 + noise(random);
            const double s2 = pace * 0.36 + noise(random);
            const double trap = 0.045 + noise(random) * 0.02;
            const double rest = pace - s1 - s2 - trap;
            cross(5, s1);
            cross(5, s2);
            cross(6, trap);
            cross(2, rest, static_cast<float>(s1 + s2 + trap + rest));
        };
        for (int driver = 1; driver <= 5; ++driver) {
            f.session->heatKey('S');
            cross(2, 2.0);
            lap(8.1 + 0.07 * ((driver * 5) % 7));
            lap(7.9 + 0.07 * ((driver * 3) % 7));
            f.session->heatKey('S');
            f.clock.advance(40.0);
        }
        f.session->heatKey('S');
        cross(2, 2.0);
        lap(7.95);
        cross(5, 2.41);
        cross(5, 2.86);
        f.clock.advance(1.3);
        f.session->engine()->tick(f.clock.now());
        save(f, m_folder, QStringLiteral("live-super-pole.png"));
        f.session->heatKey('S');
    }

    // Printed reports of a race: 8 lanes with a penalty, 6 lanes in landscape, and a
    // 24-lane quadrant that runs over two pages.
    void printedReports() {
        struct Race {
            int lanes;
            int participants;
            int heats;
            double pace;
            const char* prefix;
        };
        for (const Race& r :
             {Race{8, 10, 3, 6.9, "print-race-8-lanes"}, Race{6, 6, 2, 7.4, "print-race-6-lanes"},
              Race{24, 30, 2, 5.6, "print-race-24-lanes"}}) {
            LiveFixture f(r.lanes, r.participants);
            writeNames(f, ProgrammeType::Race, r.participants);
            if (r.lanes == 8) {
                writePenalties(f.eventDir() / "CRS001.PEN", {{3, 2.0f, "Sortida avançada"}});
            }
            openWindow(f, ProgrammeType::Race);
            std::mt19937 random(static_cast<unsigned>(r.lanes));
            for (int h = 0; h < r.heats; ++h) {
                runHeat(f, r.lanes, 150.0, random, r.pace);
            }
            printReports(f, m_folder, QString::fromLatin1(r.prefix), r.lanes == 8);
        }
    }

private:
    QString m_folder;
};

QTEST_MAIN(LiveScreenshots)
#include "live_screenshots.moc"
