#include "storage/program_settings.h"
#include "storage/qt/settings_dialog.h"
#include "support/qt/screen_fixture.h"
#include "support/temp_dir.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace cronovolta;

namespace {

template <typename T> T* child(QWidget* w, const QString& name) {
    return w->findChild<T*>(name);
}

void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void leave(QLineEdit* f, const QString& text) {
    f->setText(text);
    emit f->editingFinished();
}

using Fixture = test::ScreenFixture;

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void languageSwitchKeepsTheListSelections();
    void colourSlotsPaintTheirLabels();
    void numberBoxesTakeAWholePositiveNumber();
    void savedSettingsReadBack();
    void versionZeroIsWrittenBackAsTheProgramsVersion();
    void narrowLayoutHidesTheFrames();
};

void SettingsDialogTest::languageSwitchKeepsTheListSelections() {
    Fixture f;
    SettingsDialog dialog(f.ui, f.asker, true);
    auto* colour = child<QComboBox>(&dialog, QStringLiteral("ValorColor_2"));
    choose(colour, 6);
    QCOMPARE(colour->currentText(), QStringLiteral("Marró"));
    choose(child<QComboBox>(&dialog, QStringLiteral("Hardware")), 3);
    choose(child<QComboBox>(&dialog, QStringLiteral("LlIdioma")), 1);
    QCOMPARE(colour->currentIndex(), 6);
    QCOMPARE(colour->currentText(), QStringLiteral("Marrón"));
    QCOMPARE(child<QComboBox>(&dialog, QStringLiteral("Hardware"))->currentText(),
             QStringLiteral("DS300 & DS4port"));
    QCOMPARE(child<QRadioButton>(&dialog, QStringLiteral("OpcioComes_1"))->text(),
             QStringLiteral("En cada manga"));
    QCOMPARE(child<QGroupBox>(&dialog, QStringLiteral("DemanarComes"))->title(),
             QStringLiteral("Pedir comas"));
    QCOMPARE(child<QLabel>(&dialog, QStringLiteral("Descripcio_1"))->text(),
             QStringLiteral("Vuelta rápida absoluta:"));
    dialog.reject();
    QCOMPARE(f.ui.language(), 0);
}

void SettingsDialogTest::colourSlotsPaintTheirLabels() {
    Fixture f;
    SettingsDialog dialog(f.ui, f.asker, false);
    auto* label = child<QLabel>(&dialog, QStringLiteral("Descripcio_1"));
    QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 0, 0)); // slot 1: 12
    choose(child<QComboBox>(&dialog, QStringLiteral("ValorColor_1")), 14);
    QCOMPARE(label->palette().color(QPalette::Window), QColor(255, 255, 0));
    QCOMPARE(
        child<QLabel>(&dialog, QStringLiteral("Descripcio_4"))->palette().color(QPalette::Window),
        QColor(255, 255, 0)); // slot 4 defaults to yellow too
}

void SettingsDialogTest::numberBoxesTakeAWholePositiveNumber() {
    Fixture f;
    SettingsDialog dialog(f.ui, f.asker, true);
    auto* pass = child<QLineEdit>(&dialog, QStringLiteral("MngComes"));
    QVERIFY(!pass->isEnabled());
    child<QRadioButton>(&dialog, QStringLiteral("OpcioComes_2"))->setChecked(true);
    QVERIFY(pass->isEnabled());
    leave(pass, QStringLiteral("0"));
    QCOMPARE(pass->text(), QStringLiteral("1"));
    leave(pass, QStringLiteral("-5"));
    QCOMPARE(pass->text(), QStringLiteral("5"));
    leave(pass, QStringLiteral("2,7"));
    QCOMPARE(pass->text(), QStringLiteral("2"));
    leave(pass, QStringLiteral("999999"));
    QCOMPARE(pass->text(), QStringLiteral("32767"));
    auto* seconds = child<QLineEdit>(&dialog, QStringLiteral("TempsScroll"));
    QVERIFY(!seconds->isEnabled());
    child<QRadioButton>(&dialog, QStringLiteral("OpcioAutoScroll_1"))->setChecked(true);
    QVERIFY(seconds->isEnabled());
    QVERIFY(child<QLabel>(&dialog, QStringLiteral("TextSegons"))->isEnabled());
    leave(seconds, QStringLiteral("abc"));
    QCOMPARE(seconds->text(), QStringLiteral("1"));
}

