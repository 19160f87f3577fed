#include "announce/qt/announce_voice.h"

#include "texts/language_tables.h"

#ifdef CRONOVOLTA_HAVE_SPEECH
#include <QTextToSpeech>
#include <QVoice>
#endif

#include <QDeadlineTimer>
#include <QLocale>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace cronovolta {
namespace {

// How long a speech server may take to answer before the organiser is told it is not
// there, and how long the program waits for it at the end.
constexpr int kAnswerMs = 1500;
constexpr int kShutDownMs = 1000;

#ifdef CRONOVOLTA_HAVE_SPEECH
QLocale localeOf(int language) {
    return language == 1 ? QLocale(QLocale::Spanish, QLocale::Spain)
                         : QLocale(QLocale::Catalan, QLocale::Spain);
}

bool sameLanguage(const QLocale& a, const QLocale& b) {
    return a.language() == b.language();
}
#endif

QString noSpeechText(int language) {
    return language == 1 ? QStringLiteral("La voz no está disponible en este ordenador")
                         : QStringLiteral("La veu no està disponible en aquest ordinador");
}

} // namespace

// Owns the speech engine on the speech thread: everything that may block on the speech
// server (its start, its voices, its end) happens here.
class SpeechWorker : public QObject {
    Q_OBJECT
public:
    void configure(int language, const QString& voice, double rate);
    void say(const QString& text);

signals:
    // "" when the engine is ready to speak, else what the organiser must know.
    void configured(const QString& problem);
    // The engine can take a sentence.
    void idle();

private:
#ifdef CRONOVOLTA_HAVE_SPEECH
    QTextToSpeech* m_speech = nullptr;
#endif
};

void SpeechWorker::configure(int language, const QString& voice, double rate) {
#ifdef CRONOVOLTA_HAVE_SPEECH
    if (!m_speech) {
        m_speech = new QTextToSpeech(this);
        connect(m_speech, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
            if (state == QTextToSpeech::Ready) {
                emit idle();
            }
        });
    }
    if (m_speech->state() == QTextToSpeech::Error) {
        emit configured(noSpeechText(language));
        return;
    }
    const QLocale wanted = localeOf(language);
    bool found = false;
    for (const QLocale& locale : m_speech->availableLocales()) {
        if (sameLanguage(locale, wanted)) {
            m_speech->setLocale(locale);
            found = true;
            break;
        }
    }
    if (!found) {
        emit configured(language == 1 ? QStringLiteral("No hay ninguna voz en castellano instalada")
                                      : QStringLiteral("No hi ha cap veu en català instal·lada"));
        return;
    }
    for (const QVoice& v : m_speech->availableVoices()) {
        if (v.name() == voice) {
            m_speech->setVoice(v);
        }
    }
    m_speech->setRate(rate);
    emit configured({});
    if (m_speech->state() == QTextToSpeech::Ready) {
        emit idle();
    }
#else
    (void)voice;
    (void)rate;
    emit configured(noSpeechText(language));
#endif
}

void SpeechWorker::say(const QString& text) {
#ifdef CRONOVOLTA_HAVE_SPEECH
    if (!m_speech) {
        return;
    }
    m_speech->say(text);
    // An engine that reports no change would otherwise never be asked again.
    if (m_speech->state() == QTextToSpeech::Ready) {
        emit idle();
    }
#else
    (void)text;
#endif
}

AnnounceVoice::AnnounceVoice(std::filesystem::path dataDir, bool forceOn, QObject* parent)
    : QObject(parent), m_dataDir(std::move(dataDir)), m_forceOn(forceOn) {
    m_answerDeadline.setSingleShot(true);
    m_answerDeadline.setInterval(kAnswerMs);
    connect(&m_answerDeadline, &QTimer::timeout, this, [this] {
        m_gaveUp = true;
        m_engineReady = false;
        tell(QString::fromUtf8(
            messageText(0, msg::kVoiceNotAnswering, m_settings.announce.language)));
    });
}

AnnounceVoice::~AnnounceVoice() {
    shutDown();
}

bool AnnounceVoice::speechAvailable() {
#ifdef CRONOVOLTA_HAVE_SPEECH
    return !QTextToSpeech::availableEngines().isEmpty();
#else
    return false;
#endif
}

QStringList AnnounceVoice::voiceNames(int language) {
    QStringList names;
#ifdef CRONOVOLTA_HAVE_SPEECH
    if (!speechAvailable()) {
        return names;
    }
    QTextToSpeech speech;
    QLocale wanted = localeOf(language);
    for (const QLocale& locale : speech.availableLocales()) {
        if (sameLanguage(locale, wanted)) {
            speech.setLocale(locale);
            for (const QVoice& voice : speech.availableVoices()) {
                names << voice.name();
            }
        }
    }
#else
    (void)language;
#endif
    return names;
}

