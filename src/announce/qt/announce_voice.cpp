#include "announce/qt/announce_voice.h"

#ifdef CRONOVOLTA_HAVE_SPEECH
#include <QTextToSpeech>
#include <QVoice>
#endif

#include <QLocale>

namespace cronovolta {
namespace {

#ifdef CRONOVOLTA_HAVE_SPEECH
QLocale localeOf(int language) {
    return language == 1 ? QLocale(QLocale::Spanish, QLocale::Spain)
                         : QLocale(QLocale::Catalan, QLocale::Spain);
}

bool sameLanguage(const QLocale& a, const QLocale& b) {
    return a.language() == b.language();
}
#endif

} // namespace

AnnounceVoice::AnnounceVoice(std::filesystem::path dataDir, bool forceOn, QObject* parent)
    : QObject(parent), m_dataDir(std::move(dataDir)), m_forceOn(forceOn) {}

AnnounceVoice::~AnnounceVoice() {
    detach();
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
    return language == 1 ? QStringLiteral("La voz no está disponible en este ordenador")
                         : QStringLiteral("La veu no està disponible en aquest ordinador");
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
#ifdef CRONOVOLTA_HAVE_SPEECH
    if (!m_speech) {
        m_speech = new QTextToSpeech(this);
        connect(m_speech, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
            if (state == QTextToSpeech::Ready) {
                sayNext();
            }
        });
    }
    QLocale wanted = localeOf(language);
    bool found = false;
    for (const QLocale& locale : m_speech->availableLocales()) {
        if (sameLanguage(locale, wanted)) {
            m_speech->setLocale(locale);
            found = true;
            break;
        }
    }
    if (!found) {
        return language == 1 ? QStringLiteral("No hay ninguna voz en castellano instalada")
                             : QStringLiteral("No hi ha cap veu en català instal·lada");
    }
    for (const QVoice& voice : m_speech->availableVoices()) {
        if (voice.name() == QString::fromStdString(m_settings.voice)) {
            m_speech->setVoice(voice);
        }
    }
    m_speech->setRate(m_settings.rate / 10.0);
#endif
    return {};
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
    if (!m_settings.announce.enabled || !m_speech) {
        return;
    }
#ifdef CRONOVOLTA_HAVE_SPEECH
    if (m_speech->state() != QTextToSpeech::Ready) {
        return;
    }
    if (auto next = m_announcer.next(m_heatTime)) {
        m_speech->say(QString::fromStdString(next->text));
    }
#endif
}

} // namespace cronovolta
