#pragma once

#include "announce/announce_settings.h"

#include <QGroupBox>
#include <QPointer>
#include <QThread>

#include <array>
#include <filesystem>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace cronovolta {

class Asker;
class SettingsDialog;

// The announcements' part of the program settings: on/off, which events speak, the
// timed heat's length, the silent-car limit, the voice and its rate. Reads and writes
// its own file in the data folder.
class AnnounceSettingsBox : public QGroupBox {
    Q_OBJECT
public:
    AnnounceSettingsBox(std::filesystem::path dataDir, int language, QWidget* parent = nullptr);
    ~AnnounceSettingsBox() override;

    AnnounceFileSettings settingsFromFields() const;
    // Writes the file; on failure the message, in the language, for the organiser.
    std::expected<void, QString> save() const;
    // Problems of the file as it was read (bad lines), already in the language.
    const QStringList& readProblems() const { return m_problems; }

private:
    void fill(const AnnounceFileSettings& settings);
    void updateEnabling();
    void listVoicesLater(int language);

    std::filesystem::path m_dataDir;
    int m_language = 0;
    QStringList m_problems;
    QCheckBox* m_enabled = nullptr;
    std::array<QCheckBox*, kAnnounceEventCount> m_events{};
    QSpinBox* m_heatSeconds = nullptr;
    QSpinBox* m_silentSeconds = nullptr;
    QComboBox* m_voice = nullptr;
    QSlider* m_rate = nullptr;
    QLabel* m_unavailable = nullptr;
    QPointer<QThread> m_lister;
};

// Adds the announcements' settings to the program settings dialog, saved with it; bad
// lines of their file are shown first.
void addAnnounceSection(SettingsDialog& dialog, const std::filesystem::path& dataDir, int language,
                        Asker& asker);

} // namespace cronovolta
