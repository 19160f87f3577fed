#include "announce/announce_settings.h"
#include "announce/qt/announce_settings_box.h"
#include "announce/qt/announce_voice.h"
#include "storage/qt/settings_dialog.h"
#include "support/qt/screen_fixture.h"
#include "support/temp_dir.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

using namespace cronovolta;

namespace {

using Fixture = test::ScreenFixture;

} // namespace

class AnnounceSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void optionsAreSavedWithTheDialogAndReadBack();
    void badFileLinesAreShownAndDefaultsKept();
    void missingSpeechIsSaidInTheLanguage();
};

void AnnounceSettingsTest::optionsAreSavedWithTheDialogAndReadBack() {
    Fixture f;
    {
        SettingsDialog dialog(f.ui, f.asker, false);
        addAnnounceSection(dialog, f.dir.path(), kLanguageCatalan, f.asker);
        auto* on = dialog.findChild<QCheckBox*>(QStringLiteral("AnunciarPerVeu"));
        QVERIFY(on);
        QVERIFY(!on->isChecked()); // off until the organiser asks for it
        auto* leader = dialog.findChild<QCheckBox*>(QStringLiteral("Anunci_leader"));
        QVERIFY(!leader->isEnabled());
        on->setChecked(true);
        QVERIFY(leader->isEnabled());
        leader->setChecked(false);
        dialog.findChild<QSpinBox*>(QStringLiteral("DuradaManiga"))->setValue(240);
        dialog.findChild<QSlider*>(QStringLiteral("VelocitatVeu"))->setValue(4);
        QVERIFY(dialog.save());
    }
    auto loaded = loadAnnounceSettings(f.dir.path(), kLanguageCatalan);
    QVERIFY(loaded && loaded->problems.empty());
    QVERIFY(loaded->settings.announce.enabled);
    QVERIFY(!loaded->settings.announce.speaks(AnnounceEvent::NewLeader));
    QVERIFY(loaded->settings.announce.speaks(AnnounceEvent::FastestLap));
    QCOMPARE(loaded->settings.announce.heatSeconds, 240);
    QCOMPARE(loaded->settings.rate, 4);
    // "ZENTOR.CFG" keeps its own layout beside the new file.
    QVERIFY(fs::exists(f.dir.path() / "ZENTOR.CFG"));

    SettingsDialog again(f.ui, f.asker, false);
    addAnnounceSection(again, f.dir.path(), kLanguageCatalan, f.asker);
    QVERIFY(again.findChild<QCheckBox*>(QStringLiteral("AnunciarPerVeu"))->isChecked());
    QVERIFY(!again.findChild<QCheckBox*>(QStringLiteral("Anunci_leader"))->isChecked());
    QCOMPARE(again.findChild<QSpinBox*>(QStringLiteral("DuradaManiga"))->value(), 240);
    QVERIFY(f.asker.asked.empty());
}

void AnnounceSettingsTest::badFileLinesAreShownAndDefaultsKept() {
    Fixture f(kLanguageCastilian);
    test::writeBytes(f.dir.path() / "ANNOUNCE.INI", "enabled=1\nsilent_seconds=-1\n");
    SettingsDialog dialog(f.ui, f.asker, false);
    addAnnounceSection(dialog, f.dir.path(), kLanguageCastilian, f.asker);
    QCOMPARE(f.asker.asked.size(), std::size_t{1});
    QCOMPARE(f.asker.asked[0].text, QStringLiteral("Valor no válido en ANNOUNCE.INI, línea 2"));
    QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("AnunciarPerVeu"))->isChecked());
    QCOMPARE(dialog.findChild<QSpinBox*>(QStringLiteral("AvisAturat"))->value(), 30);
}

void AnnounceSettingsTest::missingSpeechIsSaidInTheLanguage() {
    for (int language : {kLanguageCatalan, kLanguageCastilian}) {
        Fixture f(language);
        SettingsDialog dialog(f.ui, f.asker, false);
        addAnnounceSection(dialog, f.dir.path(), language, f.asker);
        auto* label = dialog.findChild<QLabel*>(QStringLiteral("VeuNoDisponible"));
        QVERIFY(label);
        if (AnnounceVoice::speechAvailable()) {
            QVERIFY(label->text().isEmpty());
        } else {
            QCOMPARE(label->text(),
                     language == kLanguageCatalan
                         ? QStringLiteral("La veu no està disponible en aquest ordinador")
                         : QStringLiteral("La voz no está disponible en este ordenador"));
        }
    }
}

QTEST_MAIN(AnnounceSettingsTest)
#include "announce_settings_test.moc"