void SettingsDialogTest::savedSettingsReadBack() {
    Fixture f;
    {
        SettingsDialog dialog(f.ui, f.asker, true);
        choose(child<QComboBox>(&dialog, QStringLiteral("Hardware")), 4);
        choose(child<QComboBox>(&dialog, QStringLiteral("ValorColor_5")), 2);
        child<QRadioButton>(&dialog, QStringLiteral("OpcioComes_2"))->setChecked(true);
        leave(child<QLineEdit>(&dialog, QStringLiteral("MngComes")), QStringLiteral("3"));
        child<QRadioButton>(&dialog, QStringLiteral("OpcioAutoScroll_1"))->setChecked(true);
        leave(child<QLineEdit>(&dialog, QStringLiteral("TempsScroll")), QStringLiteral("15"));
        QVERIFY(dialog.save());
    }
    auto loaded = loadProgramSettings(f.dir.path() / "ZENTOR.CFG");
    QVERIFY(loaded.has_value());
    QCOMPARE(loaded->counterModel, CounterModel::DS200);
    QCOMPARE(loaded->lapFractionPolicy, std::int16_t{3});
    QCOMPARE(loaded->autoScroll, std::int16_t{15});
    QCOMPARE(loaded->colours, (std::vector<std::int16_t>{12, 10, 15, 14, 2}));

    // Opening again shows what was stored; "A cada màniga" is stored as -1.
    SettingsDialog again(f.ui, f.asker, true);
    QVERIFY(child<QRadioButton>(&again, QStringLiteral("OpcioComes_2"))->isChecked());
    QCOMPARE(child<QLineEdit>(&again, QStringLiteral("MngComes"))->text(), QStringLiteral("3"));
    child<QRadioButton>(&again, QStringLiteral("OpcioComes_1"))->setChecked(true);
    child<QRadioButton>(&again, QStringLiteral("OpcioAutoScroll_0"))->setChecked(true);
    QCOMPARE(again.settingsFromFields().lapFractionPolicy, std::int16_t{-1});
    QCOMPARE(again.settingsFromFields().autoScroll, std::int16_t{0});
}

void SettingsDialogTest::versionZeroIsWrittenBackAsTheProgramsVersion() {
    Fixture f;
    std::string bytes(31, '\0');
    bytes[9] = 1;  // DS030
    bytes[19] = 5; // five colours, all black
    test::writeBytes(f.dir.path() / "ZENTOR.CFG", bytes);
    auto loaded = loadProgramSettings(f.dir.path() / "ZENTOR.CFG");
    QVERIFY(loaded.has_value());
    f.ui.app.programConfig = *loaded;
    SettingsDialog dialog(f.ui, f.asker, false);
    QCOMPARE(child<QLabel>(&dialog, QStringLiteral("Versio"))->text(),
             QString::number(CRONOVOLTA_VERSION_MINOR));
    QVERIFY(dialog.save());
    QCOMPARE(static_cast<int>(test::readBytes(f.dir.path() / "ZENTOR.CFG")[8]),
             CRONOVOLTA_VERSION_MINOR);
}

void SettingsDialogTest::narrowLayoutHidesTheFrames() {
    Fixture f;
    SettingsDialog narrow(f.ui, f.asker, false);
    QVERIFY(!child<QGroupBox>(&narrow, QStringLiteral("DemanarComes"))->isVisibleTo(&narrow));
    QVERIFY(!child<QGroupBox>(&narrow, QStringLiteral("AutoScroll"))->isVisibleTo(&narrow));
    SettingsDialog full(f.ui, f.asker, true);
    QVERIFY(child<QGroupBox>(&full, QStringLiteral("DemanarComes"))->isVisibleTo(&full));
    QVERIFY(child<QGroupBox>(&full, QStringLiteral("AutoScroll"))->isEnabled());
    QCOMPARE(full.windowTitle(), QStringLiteral("Configuració del programa"));
}

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
