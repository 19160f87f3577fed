// The serial link end to end: real QSerialPorts on pseudo-terminals, fed by the simulator.
#include "counter/counter_encoder.h"
#include "counter/decoder_test_support.h"
#include "counter/pseudo_terminal.h"
#include "counter/qt/serial_link.h"
#include "counter/qt/simulated_counter.h"
#include "support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <filesystem>

using namespace cronovolta;
using cronovolta::test::RecordingHeatControl;

namespace {

// Answers the link's questions as scripted and remembers what it was told.
class ScriptedPrompt : public LinkPrompt {
public:
    int retries = 0; // Retry answers to give before Cancel
    std::function<void()> beforeRetry;
    QStringList asked, lost, restored, foreign;

    bool retryOpen(int, const QString& text) override {
        asked << text;
        if (retries-- > 0) {
            if (beforeRetry) {
                beforeRetry();
            }
            return true;
        }
        return false;
    }
    void portLost(int, const QString& text) override { lost << text; }
    void portRestored(int, const QString& text) override { restored << text; }
    void foreignCounter(int, const QString& text) override { foreign << text; }
};

PseudoTerminal openPty() {
    auto pty = PseudoTerminal::open();
    if (!pty) {
        qFatal("%s", pty.error().c_str());
    }
    return std::move(*pty);
}

// The first line of each text: the message the description fixes.
QStringList firstLines(const QStringList& texts) {
    QStringList out;
    for (const QString& t : texts) {
        out << t.section('\n', 0, 0);
    }
    return out;
}

} // namespace

class SerialLinkTest : public QObject {
    Q_OBJECT
private slots:
    void simulatedHeatsArriveExactlyAsSent_data();
    void simulatedHeatsArriveExactlyAsSent();
    void portThatCannotOpenAsksRetryOrCancel();
    void portQuestionSpeaksTheProgramsLanguage();
    void retryOpensThePortOnceItExists();
    void lostPortIsReportedOnceAndReopened();
    void tickStopsWhileDecodingAndCaptureRecordsTheBytes();
    void bytesArrivingDuringAModalDialogWaitTheirTurn();
    void counterOfAnotherModelIsToldOnce();
    void lostMessageClosesWhenTheRestoredOneOpens();
};

void SerialLinkTest::counterOfAnotherModelIsToldOnce() {
    PseudoTerminal pty = openPty();
    RecordingHeatControl heat;
    ScriptedPrompt prompt;
    SerialLink link(heat, prompt);
    double now = 36000.0;
    link.setClock([&] { return now += 0.25; }); // seconds pass between the chunks
    link.setLanguage(1);
    PortMap map;
    map.setOverride(1, pty.devicePath());
    link.setPortMap(map);
    link.configurePorts(test::trackWith(8, {1}), CounterModel::DS300);
    QTRY_VERIFY(pty.peerAttached());
    // A DS030 answers: its lane reports never make a DS300 frame.
    CounterEncoder ds030(CounterModel::DS030);
    for (int i = 0; i < 40; ++i) {
        QVERIFY(pty.write(ds030.lap(i % 8 + 1, 51234 + i)).has_value());
        QTest::qWait(5);
    }
    const QString text = "Por el puerto 1 (" + QString::fromStdString(pty.devicePath()) +
                         ") llegan datos, pero no son de un contador DS300. Compruebe que el "
                         "contador conectado es el del modelo escogido en la configuración del "
                         "programa.";
    QTRY_COMPARE(prompt.foreign, QStringList{text});
    QVERIFY(heat.calls.empty());
}

void SerialLinkTest::lostMessageClosesWhenTheRestoredOneOpens() {
    QWidget parent;
    MessageBoxPrompt prompt(&parent);
    auto shown = [&] {
        QStringList texts;
        for (auto* box : parent.findChildren<QMessageBox*>()) {
            if (box->isVisible()) {
                texts << box->text();
            }
        }
        return texts;
    };
    prompt.portLost(1, "lost 1");
    prompt.portLost(2, "lost 2");
    QCOMPARE(shown(), (QStringList{"lost 1", "lost 2"}));
    prompt.portRestored(1, "back 1");
    QCOMPARE(shown(), (QStringList{"lost 2", "back 1"}));
}

