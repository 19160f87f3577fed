#pragma once

#include "announce/announce_settings.h"
#include "announce/heat_announcer.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <filesystem>
#include <memory>

class QThread;

namespace cronovolta {

class SpeechWorker;

// Says the announcer's sentences through the system's speech engine, one at a time, as
// the heat goes on. The engine lives on a thread of its own and is only ever told things,
// never waited for: a speech server that hangs cannot stop the timing. A sentence is
// taken only when the engine says it is idle. Built without the speech module, it stays
// silent and says so.
class AnnounceVoice : public QObject {
    Q_OBJECT
public:
    // `forceOn`: speak even when the settings file has announcements off (--announce).
    AnnounceVoice(std::filesystem::path dataDir, bool forceOn, QObject* parent = nullptr);
    ~AnnounceVoice() override;

    // False when the program was built without speech or no engine is installed.
    static bool speechAvailable();
    // The voices the engine offers for the language (0 Catalan, 1 Castilian). Blocks on the
    // speech server: call it off the window's thread.
    static QStringList voiceNames(int language);

    // Settings and language. What is known at once (no speech at all) comes back as a
    // message in plain words for the organiser; what the speech server answers later, or
    // its silence, comes through problem().
    QString configure(const AnnounceFileSettings& settings, int language);
    bool enabled() const { return m_settings.announce.enabled; }
    // The engine has answered and can speak.
    bool speaking() const { return m_engineReady; }

    // Follows the engine's heats from now on, with the settings file as it is now; call
    // detach() before the engine goes. Returns what the organiser must hear about once:
    // bad lines of the settings file or speech that is missing ("" otherwise).
    QString attach(HeatEngine& engine, int language);
    void detach();

    // Ends the speech engine's thread, giving it a moment; false when it did not end (a
    // speech server that never answers): the thread is then left behind, and the program
    // should end without waiting for it.
    bool shutDown();

    const Announcer& announcer() const { return m_announcer; }

signals:
    // Something about the voice the organiser must know, each text once.
    void problem(const QString& text);

private:
    void startEngine();
    void engineConfigured(const QString& problem);
    void tell(const QString& text);
    void told(double heatTime);
    void sayNext();

    std::filesystem::path m_dataDir;
    bool m_forceOn = false;
    bool m_reported = false;
    AnnounceFileSettings m_settings;
    Announcer m_announcer;
    std::unique_ptr<HeatAnnouncer> m_link;
    HeatEngine* m_engine = nullptr;
    QThread* m_thread = nullptr;
    SpeechWorker* m_worker = nullptr; // lives on m_thread
    QTimer m_answerDeadline;
    QSet<QString> m_told;
    bool m_engineReady = false; // configured, and idle since its last sentence
    bool m_gaveUp = false;
    double m_heatTime = 0.0;
};

// The program's last step: when the voice's thread cannot be ended, the process ends at once
// with `status`, our output flushed, instead of waiting on the speech server; else returns.
void exitLeavingVoiceBehind(AnnounceVoice& voice, int status);

// The organiser's text for speech that cannot be had, in the language; "" when it can.
QString speechUnavailableText(int language);

} // namespace cronovolta
