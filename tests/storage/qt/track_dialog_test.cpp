#include "shell/qt/main_window.h"
#include "storage/event_manager.h"
#include "storage/qt/track_dialog.h"
#include "storage/track_config.h"
#include "support/qt/screen_fixture.h"
#include "support/temp_dir.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

using namespace cronovolta;

namespace {

QLineEdit* field(QWidget* w, const char* name) {
    return w->findChild<QLineEdit*>(QString::fromLatin1(name));
}

// Types a text into a field and leaves it with Enter, as the organiser does.
void type(QLineEdit* f, const QString& text) {
    f->setFocus();
    f->selectAll();
    QTest::keyClick(f, Qt::Key_Backspace);
    QTest::keyClicks(f, text);
    QTest::keyClick(f, Qt::Key_Return);
}

TrackConfig lanes(int n) {
    TrackConfig c = defaultTrackConfig();
    c.lanes = static_cast<std::int16_t>(n);
    if (n < c.circuits.back().firstLane) {
        c.circuits = {{1, 1}};
    }
    c.laneChangeOrder.clear();
    deriveTrackConfig(c);
    return c;
}

struct Fixture : test::ScreenFixture {
    TrackDialogOptions options;
    Fixture() { options.file = dir.path() / "PISTA.CFG"; }
};

} // namespace

class TrackDialogTest : public QObject {
    Q_OBJECT
private slots:
    void laneCountIsClampedAndRebuildsTheOrder();
    void orderStaysAPermutation();
    void numericFieldsApplyTheirRules();
    void circuitsAndPorts();
    void savedFileLength();
    void manyLanesScrollRowByRow();
    void orderBoxesShowWholeFromTheTop();
    void heatsRunLockTheTrack();
    void eventCopyIsNamedInTheCaption();
    void storedLaneCountAbove64IsRefused();
    void aConnectionStartingBeyondTheLanesIsRefused();
};

void TrackDialogTest::laneCountIsClampedAndRebuildsTheOrder() {
    Fixture f;
    TrackDialog dialog(f.ui, f.asker, lanes(64), f.options);
    dialog.show();
    QLineEdit* count = field(&dialog, "CfgNPistes");
    type(count, QStringLiteral("8"));
    QCOMPARE(count->text(), QStringLiteral("8"));
    QVERIFY(dialog.orderBox(8) != nullptr);
    QVERIFY(dialog.orderBox(9) == nullptr);
    QCOMPARE(dialog.workingCopy().speedLane, std::int16_t{8});
    QCOMPARE(dialog.workingCopy().partialLane, std::int16_t{7});
    type(count, QStringLiteral("200"));
    QCOMPARE(count->text(), QStringLiteral("64"));
    type(count, QStringLiteral("abc"));
    QCOMPARE(count->text(), QStringLiteral("1"));
    QCOMPARE(dialog.orderBox(1)->text(), QStringLiteral("1"));
}

void TrackDialogTest::orderStaysAPermutation() {
    Fixture f;
    TrackDialog dialog(f.ui, f.asker, lanes(8), f.options);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    type(dialog.orderBox(3), QStringLiteral("7"));
    QCOMPARE(dialog.orderBox(3)->text(), QStringLiteral("7"));
    QCOMPARE(dialog.orderBox(7)->text(), QStringLiteral("3"));
    QVERIFY(dialog.orderBox(4)->hasFocus()); // Enter moves on
    type(dialog.orderBox(8), QStringLiteral("99"));
    QCOMPARE(dialog.orderBox(8)->text(), QStringLiteral("64"));
    QVERIFY(dialog.orderBox(1)->hasFocus()); // from the last box back to the first
    const auto& order = dialog.workingCopy().laneChangeOrder;
    QCOMPARE(order[3], std::int16_t{7});
    QCOMPARE(order[7], std::int16_t{3});
    QCOMPARE(order[0], std::int16_t{64}); // the highest lane of the order
}

