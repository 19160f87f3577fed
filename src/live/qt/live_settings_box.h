#pragma once

#include "live/live_settings.h"

#include <QGroupBox>

#include <expected>
#include <filesystem>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace cronovolta {

class Asker;
class SettingsDialog;

namespace live {

// The live-results server's part of the program settings: on/off, the port and the address
// it listens on, said in plain words, and the other names the page may be asked for by. Reads and
// writes its own file in the data folder.
class LiveSettingsBox : public QGroupBox {
    Q_OBJECT
public:
    LiveSettingsBox(std::filesystem::path dataDir, int language, QWidget* parent = nullptr);

    LiveSettings settingsFromFields() const;
    std::expected<void, QString> save() const;
    const QStringList& readProblems() const { return m_problems; }

private:
    std::filesystem::path m_dataDir;
    int m_language = 0;
    QStringList m_problems;
    QCheckBox* m_enabled = nullptr;
    QSpinBox* m_port = nullptr;
    QComboBox* m_address = nullptr;
    QLineEdit* m_hosts = nullptr;
};

// Adds the server's settings to the program settings dialog, saved with it.
void addLiveSection(SettingsDialog& dialog, const std::filesystem::path& dataDir, int language,
                    Asker& asker);

} // namespace live
} // namespace cronovolta