void SerialLinkTest::simulatedHeatsArriveExactlyAsSent_data() {
    QTest::addColumn<int>("model");
    QTest::newRow("DS030") << int(CounterModel::DS030);
    QTest::newRow("DS300") << int(CounterModel::DS300);
    QTest::newRow("DS300 & DS4port") << int(CounterModel::DS300DS4port);
}

void SerialLinkTest::simulatedHeatsArriveExactlyAsSent() {
    QFETCH(int, model);
    SimulatorOptions options;
    options.model = CounterModel(model);
    options.lanes = 8;
    options.cars = 5;
    options.firstLane = 9;
    options.box = 1;
    options.lapTime = 3.0;
    options.spread = 0.3;
    options.heats = 2;
    options.heatLength = 14.0;
    options.pauseLength = 4.0;
    options.heatGap = 8.0;
    constexpr double kSpeed = 12.0;

    SimulatedCounter counter(options);
    counter.setSpeed(kSpeed);
    QVERIFY(counter.start().has_value());

    // Two circuits, the simulated counter on the second; the first port is not there.
    RecordingHeatControl heat;
    ScriptedPrompt prompt;
    SerialLink link(heat, prompt);
    QElapsedTimer clock;
    clock.start();
    link.setClock([&] { return 36000.0 + clock.nsecsElapsed() / 1e9 * kSpeed; });
    // The heat engine's tick: ends the heat once the end deadline has passed.
    QTimer tick;
    tick.setInterval(20);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (heat.running && heat.deadline > 0 &&
            36000.0 + clock.nsecsElapsed() / 1e9 * kSpeed > heat.deadline) {
            heat.finishHeat(heat.deadline);
            tick.stop();
        }
    });
    link.setTick([&] { tick.stop(); }, [&] { tick.start(); });
    PortMap map;
    map.setOverride(1, "/nonexistent/counter");
    map.setOverride(2, counter.devicePath().toStdString());
    link.setPortMap(map);
    link.configurePorts(test::trackWith(16, {1, 9}), options.model);
    QCOMPARE(firstLines(prompt.asked), QStringList{"No hi ha connexió pel port 1."});
    QVERIFY(!link.isOpen(1));
    QVERIFY(link.isOpen(2));

    QSignalSpy done(&counter, &SimulatedCounter::finished);
    QVERIFY(done.wait(30000));
    QTRY_VERIFY_WITH_TIMEOUT(!heat.running, 5000);

    std::vector<RecordingHeatControl::Crossing> sent;
    for (const auto& crossing : counter.play().crossings) {
        sent.push_back({crossing.lane, crossing.counterTime});
    }
    QVERIFY(sent.size() > 30);
    QVERIFY(heat.crossings == sent);
    QVERIFY(heat.misuse.empty());
    QCOMPARE(std::count(heat.calls.begin(), heat.calls.end(), "start"), 2);
    QCOMPARE(std::count(heat.calls.begin(), heat.calls.end(), "pause"), 2);
    QCOMPARE(std::count(heat.calls.begin(), heat.calls.end(), "end"), 2);
}

void SerialLinkTest::portThatCannotOpenAsksRetryOrCancel() {
    RecordingHeatControl heat;
    ScriptedPrompt prompt;
    prompt.retries = 2;
    SerialLink link(heat, prompt);
    link.setLanguage(1);
    PortMap map;
    map.setOverride(1, "/nonexistent/a");
    map.setOverride(2, "/nonexistent/b");
    link.setPortMap(map);
    link.configurePorts(test::trackWith(8, {1, 5}), CounterModel::DS030);
    // Two retries of circuit 1, then Cancel; circuit 2 is asked about once.
    QCOMPARE(firstLines(prompt.asked),
             (QStringList{"No hay conexión por el puerto 1.", "No hay conexión por el puerto 1.",
                          "No hay conexión por el puerto 1.", "No hay conexión por el puerto 2."}));
    // The device is named, with what to do about a missing one.
    QVERIFY(prompt.asked[3].contains("El dispositivo /nonexistent/b no existe: conecta"));
    QVERIFY(!link.isOpen(1));
    QVERIFY(!link.isOpen(2));
    QCOMPARE(link.devicePath(2), QString("/nonexistent/b"));
}

