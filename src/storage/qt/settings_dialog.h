#pragma once

#include "storage/program_settings.h"
#include "storage/ui_context.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <expected>
#include <functional>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

namespace cronovolta {

class Asker;

// `SettingsDialog`: the program settings. Choosing a language relocalises the dialog at
// once; closing without saving puts the language back. The narrow layout hides the comes
// and auto-scroll frames; holding Shift while it opens shows the full layout.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    SettingsDialog(UiContext& ui, Asker& asker, bool fullLayout, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // "&Gravar": the settings from the fields, written to "ZENTOR.CFG"; false (with a
    // message) when the file cannot be written.
    bool save();
    ProgramSettings settingsFromFields() const;

    void reject() override;

    // Settings that live in a file of their own, shown above the buttons and saved with
    // the dialog; a saver that fails (after its own message) keeps the dialog open.
    void addSection(QWidget* section, std::function<bool()> save);

private:
    void build();
    void fillFromSettings(const ProgramSettings& settings);
    void chooseLanguage(int language);
    void paintSlot(int slot);
    void updateEnabling();
    void leaveNumberBox(QLineEdit* box);

    UiContext& m_ui;
    Asker& m_asker;
    bool m_full = false;
    std::int16_t m_languageAtOpening = 0;
    std::uint8_t m_version = 0;
    QComboBox* m_language = nullptr;
    QComboBox* m_model = nullptr;
    std::array<QComboBox*, 5> m_colours{};
    std::array<QLabel*, 5> m_descriptions{};
    std::array<QRadioButton*, 3> m_lapFraction{};
    std::array<QRadioButton*, 2> m_autoScroll{};
    QLineEdit* m_lapFractionPass = nullptr;
    QLineEdit* m_scrollSeconds = nullptr;
    QLabel* m_seconds = nullptr;
    QGroupBox* m_lapFractionFrame = nullptr;
    QGroupBox* m_scrollFrame = nullptr;
    QVBoxLayout* m_top = nullptr;
    std::vector<std::function<bool()>> m_sectionSavers;
};

// Adds a section that reads and writes a file of its own: what could not be read is told
// first, and a save that fails is told under `title` and keeps the dialog open.
void addFileSection(SettingsDialog& dialog, QWidget* section, const QString& title,
                    const QStringList& readProblems, Asker& asker,
                    std::function<std::expected<void, QString>()> save);

} // namespace cronovolta
