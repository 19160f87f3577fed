#include "storage/program_settings.h"
#include "storage/qt/settings_dialog.h"
#include "support/qt/qt_test_support.h"
#include "support/temp_dir.h"
#include "texts/qt/qt_texts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace cronovolta;

namespace {

// The captions of a question's buttons as the organiser sees them.
QStringList questionButtons(QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"), buttons);
    box.show();
    QStringList texts;
    for (QAbstractButton* b : box.buttons()) {
        texts << b->text().remove(QLatin1Char('&'));
    }
    texts.sort();
    return texts;
}

QString fileDialogCancel() {
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    return buttons && buttons->button(QDialogButtonBox::Cancel)
               ? buttons->button(QDialogButtonBox::Cancel)->text()
               : QString();
}

} // namespace

class QtTextsTest : public QObject {
    Q_OBJECT
private slots:
    void questionsAndFileDialogsSpeakTheProgramsLanguage() {
        test::TempDir dir;
        test::ScriptedAsker asker;
        UiContext ui;
        ui.app.dataDir = dir.path();
        ui.app.programConfig = defaultProgramSettings();
        ui.messages.fill("Portada", kLanguageCatalan);
        SettingsDialog dialog(ui, asker, false);
        QVERIFY(qtTranslationLoaded());
        QCOMPARE(questionButtons(QMessageBox::Yes | QMessageBox::No),
                 (QStringList{QStringLiteral("No"), QStringLiteral("Sí")}));
        QCOMPARE(questionButtons(QMessageBox::Ok | QMessageBox::Cancel),
                 (QStringList{QStringLiteral("Cancel·la"), QStringLiteral("D'acord")}));
        QVERIFY(!fileDialogCancel().isEmpty());
        QVERIFY(fileDialogCancel() != QStringLiteral("Cancel"));
        const QString catalanCancel = fileDialogCancel();

        // Choosing the other language switches Qt's texts at once.
        auto* language = dialog.findChild<QComboBox*>(QStringLiteral("LlIdioma"));
        QVERIFY(language);
        language->setCurrentIndex(kLanguageCastilian);
        emit language->activated(kLanguageCastilian);
        QCOMPARE(questionButtons(QMessageBox::Ok | QMessageBox::Cancel),
                 (QStringList{QStringLiteral("Aceptar"), QStringLiteral("Cancelar")}));
        QVERIFY(fileDialogCancel() != catalanCancel);
    }

    void buttonsLeftInEnglishTakeTheProgramsTexts() {
        QTemporaryDir noTranslations;
        for (int language : {kLanguageCatalan, kLanguageCastilian}) {
            followLanguage(language, noTranslations.path());
            QVERIFY(!qtTranslationLoaded());
            QStringList expected = {
                QString::fromUtf8(dialogButtonText(DialogButton::Cancel, language)),
                QString::fromUtf8(dialogButtonText(DialogButton::Ok, language))};
            expected.sort();
            QCOMPARE(questionButtons(QMessageBox::Ok | QMessageBox::Cancel), expected);
            QCOMPARE(questionButtons(QMessageBox::Retry | QMessageBox::Cancel).size(), 2);
            QVERIFY(!questionButtons(QMessageBox::Yes | QMessageBox::No)
                         .contains(QStringLiteral("Yes")));
        }
        followLanguage(kLanguageCatalan);
        QVERIFY(qtTranslationLoaded());
    }
};

QTEST_MAIN(QtTextsTest)
#include "qt_texts_test.moc"
