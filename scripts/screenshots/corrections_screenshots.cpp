// Not a test: draws the screenshots of the correction screen, the penalties screen and the
// lap listing over the main window at 1366 x 768. Runs only when CRONOVOLTA_SCREENSHOTS
// names the folder to write them into.

#include "corrections/qt/corrections_window.h"
#include "corrections/qt/penalties_window.h"
#include "output/qt/lap_listing_window.h"
#include "shell/qt/live_fixture.h"
#include "storage/penalty_record.h"

#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>

#include <random>

using namespace cronovolta;
using cronovolta::test::LiveFixture;

namespace {

const char* const kNames[] = {"Marta Puig",  "Jordi Vila", "Anna Soler", "Pere Roca",
                              "Laia Font",   "Marc Serra", "Núria Pons", "Oriol Mas",
                              "Clara Bosch", "Xavier Gil"};

// A heat of 90 s on eight lanes with the counter's lap times and one pause.
void runHeat(LiveFixture& f, std::mt19937& random) {
    std::normal_distribution<double> noise(0.0, 0.2);
    f.session->heatKey('S');
    const double start = f.clock.now();
    std::vector<double> next(9), last(9, 0.0);
    for (int lane = 1; lane <= 8; ++lane) {
        next[static_cast<std::size_t>(lane)] = start + 0.4 * lane;
    }
    bool paused = false;
    while (true) {
        int lane = 1;
        for (int l = 2; l <= 8; ++l) {
            if (next[static_cast<std::size_t>(l)] < next[static_cast<std::size_t>(lane)]) {
                lane = l;
            }
        }
        const auto i = static_cast<std::size_t>(lane);
        if (next[i] > start + 90.0) {
            break;
        }
        if (!paused && next[i] > start + 40.0) {
            paused = true;
            f.clock.set(start + 40.0);
            f.session->heatKey('P');
            f.clock.advance(25.0);
            f.session->heatKey('P');
            for (auto& n : next) {
                n += 25.0;
            }
            for (auto& l : last) {
                l = l > 0.0 ? l + 25.0 : 0.0;
            }
            continue;
        }
        f.clock.set(next[i]);
        const float lap = last[i] > 0.0 ? static_cast<float>(next[i] - last[i]) : 0.0f;
        f.session->engine()->registerCrossing(lane, lap, f.clock.now());
        last[i] = next[i];
        next[i] += 6.8 + 0.06 * ((lane * 5) % 7) + noise(random);
    }
    f.session->heatKey('S');
    f.clock.advance(60.0);
}

// The main window with the dialog over it, as the screen shows them.
void save(LiveFixture& f, QDialog& dialog, const QString& name) {
    f.session->syncScreens();
    dialog.show();
    dialog.move((1366 - dialog.width()) / 2, (768 - dialog.height()) / 2);
    QTest::qWait(150);
    QImage screen(1366, 768, QImage::Format_RGB32);
    QPainter p(&screen);
    p.drawPixmap(0, 0, f.window->grab());
    p.drawPixmap(dialog.pos(), dialog.grab());
    p.setPen(QColor(90, 90, 90));
    p.drawRect(QRect(dialog.pos(), dialog.size()).adjusted(-1, -1, 0, 0));
    p.end();
    const QString folder = qEnvironmentVariable("CRONOVOLTA_SCREENSHOTS");
    QVERIFY(screen.save(folder + QLatin1Char('/') + name));
    dialog.hide();
}

} // namespace

class CorrectionScreenshots : public QObject {
    Q_OBJECT

private slots:
    void init() {
        if (qEnvironmentVariable("CRONOVOLTA_SCREENSHOTS").isEmpty()) {
            QSKIP("set CRONOVOLTA_SCREENSHOTS to the folder of the screenshots");
        }
    }

    void screens() {
        LiveFixture f(8, 10);
        ParticipantList list;
        for (const char* name : kNames) {
            list.names.push_back(name);
        }
        writeParticipantList(participantFile(f.eventDir(), ProgrammeType::Race, 1), list);
        TrackConfig track = *loadTrackConfig(f.eventDir() / "PISTA.CFG");
        track.largestPartial = 1000;
        deriveTrackConfig(track);
        saveTrackConfig(f.eventDir() / "PISTA.CFG", track);
        f.start(ProgrammeType::Race);
        f.window->resize(1366, 768);
        f.window->move(0, 0);
        f.window->show();
        QVERIFY(f.session->openProgramme(ProgrammeType::Race));
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        std::mt19937 random(11);
        runHeat(f, random);
        runHeat(f, random);
        runHeat(f, random);
        HeatEngine& engine = *f.session->engine();
        const fs::path folder = engine.workFolder();

        auto correction =
            CorrectionModel::open(folder, ProgrammeType::Race, 1, CorrectionMode::Laps);
        QVERIFY(correction.has_value());
        CorrectionsWindow corregir(std::move(*correction), f.ui, f.asker, f.window.get());
        save(f, corregir, QStringLiteral("correction-screen.png"));

        LapListingSetup setup;
        setup.folder = folder;
        setup.programmeType = ProgrammeType::Race;
        setup.activeSeriesNumber = 1;
        setup.programmeOpen = true;
        LapListingWindow listing(setup, QStringLiteral(" - Gran Premi - Cursa"), f.ui, f.asker,
                                 f.window.get());
        save(f, listing, QStringLiteral("lap-listing.png"));

        QVERIFY(f.session->closeProgramme());
        writePenalties(f.eventDir() / "CRS001.PEN",
                       {{3, 1.0f, "Sortida avançada"}, {7, 2.0f, "Canvi de carril i contacte"}});
        auto penalties = PenaltiesModel::open(f.eventDir(), 1);
        QVERIFY(penalties.has_value());
        PenaltiesWindow screen(std::move(*penalties), QStringLiteral(" - Gran Premi (Cursa 1)"),
                               f.ui, f.asker, f.window.get());
        screen.participantList()->setCurrentRow(6);
        save(f, screen, QStringLiteral("penalties-screen.png"));
    }
};

QTEST_MAIN(CorrectionScreenshots)
#include "corrections_screenshots.moc"