void SerialLinkTest::portQuestionSpeaksTheProgramsLanguage() {
    RecordingHeatControl heat;
    MessageBoxPrompt prompt;
    SerialLink link(heat, prompt);
    PortMap map;
    map.setOverride(1, "/nonexistent/a");
    link.setPortMap(map);
    QStringList seen;
    int answers = 0;
    // Answers the real message box from inside its own event loop: Retry, then Cancel.
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            QTimer::singleShot(10, answer);
            return;
        }
        seen << box->windowTitle() + "|" + box->text().section('\n', 0, 0) + "|" +
                    box->button(QMessageBox::Retry)->text() + "|" +
                    box->button(QMessageBox::Cancel)->text();
        QVERIFY(static_cast<QAbstractButton*>(box->defaultButton()) ==
                box->button(QMessageBox::Retry));
        const bool retry = ++answers % 2 == 1;
        box->button(retry ? QMessageBox::Retry : QMessageBox::Cancel)->click();
        if (retry) {
            QTimer::singleShot(10, answer);
        }
    };
    for (int language : {0, 1}) {
        link.setLanguage(language);
        QTimer::singleShot(10, answer);
        link.configurePorts(test::trackWith(8, {1}), CounterModel::DS030);
        QVERIFY(!link.isOpen(1));
    }
    const QString ca = "Error|No hi ha connexió pel port 1.|Reintentar|Cancel·lar";
    const QString es = "Error|No hay conexión por el puerto 1.|Reintentar|Cancelar";
    QCOMPARE(seen, (QStringList{ca, ca, es, es}));
}

void SerialLinkTest::retryOpensThePortOnceItExists() {
    test::TempDir dir;
    const auto path = dir.path() / "COM1";
    PseudoTerminal pty = openPty();
    RecordingHeatControl heat;
    ScriptedPrompt prompt;
    prompt.retries = 1;
    prompt.beforeRetry = [&] { std::filesystem::create_symlink(pty.devicePath(), path); };
    SerialLink link(heat, prompt);
    test::writeBytes(dir.path() / "PORTS.TXT", path.string() + "\n");
    link.setPortMap(PortMap::load(dir.path()));
    link.configurePorts(test::trackWith(8, {1}), CounterModel::DS300);
    QCOMPARE(prompt.asked.size(), 1);
    QVERIFY(link.isOpen(1));
}

void SerialLinkTest::lostPortIsReportedOnceAndReopened() {
    test::TempDir dir;
    const auto path = dir.path() / "counter";
    std::optional<PseudoTerminal> pty = openPty();
    std::filesystem::create_symlink(pty->devicePath(), path);

    RecordingHeatControl heat;
    heat.running = true; // a heat is on when the adapter is pulled out
    ScriptedPrompt prompt;
    QByteArray received;
    SerialLink link(heat, prompt);
    link.setReconnectInterval(50);
    PortMap map;
    map.setOverride(1, path.string());
    link.setPortMap(map);
    link.configurePorts(test::trackWith(8, {1}), CounterModel::DS030);
    QVERIFY(link.isOpen(1));

    QObject::connect(&link, &SerialLink::bytesReceived,
                     [&](int, const QByteArray& bytes) { received += bytes; });
    QVERIFY(pty->write(test::bytes({1, 0x12})).has_value());
    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("\x01\x12", 2), 5000);
    QVERIFY(heat.calls.empty()); // half a report: nothing yet
    pty.reset();                 // the device disappears
    std::filesystem::remove(path);
    QTRY_COMPARE(prompt.lost, QStringList{"S'ha perdut la connexió pel port 1."});
    QVERIFY(!link.isOpen(1));
    QTest::qWait(300); // retries go on quietly
    QCOMPARE(prompt.lost.size(), 1);

    pty = openPty();
    std::filesystem::create_symlink(pty->devicePath(), path);
    QTRY_COMPARE(prompt.restored, QStringList{"S'ha recuperat la connexió pel port 1."});
    QVERIFY(link.isOpen(1));
    QTRY_VERIFY(pty->peerAttached());
    // The half report from before the loss is forgotten; the heat goes on. The counter may
    // have restarted meanwhile: the lane's first time after the loss is not its lap time.
    QVERIFY(pty->write(test::bytes({0x34, 0x56, 128, 0x07, 0x00, 0x01})).has_value());
    QTRY_COMPARE(heat.joined(), std::string("lap 1 -1.0000"));
    QVERIFY(pty->write(test::bytes({128, 0x07, 0x00, 0x02})).has_value());
    QTRY_COMPARE(heat.joined(), std::string("lap 1 -1.0000; lap 1 7.0002"));
    QVERIFY(heat.running);
}

