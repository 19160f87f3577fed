#include "announce/qt/announce_voice.h"
#include "support/temp_dir.h"
#include "texts/language_tables.h"

#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <iostream>

using namespace cronovolta;
using cronovolta::test::TempDir;

namespace {

AnnounceFileSettings speaking() {
    AnnounceFileSettings settings;
    settings.announce.enabled = true;
    return settings;
}

// A speech server that takes the connection and never says a word. It stays open to the end
// of the process, so the threads left behind stay blocked as on a real hung server.
const TempDir& hungServer() {
    static TempDir folder;
    static auto* server = new QLocalServer;
    if (!server->isListening()) {
        const QString socket = QString::fromStdString((folder.path() / "speechd.sock").string());
        server->listen(socket);
        qputenv("SPEECHD_ADDRESS", ("unix_socket:" + socket).toLocal8Bit());
    }
    return folder;
}

} // namespace

// The voice talks to the speech server on a thread of its own: these check that the window's
// thread never waits for a server that hangs or is missing, and that the organiser hears why.
class AnnounceVoiceTest : public QObject {
    Q_OBJECT
private slots:
    void aServerThatNeverAnswersIsGivenUpAndLeftBehind();
    void aMissingServerIsSaidAndTheThreadEnds();
    void theProcessEndsWhateverTheServerDoes();
    void endsWithAHungServer(); // the child process of the test above
};

void AnnounceVoiceTest::aServerThatNeverAnswersIsGivenUpAndLeftBehind() {
    if (!AnnounceVoice::speechAvailable()) {
        QSKIP("no speech engine in this build or on this machine");
    }
    const TempDir& folder = hungServer();
    for (int language : {kLanguageCatalan, kLanguageCastilian}) {
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
    QCOMPARE(voice.configure(speaking(), kLanguageCastilian), QString());
    QTRY_COMPARE(problems.count(), 1);
    QVERIFY(!problems.at(0).at(0).toString().isEmpty());
    QVERIFY(!voice.speaking());
    QVERIFY(voice.shutDown());
}

// The program's end with a voice stuck in a hung server: no wait on it, the status kept and
// what was printed flushed. (The library holds its own stream locked while it waits.)
void AnnounceVoiceTest::theProcessEndsWhateverTheServerDoes() {
    if (!AnnounceVoice::speechAvailable()) {
        QSKIP("no speech engine in this build or on this machine");
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CRONOVOLTA_HUNG_VOICE_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("endsWithAHungServer")});
    QVERIFY(child.waitForStarted());
    const bool ended = child.waitForFinished(60000); // a generous bound on a hang, not a timing
    if (!ended) {
        child.kill();
        child.waitForFinished();
    }
    QVERIFY2(ended, "the process waited on the speech server");
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 7);
    QVERIFY(child.readAllStandardOutput().contains("voice given up"));
}

void AnnounceVoiceTest::endsWithAHungServer() {
    if (qEnvironmentVariableIsEmpty("CRONOVOLTA_HUNG_VOICE_CHILD")) {
        QSKIP("run by theProcessEndsWhateverTheServerDoes");
    }
    auto* voice = new AnnounceVoice(hungServer().path(), true);
    QSignalSpy problems(voice, &AnnounceVoice::problem);
    voice->configure(speaking(), kLanguageCatalan);
    QTRY_COMPARE(problems.count(), 1);
    std::cout << "voice given up\n";
    exitLeavingVoiceBehind(*voice, 7);
    QFAIL("the voice's thread ended although its server never answered");
}

QTEST_MAIN(AnnounceVoiceTest)
#include "announce_voice_test.moc"