void TrackDialogTest::numericFieldsApplyTheirRules() {
    Fixture f;
    TrackDialog dialog(f.ui, f.asker, lanes(4), f.options);
    dialog.show();
    QLineEdit* minimum = field(&dialog, "CfgMinim");
    type(minimum, QStringLiteral("1,5"));
    QCOMPARE(minimum->text(), QStringLiteral("1.50"));
    QCOMPARE(dialog.workingCopy().minimumLap, 1.5f);
    type(minimum, QStringLiteral("-3"));
    QCOMPARE(minimum->text(), QStringLiteral("00.00"));
    type(minimum, QStringLiteral("123456"));
    QCOMPARE(minimum->text(), QStringLiteral("99.99"));
    QLineEdit* largest = field(&dialog, "CfgParcial");
    type(largest, QStringLiteral("xyz"));
    QCOMPARE(largest->text(), QStringLiteral("0"));
    type(largest, QStringLiteral("12345"));
    QCOMPARE(largest->text(), QStringLiteral("9999"));
    QCOMPARE(dialog.workingCopy().lapTotalFormat, std::string("0.000"));
}

void TrackDialogTest::circuitsAndPorts() {
    Fixture f;
    TrackDialog dialog(f.ui, f.asker, lanes(8), f.options);
    dialog.show();
    auto* circuits = dialog.findChild<QComboBox*>(QStringLiteral("CfgNCircuits"));
    circuits->setCurrentIndex(1);
    emit circuits->activated(1);
    QCOMPARE(field(&dialog, "PrimeraPista_1")->text(), QStringLiteral("1"));
    QCOMPARE(field(&dialog, "PrimeraPista_2")->text(), QStringLiteral("5"));
    QVERIFY(field(&dialog, "PrimeraPista_1")->isReadOnly());
    QVERIFY(dialog.findChild<QGroupBox*>(QStringLiteral("Connexio_2"))->isVisible());
    QVERIFY(!dialog.findChild<QGroupBox*>(QStringLiteral("Connexio_3"))->isVisible());
    auto* port2 = dialog.findChild<QComboBox*>(QStringLiteral("PortNum_2"));
    QCOMPARE(port2->currentText(), QStringLiteral("COM2"));
    port2->setCurrentIndex(0);
    emit port2->activated(0);
    QCOMPARE(dialog.findChild<QComboBox*>(QStringLiteral("PortNum_1"))->currentText(),
             QStringLiteral("COM2"));
    type(field(&dialog, "PrimeraPista_2"), QStringLiteral("-3"));
    QCOMPARE(field(&dialog, "PrimeraPista_2")->text(), QStringLiteral("3"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("TextPort_2"))->text(),
             QStringLiteral("Port:"));
}

void TrackDialogTest::savedFileLength() {
    Fixture f;
    {
        TrackDialog dialog(f.ui, f.asker, lanes(8), f.options);
        QVERIFY(!dialog.findChild<QComboBox*>(QStringLiteral("Split"))->isVisibleTo(&dialog));
        QVERIFY(dialog.save());
    }
    QCOMPARE(fs::file_size(f.options.file), std::uintmax_t{31 + 2 * 8});
    QCOMPARE(f.ui.app.trackConfig.lanes, std::int16_t{8});
    f.options.showSplit = true;
    TrackDialog dialog(f.ui, f.asker, lanes(8), f.options);
    dialog.show();
    auto* split = dialog.findChild<QComboBox*>(QStringLiteral("Split"));
    QVERIFY(split->isVisible());
    QCOMPARE(split->itemText(1), QStringLiteral("Sí"));
    QVERIFY(!field(&dialog, "CfgPstVel")->isEnabled());
    split->setCurrentIndex(1);
    emit split->activated(1);
    QVERIFY(field(&dialog, "CfgPstVel")->isEnabled());
    type(field(&dialog, "CfgDstVel"), QStringLiteral("0"));
    QCOMPARE(field(&dialog, "CfgDstVel")->text(), QStringLiteral("40"));
    QVERIFY(dialog.save());
    QCOMPARE(fs::file_size(f.options.file), std::uintmax_t{309});
}

void TrackDialogTest::manyLanesScrollRowByRow() {
    Fixture f;
    TrackDialog dialog(f.ui, f.asker, lanes(16), f.options);
    dialog.resize(800, 500);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QScrollBar* bar = dialog.orderPanel()->verticalScrollBar();
    QCOMPARE(bar->maximum(), 0);
    type(field(&dialog, "CfgNPistes"), QStringLiteral("40"));
    QTRY_VERIFY_WITH_TIMEOUT(bar->maximum() > 0, 5000);
    QCOMPARE(bar->singleStep(), dialog.orderBox(5)->y() - dialog.orderBox(1)->y());
    dialog.orderBox(40)->setFocus();
    QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, 5000);
}