void SerialLinkTest::tickStopsWhileDecodingAndCaptureRecordsTheBytes() {
    test::TempDir dir;
    PseudoTerminal pty = openPty();
    RecordingHeatControl heat;
    ScriptedPrompt prompt;
    SerialLink link(heat, prompt);
    std::vector<std::string> tick;
    link.setTick([&] { tick.push_back(heat.running ? "stop running" : "stop idle"); },
                 [&] { tick.push_back("start"); });
    link.setClock([] { return 43200.5; });
    link.setCaptureFile(dir.path() / "heat.cap");
    PortMap map;
    map.setOverride(1, pty.devicePath());
    link.setPortMap(map);
    link.configurePorts(test::trackWith(8, {1}), CounterModel::DS030);

    QVERIFY(pty.write(test::bytes({0xA0})).has_value());
    QTRY_COMPARE(heat.calls.size(), size_t(1));
    QVERIFY(pty.write(test::bytes({0xA2})).has_value());
    QTRY_COMPARE(heat.calls.size(), size_t(3));
    QCOMPARE(tick, (std::vector<std::string>{"stop idle", "stop idle", "start"}));

    const auto capture = parseCapture(test::readBytes(dir.path() / "heat.cap"));
    QVERIFY(capture.problems.empty());
    QCOMPARE(capture.events.size(), size_t(2));
    QCOMPARE(capture.events[1].bytes, std::string("\xA2"));
    QCOMPARE(capture.events[1].seconds, 43200.5);
}

// Heat control that opens a "modal dialog" (a nested event loop) on the first crossing.
class ModalHeatControl : public RecordingHeatControl {
public:
    std::function<void()> duringDialog;
    void registerCrossing(int lane, float counterTime, double now) override {
        RecordingHeatControl::registerCrossing(lane, counterTime, now);
        if (duringDialog) {
            auto work = std::exchange(duringDialog, nullptr);
            work();
            QTest::qWait(200);
            calls.push_back("dialog closed");
        }
    }
};

void SerialLinkTest::bytesArrivingDuringAModalDialogWaitTheirTurn() {
    PseudoTerminal pty = openPty();
    ModalHeatControl heat;
    heat.running = true;
    ScriptedPrompt prompt;
    SerialLink link(heat, prompt);
    PortMap map;
    map.setOverride(1, pty.devicePath());
    link.setPortMap(map);
    link.configurePorts(test::trackWith(8, {1}), CounterModel::DS030);
    heat.duringDialog = [&] {
        // The ports are configured again meanwhile: a fresh decoder takes over.
        link.configurePorts(test::trackWith(8, {1}), CounterModel::DS030);
        QVERIFY(pty.write(test::bytes({64, 0x02, 0x00, 0x00})).has_value());
    };
    QVERIFY(pty.write(test::bytes({128, 0x01, 0x00, 0x00})).has_value());
    QTRY_VERIFY2(heat.joined() == "lap 1 1.0000; dialog closed; lap 2 2.0000",
                 heat.joined().c_str());
}

QTEST_MAIN(SerialLinkTest)
#include "serial_link_test.moc"
