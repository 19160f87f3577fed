#include "shell/qt/main_window.h"

#include "announce/qt/announce_settings_box.h"
#include "live/qt/live_settings_box.h"

#include "shell/qt/cover.h"
#include "storage/event_manager.h"
#include "storage/qt/event_lists.h"
#include "storage/qt/event_manager_window.h"
#include "storage/qt/localise.h"
#include "storage/qt/new_event_dialog.h"
#include "storage/qt/settings_dialog.h"
#include "storage/qt/track_dialog.h"
#include "storage/startup.h"
#include "storage/track_fields.h"
#include "texts/qt/asker.h"
#include "texts/qt/dialog_parts.h"

#include <QGuiApplication>
#include <QListWidget>

#include <iostream>

namespace cronovolta {

namespace {

QString joinProblems(const std::vector<std::string>& problems) {
    QStringList lines;
    for (const std::string& p : problems) {
        lines << QString::fromStdString(p);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void MainWindow::loadLogo() {
    for (const char* name : {"LOGO.GIF", "LOGO.JPG"}) {
        const fs::path file = m_ui.app.dataFile(name);
        std::error_code ec;
        if (fs::is_regular_file(file, ec)) {
            QPixmap logo(QString::fromStdString(file.string()));
            if (!logo.isNull()) {
                m_cover->setLogo(logo);
            }
            return;
        }
    }
}

void MainWindow::loadCatalog() {
    fillEventLists(m_lists.events(), m_lists.dates(), {});
    auto catalog = cronovolta::loadCatalog(m_ui.app.dataDir);
    if (!catalog) {
        m_notices.showError(QString::fromStdString(catalog.error()));
    } else {
        fillEventLists(m_lists.events(), m_lists.dates(), catalog->entries);
    }
    selectEvent(m_lists.events()->count() - 1);
}

void MainWindow::selectEvent(int index) {
    selectEventRow(m_lists.events(), m_lists.dates(), index);
    if (index < 0 || index >= m_lists.events()->count()) {
        m_ui.app.activeSelection.event = 0;
        m_lists.clearSeries();
        refreshCommands();
        return;
    }
    m_ui.app.activeSelection.event = static_cast<std::int16_t>(index + 1);
    const fs::path header = m_ui.app.activeEventDir() / kEventHeaderFileName;
    EventHeader counts;
    if (auto read = readEventHeader(header); read) {
        counts = read->header;
    } else {
        m_notices.showError(QString::fromStdString(read.error()));
    }
    m_ui.app.setSeriesCounts(counts);
    // Free practice always has its one series, whatever the header counts.
    m_lists.fillSeries(ProgrammeType::FreePractice, std::max<int>(1, m_ui.app.seriesCounts[1]));
    m_lists.series(ProgrammeType::FreePractice)->setCurrentRow(0);
    for (int t = 2; t <= 4; ++t) {
        const auto type = static_cast<ProgrammeType>(t);
        m_lists.fillSeries(type, m_ui.app.seriesCounts[t]);
        m_lists.series(type)->setCurrentRow(m_lists.series(type)->count() - 1);
    }
    refreshCommands();
    emit eventSelected(index + 1);
}

void MainWindow::selectSeries(ProgrammeType programmeType, int index) {
    if (QListWidget* list = seriesList(programmeType); list != nullptr) {
        if (index >= 0 && index < list->count()) {
            list->setCurrentRow(index);
        }
    }
}

int MainWindow::selectedSeries(ProgrammeType programmeType) const {
    const QListWidget* list = seriesList(programmeType);
    return list != nullptr ? list->currentRow() : -1;
}

void MainWindow::restoreWindowState() {
    const auto state = takeWindowState(m_ui.app.dataFile(kWindowStateFileName));
    if (!state) {
        m_ui.app.abnormalEnd = true;
        return;
    }
    if (state->eventIndex >= 0 && state->eventIndex < m_lists.events()->count()) {
        selectEvent(state->eventIndex);
    }
    for (std::size_t k = 0; k < state->seriesIndexes.size() && k < 4; ++k) {
        selectSeries(static_cast<ProgrammeType>(k + 1), state->seriesIndexes[k]);
    }
    m_ui.infoShown = state->infoShown;
}

void MainWindow::saveWindowState() {
    WindowState state;
    state.eventIndex = m_lists.events()->currentRow();
    for (int t = 1; t <= 4; ++t) {
        state.seriesIndexes.push_back(m_lists.series(static_cast<ProgrammeType>(t))->currentRow());
    }
    state.infoShown = m_ui.infoShown;
    if (auto written = writeWindowState(m_ui.app.dataFile(kWindowStateFileName), state); !written) {
        // The next start then takes this run for an abnormal end, which costs nothing
        // more than a question when a heat was interrupted.
        std::cerr << written.error() << '\n';
    }
}

bool MainWindow::offerResume() {
    const ResumeAtStart found = takeResumeFile(m_ui.app.dataDir, m_ui.app.abnormalEnd);
    auto& sel = m_ui.app.activeSelection;
    const bool eventKnown = found.state && found.state->event <= m_lists.events()->count();
    if (eventKnown) {
        selectEvent(found.state->event - 1);
    }
    // A heat of a series that the event no longer has cannot be resumed.
    const bool heatKnown =
        eventKnown && found.state->seriesNumber <= seriesList(found.state->programmeType)->count();
    if (found.invalidFile || (found.state && !heatKnown)) {
        m_notices.showError(message(m_ui, 0, msg::kResumeFileInvalid));
    }
    if (!found.state || !heatKnown) {
        if (found.invalidFile || found.state) {
            m_ui.app.abnormalEnd = false;
            dropResumeFile(m_ui.app.dataDir);
        }
        return found.invalidFile || found.state.has_value();
    }
    const ResumeState& resume = *found.state;
    selectSeries(resume.programmeType, resume.seriesNumber - 1);
    RecoveryTexts texts;
    texts.question = m_ui.message(0, msg::kRecoveryQuestion);
    texts.eventCaption = tableCaption("Portada", "Marc", 0, m_ui.language());
    texts.modeLabel = m_ui.message(0, msg::kModeLabel);
    texts.programme =
        tableCaption("Portada", "MnuPrg", index(resume.programmeType), m_ui.language());
    texts.seriesLabel = tableCaption("Portada", "TextSerie", 1, m_ui.language());
    texts.heatLabel = m_ui.message(0, msg::kHeatLabel);
    const std::string text =
        recoveryQuestionText(texts, m_lists.events()->currentItem()->text().toStdString(),
                             resume.seriesNumber, resume.heat);
    // Yes is the default: a reflex Enter must keep the interrupted heat, not throw it away.
    if (m_asker.yesNo(this, message(m_ui, 0, msg::kRecoveryTitle), QString::fromStdString(text),
                      true)) {
        if (resumeHeat) {
            resumeHeat(resume);
        } else {
            dropResumeFile(m_ui.app.dataDir);
            // Until the live heat can take it over, the heat is only selected; the flag
            // stays set so that starting it replays its journal.
            sel.programmeType = resume.programmeType;
            sel.seriesNumber = resume.seriesNumber;
            sel.heatsDone = resume.heat;
            sel.heatStart = resume.heatStart;
        }
    } else {
        dropResumeFile(m_ui.app.dataDir);
        sel.programmeType = ProgrammeType::Practice;
        sel.seriesNumber = 0;
        sel.heatsDone = 0;
        sel.heatStart = 0.0f;
        m_ui.app.abnormalEnd = false;
    }
    return true;
}

void MainWindow::runAutoruns() {
    std::error_code ec;
    if (fs::exists(m_ui.app.dataFile(kAutorunsFileName), ec)) {
        runCommand("MnuPrg", 0);
    }
}

void MainWindow::newEvent() {
    NewEventDialog dialog(m_ui, m_asker, this);
    if (dialog.exec() == QDialog::Accepted) {
        loadCatalog();
    }
}

void MainWindow::newSeries(ProgrammeType programmeType) {
    const int event = m_ui.app.activeSelection.event;
    if (event <= 0 || programmeType < ProgrammeType::OfficialPractice ||
        programmeType > ProgrammeType::Race) {
        return;
    }
    const auto slot = static_cast<std::size_t>(index(programmeType));
    const int next = m_ui.app.seriesCounts[slot] + 1;
    const QString question = QString::fromStdString(
        newSeriesQuestionText(m_ui.message(0, msg::kNewSeriesQuestion), next));
    if (!m_asker.yesNo(this, tableString(m_ui, "Portada", "MnuPrg", index(programmeType)), question,
                       true)) {
        return;
    }
    EventManager manager(m_ui.app.dataDir);
    auto added = manager.addSeries(event, programmeType);
    if (!added) {
        m_notices.showError(QString::fromStdString(added.error().message));
        return;
    }
    m_ui.app.seriesCounts[slot] = static_cast<std::int16_t>(*added);
    m_lists.fillSeries(programmeType, *added);
    m_lists.series(programmeType)->setCurrentRow(*added - 1);
    refreshCommands();
    if (programmeType == ProgrammeType::Race && prepareNewRaceSeries) {
        prepareNewRaceSeries(*added);
    }
}

void MainWindow::eventManager() {
    {
        EventManagerWindow dialog(m_ui, m_asker, this, fileScreen);
        dialog.exec();
    }
    // The catalogue follows the folders after every visit to the manager.
    if (auto rebuilt = rebuildCatalog(m_ui.app.dataDir); !rebuilt) {
        m_notices.showError(QString::fromStdString(rebuilt.error()));
    } else if (!rebuilt->problems.empty()) {
        m_notices.showError(joinProblems(rebuilt->problems));
    }
    loadCatalog();
}

void MainWindow::programSettings() {
    {
        SettingsDialog dialog(m_ui, m_asker, shiftHeld(), this);
        addAnnounceSection(dialog, m_ui.app.dataDir, m_ui.app.programConfig.language, m_asker);
        live::addLiveSection(dialog, m_ui.app.dataDir, m_ui.app.programConfig.language, m_asker);
        dialog.exec();
    }
    relocalise();
}

void MainWindow::trackSettings(bool eventCopy) {
    if (eventCopy && m_ui.app.activeSelection.event <= 0) {
        return;
    }
    const fs::path folder = eventCopy ? m_ui.app.activeEventDir() : m_ui.app.dataDir;
    const fs::path file = folder / kTrackFileName;
    TrackConfig config = defaultTrackConfig();
    std::error_code ec;
    if (fs::exists(file, ec)) {
        auto loaded = loadTrackConfigChecked(file);
        if (!loaded) {
            m_notices.showError(QString::fromStdString(loaded.error()));
            return;
        }
        if (loaded->config.lanesAboveMaximum()) {
            m_notices.showError(message(m_ui, 0, msg::kTooManyLanes));
            return;
        }
        if (!loaded->problems.empty()) {
            m_notices.showError(joinProblems(loaded->problems));
        }
        config = loaded->config;
    }
    TrackDialogOptions options;
    options.file = file;
    if (eventCopy && m_lists.events()->currentItem() != nullptr) {
        options.eventName = m_lists.events()->currentItem()->text();
        options.locked = heatsAlreadyRun(folder);
    }
    options.showSplit = shiftHeld();
    TrackDialog dialog(m_ui, m_asker, config, options, this);
    dialog.exec();
}

} // namespace cronovolta