void TrackDialogTest::orderBoxesShowWholeFromTheTop() {
    Fixture f;
    f.ui.app.programConfig.language = kLanguageCastilian;
    f.options.locked = true; // the warning's long text shapes the dialog
    for (int n : {8, 24}) {
        TrackDialog dialog(f.ui, f.asker, lanes(n), f.options);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QWidget* viewport = dialog.orderPanel()->viewport();
        for (int i = 1; i <= 4; ++i) {
            QLineEdit* box = dialog.orderBox(i);
            QVERIFY(box->mapTo(viewport, QPoint(box->width(), 0)).x() <= viewport->width());
        }
        // Rows follow each other from the top, however few they are.
        const int rowStep = dialog.orderBox(5)->y() - dialog.orderBox(1)->y();
        QVERIFY(rowStep < 2 * dialog.orderBox(1)->height());
    }
}

void TrackDialogTest::heatsRunLockTheTrack() {
    Fixture f;
    f.options.locked = true;
    f.options.eventName = QStringLiteral("Open");
    TrackDialog dialog(f.ui, f.asker, lanes(8), f.options);
    dialog.show();
    auto* warning = dialog.findChild<QLabel*>(QStringLiteral("Avis"));
    QVERIFY(warning->isVisible());
    QVERIFY(warning->text().contains(QStringLiteral("anterior.\n\nFes clic")));
    QVERIFY(!field(&dialog, "CfgNPistes")->isEnabled());
    QVERIFY(!dialog.orderBox(1)->isEnabled());
    QTest::mouseClick(warning, Qt::LeftButton);
    QVERIFY(!warning->isVisible());
    QVERIFY(dialog.orderBox(1)->isEnabled());
    QVERIFY(!field(&dialog, "CfgNPistes")->isEnabled()); // the lane count stays locked
}

void TrackDialogTest::eventCopyIsNamedInTheCaption() {
    Fixture f;
    f.options.eventName = QStringLiteral("Open de Sabadell");
    f.ui.app.programConfig.language = kLanguageCastilian;
    TrackDialog dialog(f.ui, f.asker, lanes(8), f.options);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Open de Sabadell: Configuración del circuito"));
}

void TrackDialogTest::storedLaneCountAbove64IsRefused() {
    Fixture f;
    QVERIFY(saveTrackConfig(f.options.file, lanes(64)).has_value());
    std::string bytes = test::readBytes(f.options.file);
    bytes[29] = 65; // lane count 65
    test::writeBytes(f.options.file, bytes);
    MainWindow window(f.ui, f.asker);
    bool opened = false;
    test::whenModal([&](QDialog* d) {
        opened = true;
        d->reject();
    });
    window.trackSettings(false);
    QTRY_COMPARE_WITH_TIMEOUT(f.asker.asked.size(), std::size_t{1}, 5000);
    QVERIFY(!opened);
    QCOMPARE(f.asker.asked[0].text,
             QStringLiteral("El nombre de pistes de la configuració és superior al màxim permès"));
    QCOMPARE(f.asker.asked[0].title, QStringLiteral("Error"));
}

void TrackDialogTest::aConnectionStartingBeyondTheLanesIsRefused() {
    Fixture f;
    f.ui.app.programConfig.language = kLanguageCastilian;
    f.ui.messages.fill("Portada", kLanguageCastilian);
    TrackDialog dialog(f.ui, f.asker, defaultTrackConfig(), f.options);
    dialog.show();
    // Two connections from lanes 1 and 9; then the track is cut down to 8 lanes.
    type(field(&dialog, "CfgNPistes"), QStringLiteral("8"));
    QVERIFY(!dialog.save());
    QVERIFY(!fs::exists(f.options.file));
    QCOMPARE(f.asker.asked.size(), std::size_t(1));
    QVERIFY2(f.asker.asked[0].text.startsWith(
                 QStringLiteral("La conexión 2 empieza en la pista 9, pero el circuito solo "
                                "tiene 8 pistas.")),
             qPrintable(f.asker.asked[0].text));
    QCOMPARE(dialog.focusWidget(), field(&dialog, "PrimeraPista_2"));
    type(field(&dialog, "PrimeraPista_2"), QStringLiteral("8"));
    QVERIFY(dialog.save());
    QCOMPARE(f.ui.app.trackConfig.circuits[1].firstLane, std::int16_t{8});
}

QTEST_MAIN(TrackDialogTest)
#include "track_dialog_test.moc"
