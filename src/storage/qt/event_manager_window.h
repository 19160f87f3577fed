#pragma once

#include "storage/ui_context.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace cronovolta {

class Asker;

// `EventManagerWindow`: lists the events with their dates, series per programme type and heats
// run, the files of the event's folder; deletes an event or a series, changes an event's
// name and date, and opens the file screen to archive or unarchive. The main window
// rebuilds the catalogue when it closes.
class EventManagerWindow : public QDialog {
    Q_OBJECT
public:
    // Opens the file screen to archive or unarchive; true when its operation succeeded.
    using FileScreen = std::function<bool(QWidget* parent, FileScreenMode mode)>;

    EventManagerWindow(UiContext& ui, Asker& asker, QWidget* parent = nullptr,
                       FileScreen fileScreen = {});

    void selectEvent(int index);
    void selectProgramme(int row); // 0 official practice, 1 Super Pole, 2 race
    void selectSeries(int row);

    void deleteEvent();
    void modifyEvent();
    void deleteSeries();
    void archive(FileScreenMode mode);

    QListWidget* events() const { return m_events; }
    QListWidget* dates() const { return m_dates; }
    QListWidget* programmes() const { return m_programmes; }
    QListWidget* series() const { return m_series; }
    QListWidget* files() const { return m_files; }
    QLabel* seriesCountLabel() const { return m_seriesCount; }
    QLabel* heatCountLabel() const { return m_heatCount; }

private:
    void build();
    void loadEvents();
    void refreshButtons();
    void showError(const QString& text);
    ProgrammeType selectedProgramme() const; // 2..4

    UiContext& m_ui;
    Asker& m_asker;
    FileScreen m_fileScreen;
    std::array<std::int16_t, 4> m_counts{}; // series of types 1..4 of the selected event
    QListWidget* m_events = nullptr;
    QListWidget* m_dates = nullptr;
    QListWidget* m_programmes = nullptr;
    QListWidget* m_series = nullptr;
    QListWidget* m_files = nullptr;
    QLabel* m_seriesCount = nullptr;
    QLabel* m_heatCount = nullptr;
    QPushButton* m_buttons[8] = {};
    bool m_syncing = false;
};

} // namespace cronovolta
