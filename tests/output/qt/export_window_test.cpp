#include "output/archive.h"
#include "output/qt/export_window.h"
#include "storage/event_files.h"
#include "storage/event_manager.h"
#include "storage/track_config.h"
#include "support/qt/screen_fixture.h"
#include "support/temp_dir.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace cronovolta;

namespace {

struct Fixture : test::ScreenFixture {
    Fixture() {
        saveTrack(4);
        EventManager manager(dir.path());
        manager.createEvent("Ràl·li", "01-03-2026");
        for (int s = 1; s <= 15; ++s) { // with PROVA.DAD and PISTA.CFG, 17 files
            test::writeBytes(eventFolder(dir.path(), 1) / ("F" + std::to_string(100 + s)),
                             std::string(static_cast<std::size_t>(s) * 1000, 'x'));
        }
    }
};

} // namespace

class ExportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void eachModeHasItsTitlePatternAndOption();
    void namesGetTheExtensionUnlessTheyEndWithIt();
    void anEmptyNameKeepsTheScreenOpen();
    void archivingAsksBeforeReplacingAndShowsProgress();
    void unarchivingReportsAWrongFormatAndSignalsSuccess();
};

void ExportWindowTest::eachModeHasItsTitlePatternAndOption() {
    Fixture f;
    struct Case {
        FileScreenMode mode;
        QString title;
        QString pattern;
        bool option;
        QString lookIn;
    };
    const Case cases[] = {
        {FileScreenMode::Export, "Exportar a TXT", "*.txt", true, "Gravar a:"},
        {FileScreenMode::Archive, "Arxivar prova", "*.prb", false, "Gravar a:"},
        {FileScreenMode::Unarchive, "Desarxivar prova", "*.prb", false, "Llegir de:"},
    };
    for (const Case& c : cases) {
        ExportWindow screen(f.ui, f.asker, c.mode, {});
        QCOMPARE(screen.windowTitle(), c.title);
        QCOMPARE(screen.pattern(), c.pattern);
        QCOMPARE(screen.nameFilters(), QStringList{c.pattern});
        QCOMPARE(screen.separateGrids()->isVisibleTo(&screen), c.option);
        QCOMPARE(screen.labelText(QFileDialog::LookIn), c.lookIn);
        QCOMPARE(screen.labelText(QFileDialog::FileName), QStringLiteral("Nom de l'arxiu:"));
        QCOMPARE(screen.labelText(QFileDialog::Accept), QStringLiteral("&Gravar"));
        QVERIFY(screen.testOption(QFileDialog::DontUseNativeDialog));
        QVERIFY(!screen.infoArxiu()->isVisibleTo(&screen));
    }
}

void ExportWindowTest::namesGetTheExtensionUnlessTheyEndWithIt() {
    Fixture f;
    ExportWindow screen(f.ui, f.asker, FileScreenMode::Archive, {});
    QVERIFY(screen.nameField() != nullptr);
    const std::pair<QString, QString> cases[] = {{"final", "final.prb"},
                                                 {"final.PRB", "final.PRB.prb"},
                                                 {"final.prb", "final.prb"},
                                                 {"", ""}};
    for (const auto& [typed, completed] : cases) {
        screen.nameField()->setText(typed);
        emit screen.nameField()->editingFinished();
        QCOMPARE(screen.nameField()->text(), completed);
    }
    test::writeBytes(f.dir.path() / "COPIA.PRB", "x");
    ExportWindow reading(f.ui, f.asker, FileScreenMode::Unarchive, {});
    for (const auto& [typed, completed] :
         {std::pair<QString, QString>{"COPIA.PRB", "COPIA.PRB"}, {"copia", "copia.prb"}}) {
        reading.nameField()->setText(typed);
        emit reading.nameField()->editingFinished();
        QCOMPARE(reading.nameField()->text(), completed);
    }
}

void ExportWindowTest::anEmptyNameKeepsTheScreenOpen() {
    Fixture f;
    bool ran = false;
    ExportWindow screen(f.ui, f.asker, FileScreenMode::Archive,
                        [&ran](const fs::path&, bool, const FileScreenReport&) {
                            ran = true;
                            return std::expected<void, std::string>{};
                        });
    screen.nameField()->clear();
    screen.accept();
    QVERIFY(!ran);
    QCOMPARE(screen.result(), 0);
    QCOMPARE(f.asker.asked.size(), std::size_t{1});
    QCOMPARE(f.asker.asked[0].title, QStringLiteral("Error"));
    QCOMPARE(f.asker.asked[0].text, QStringLiteral("Falta el nom de l'arxiu"));
}

void ExportWindowTest::archivingAsksBeforeReplacingAndShowsProgress() {
    Fixture f;
    const fs::path target = f.dir.path() / "final.prb";
    test::writeBytes(target, "old");
    ExportWindow screen(f.ui, f.asker, FileScreenMode::Archive, archiveOperation(f.event(1), 0));
    screen.resize(900, 540);
    screen.show();
    screen.nameField()->setText(QStringLiteral("final"));
    f.asker.answers = {false};
    screen.accept();
    QCOMPARE(f.asker.asked.back().title, QStringLiteral("L'arxiu ja existeix"));
    QCOMPARE(f.asker.asked.back().text, QStringLiteral("Sobreescriure'l?"));
    QCOMPARE(test::readBytes(target), std::string("old"));
    QVERIFY(screen.isVisible());

    f.asker.answers = {true};
    QVERIFY(screen.run(QString::fromStdString(target.string())));
    QCOMPARE(screen.infoArxiu()->text(), QStringLiteral("Arxivant Ràl·li (01-03-2026)"));
    QCOMPARE(screen.percent()->text(), QStringLiteral("17/17"));
    QCOMPARE(screen.workLabel()->text(), QStringLiteral("PROVA.DAD"));
    QVERIFY(screen.percent()->isVisible());
    auto index = readArchive(test::readBytes(target), 0);
    QVERIFY(index.has_value());
    QCOMPARE(index->members.size(), std::size_t{17});
    if (const QByteArray dir = qgetenv("CRONOVOLTA_SCREENSHOTS"); !dir.isEmpty()) {
        QVERIFY(screen.grab().save(QString::fromUtf8(dir) + "/file-screen-archive.png"));
    }
}

void ExportWindowTest::unarchivingReportsAWrongFormatAndSignalsSuccess() {
    Fixture f;
    const fs::path bad = f.dir.path() / "bad.prb";
    test::writeBytes(bad, "ZTR_ARX_PRB_V00 and more");
    const fs::path good = f.dir.path() / "good.prb";
    QVERIFY(archiveEvent(f.event(1), good, 0).has_value());

    ExportWindow screen(f.ui, f.asker, FileScreenMode::Unarchive,
                        unarchiveOperation(f.dir.path(), 0));
    QVERIFY(!screen.run(QString::fromStdString(bad.string())));
    QCOMPARE(f.asker.asked.back().title, QStringLiteral("Error"));
    QCOMPARE(f.asker.asked.back().text, QStringLiteral("El format de l'arxiu no és correcte"));
    QVERIFY(!screen.succeeded());
    QVERIFY(!fs::exists(f.event(2)));

    QVERIFY(screen.run(QString::fromStdString(good.string())));
    QVERIFY(screen.succeeded());
    QCOMPARE(screen.infoArxiu()->text(), QStringLiteral("Desarxivant Ràl·li (01-03-2026)"));
    QVERIFY(fs::exists(f.event(2) / "F115"));
}

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