QString speechUnavailableText(int language) {
    if (AnnounceVoice::speechAvailable()) {
        return {};
    }
    return noSpeechText(language);
}

QString AnnounceVoice::configure(const AnnounceFileSettings& settings, int language) {
    m_settings = settings;
    m_settings.announce.language = language;
    m_announcer.setSettings(m_settings.announce);
    if (!m_settings.announce.enabled) {
        return {};
    }
    if (!speechAvailable()) {
        return speechUnavailableText(language);
    }
    startEngine();
    m_engineReady = false;
    const QString voice = QString::fromStdString(m_settings.voice);
    const double rate = m_settings.rate / 10.0;
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, language, voice, rate] { worker->configure(language, voice, rate); },
        Qt::QueuedConnection);
    if (!m_gaveUp) {
        m_answerDeadline.start();
    }
    return {};
}

void AnnounceVoice::startEngine() {
    if (m_thread) {
        return;
    }
    // No parent: a thread stuck in the speech server may have to outlive this object.
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("speech"));
    m_worker = new SpeechWorker;
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &SpeechWorker::configured, this, &AnnounceVoice::engineConfigured);
    connect(m_worker, &SpeechWorker::idle, this, [this] {
        m_engineReady = !m_gaveUp && m_settings.announce.enabled;
        sayNext();
    });
    m_thread->start();
}

void AnnounceVoice::engineConfigured(const QString& problem) {
    m_answerDeadline.stop();
    m_gaveUp = false; // a late answer brings the voice back
    if (!problem.isEmpty()) {
        m_engineReady = false;
        tell(problem);
    }
}

void AnnounceVoice::tell(const QString& text) {
    if (!m_told.contains(text)) {
        m_told.insert(text);
        emit problem(text);
    }
}

bool AnnounceVoice::shutDown() {
    detach();
    m_answerDeadline.stop();
    m_engineReady = false;
    if (!m_thread) {
        return true;
    }
    disconnect(m_worker, nullptr, this, nullptr);
    m_thread->quit();
    const bool ended = m_thread->wait(QDeadlineTimer(kShutDownMs));
    if (ended) {
        delete m_thread; // the worker and its engine went with the thread's end
    }
    // Otherwise the thread, blocked in the speech server, is left to the end of the process.
    m_thread = nullptr;
    m_worker = nullptr;
    return ended;
}

void exitLeavingVoiceBehind(AnnounceVoice& voice, int status) {
    if (voice.shutDown()) {
        return;
    }
    // The normal end of the process would wait on that thread or pull code from under it.
    // Only our own streams are flushed: the speech library's stream is locked by its reader.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

QString AnnounceVoice::attach(HeatEngine& engine, int language) {
    detach();
    QStringList problems;
    AnnounceFileSettings settings;
    if (auto loaded = loadAnnounceSettings(m_dataDir, language); loaded) {
        settings = loaded->settings;
        for (const auto& problem : loaded->problems) {
            problems << QString::fromStdString(problem);
        }
    } else {
        problems << QString::fromStdString(loaded.error());
    }
    settings.announce.enabled = settings.announce.enabled || m_forceOn;
    if (QString missing = configure(settings, language); !missing.isEmpty()) {
        problems << missing;
    }
    m_engine = &engine;
    m_link = std::make_unique<HeatAnnouncer>(engine, m_announcer);
    m_link->onEvent([this](double heatTime, bool) { told(heatTime); });
    engine.setEventListener(m_link.get());
    if (problems.isEmpty() || m_reported) {
        return {};
    }
    m_reported = true;
    return problems.join(QLatin1Char('\n'));
}

void AnnounceVoice::detach() {
    if (m_engine) {
        m_engine->setEventListener(nullptr);
    }
    m_engine = nullptr;
    m_link.reset();
}

void AnnounceVoice::told(double heatTime) {
    m_heatTime = heatTime;
    sayNext();
}

void AnnounceVoice::sayNext() {
    if (!m_settings.announce.enabled || !m_engineReady || !m_worker) {
        return;
    }
    if (auto next = m_announcer.next(m_heatTime)) {
        m_engineReady = false;
        QMetaObject::invokeMethod(
            m_worker,
            [worker = m_worker, text = QString::fromStdString(next->text)] { worker->say(text); },
            Qt::QueuedConnection);
    }
}

} // namespace cronovolta

#include "announce_voice.moc"
