#include "announce/qt/announce_voice.h"
#include "support/temp_dir.h"
#include "texts/language_tables.h"

#include <QLocalServer>
#include <QSignalSpy>
#include <QtTest>

using namespace cronovolta;
using cronovolta::test::TempDir;

namespace {

AnnounceFileSettings speaking() {
    AnnounceFileSettings settings;
    settings.announce.enabled = true;
    return settings;
}

} // namespace

// The voice talks to the speech server on a thread of its own: these check that the window's
// thread never waits for a server that hangs or is missing, and that the organiser hears why.
class AnnounceVoiceTest : public QObject {
    Q_OBJECT
private slots:
    void aServerThatNeverAnswersIsGivenUpAndLeftBehind();
    void aMissingServerIsSaidAndTheThreadEnds();
};

void AnnounceVoiceTest::aServerThatNeverAnswersIsGivenUpAndLeftBehind() {
    if (!AnnounceVoice::speechAvailable()) {
        QSKIP("no speech engine in this build or on this machine");
    }
    // Takes the connection and never says a word. It stays open to the end of the process,
    // so the threads left behind stay blocked as they would be on a real hung server.
    static TempDir folder;
    static auto* server = new QLocalServer;
    const QString socket = QString::fromStdString((folder.path() / "speechd.sock").string());
    QVERIFY(server->listen(socket));
    qputenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).toLocal8Bit());

    for (int language : {kCatala, kCastella}) {
        AnnounceVoice voice(folder.path(), true);
        QSignalSpy problems(&voice, &AnnounceVoice::problem);
        QCOMPARE(voice.configure(speaking(), language), QString());
        QTRY_COMPARE(problems.count(), 1);
        QCOMPARE(problems.at(0).at(0).toString(),
                 QString::fromUtf8(messageText(0, msg::kVoiceNotAnswering, language)));
        QVERIFY(!voice.speaking());
        voice.configure(speaking(), language); // another race opened: nothing said twice
        QVERIFY(!voice.shutDown());            // not joined: the program may end
        QCOMPARE(problems.count(), 1);
    }
}

void AnnounceVoiceTest::aMissingServerIsSaidAndTheThreadEnds() {
    if (!AnnounceVoice::speechAvailable()) {
        QSKIP("no speech engine in this build or on this machine");
    }
    TempDir folder;
    qputenv("SPEECHD_ADDRESS",
            QByteArray("unix_socket:") +
                QByteArray::fromStdString((folder.path() / "none.sock").string()));
    AnnounceVoice voice(folder.path(), true);
    QSignalSpy problems(&voice, &AnnounceVoice::problem);
    QCOMPARE(voice.configure(speaking(), kCastella), QString());
    QTRY_COMPARE(problems.count(), 1);
    QVERIFY(!problems.at(0).at(0).toString().isEmpty());
    QVERIFY(!voice.speaking());
    QVERIFY(voice.shutDown());
}

QTEST_MAIN(AnnounceVoiceTest)
#include "announce_voice_test.moc"
