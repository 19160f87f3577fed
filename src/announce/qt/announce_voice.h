#pragma once

#include "announce/announce_settings.h"
#include "announce/heat_announcer.h"

#include <QObject>
#include <QStringList>

#include <filesystem>
#include <memory>

class QTextToSpeech;

namespace cronovolta {

// Says the announcer's sentences through the system's speech engine, one at a time, as
// the heat goes on. It only ever takes a sentence when the engine is idle, so the timing
// never waits for it. Built without the speech module, it stays silent and says so.
class AnnounceVoice : public QObject {
    Q_OBJECT
public:
    // `forceOn`: speak even when the settings file has announcements off (--announce).
    AnnounceVoice(std::filesystem::path dataDir, bool forceOn, QObject* parent = nullptr);
    ~AnnounceVoice() override;

    // False when the program was built without speech or no engine is installed.
    static bool speechAvailable();
    // The voices the engine offers for the language (0 Catalan, 1 Castilian).
    static QStringList voiceNames(int language);

    // Settings and language; a missing voice for the language comes back as a message
    // in plain words for the organiser (empty when all is well).
    QString configure(const AnnounceFileSettings& settings, int language);
    bool enabled() const { return m_settings.announce.enabled; }

    // Follows the engine's heats from now on, with the settings file as it is now; call
    // detach() before the engine goes. Returns what the organiser must hear about once:
    // bad lines of the settings file, speech or a voice that is missing ("" otherwise).
    QString attach(HeatEngine& engine, int language);
    void detach();

    const Announcer& announcer() const { return m_announcer; }

private:
    void told(double heatTime);
    void sayNext();

    std::filesystem::path m_dataDir;
    bool m_forceOn = false;
    bool m_reported = false;
    AnnounceFileSettings m_settings;
    Announcer m_announcer;
    std::unique_ptr<HeatAnnouncer> m_link;
    HeatEngine* m_engine = nullptr;
    QTextToSpeech* m_speech = nullptr;
    double m_heatTime = 0.0;
};

// The organiser's text for speech that cannot be had, in the language; "" when it can.
QString speechUnavailableText(int language);

} // namespace cronovolta
