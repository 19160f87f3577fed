#pragma once

#include "shell/command_states.h"
#include "shell/qt/help_window.h"
#include "shell/qt/selection_lists.h"
#include "shell/qt/shell_commands.h"
#include "shell/qt/shell_notices.h"
#include "storage/resume_file.h"
#include "storage/ui_context.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <string_view>

class QAction;
class QListWidget;
class QMdiArea;
class QMenu;
class QPushButton;
class QScrollArea;
class QToolBar;

namespace cronovolta {

class Asker;
class Cover;
class HeatPanel;

// `MainWindow`: the main window. It holds the menus, the event and series lists, the side
// bar and the heat panel; every other screen opens from it.
//
// Screens built later connect themselves with setCommand(): a menu entry and the side-bar
// button that repeats it run the same command. A command without a handler tells the
// organiser that it is not available yet.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(UiContext& ui, Asker& asker, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setCommand(std::string_view name, int index, std::function<void()> handler);
    void setCommand(std::string_view name, std::function<void()> handler) {
        setCommand(name, -1, std::move(handler));
    }
    QAction* action(std::string_view name, int index = -1) const;
    void runCommand(std::string_view name, int index = -1);

    QListWidget* eventList() const { return m_lists.events(); } // `LlProves`
    QListWidget* dateList() const { return m_lists.dates(); }   // `Data`
    QListWidget* seriesList(ProgrammeType programmeType) const; // `LlSeries`(1..4)
    HeatPanel* heatPanel() const { return m_heatPanel; }        // `FonsDeMenu`
    QMdiArea* mdiArea() const;
    HelpWindow* helpWindow() const { return m_help; }
    UiContext& context() { return m_ui; }
    Asker& asker() { return m_asker; }
    // Whether this run has already said that no printer is installed: it is said once.
    bool& noPrinterTold() { return m_noPrinterTold; }

    // Start-up, in the order of the program's start: fill the event list from the
    // catalogue, then read and delete "ZTR4.INI" (a missing or empty file marks an
    // abnormal end), then offer to resume an interrupted heat or start practice.
    void loadCatalog();
    void restoreWindowState();
    bool offerResume(); // true when a resume file was found and handled
    void runAutoruns();

    // Selections as a click makes them (index -1: none).
    void selectEvent(int index);
    void selectSeries(ProgrammeType programmeType, int index);
    int selectedSeries(ProgrammeType programmeType) const; // list index, -1 none

    // The heat panel in place of the side bar while a programme is open.
    void setProgrammeOpen(bool open);
    bool programmeOpen() const { return m_selection.programmeOpen; }
    void setHeatRunning(bool running);

    // Localises the window in the language of the settings (after the settings dialog).
    void relocalise();
    // `ProvaActiva` / `SerieActiva` for the current selection.
    void refreshCommands();

    // Writes "ZTR4.INI" with the current selections (done at normal close).
    void saveWindowState();

    // The live heat takes these over; until then a resumed heat only selects its event,
    // programme and series, a new race series gets no automatic entries and the manual
    // lane items do nothing.
    std::function<void(const ResumeState&)> resumeHeat;
    std::function<void(int seriesNumber)> prepareNewRaceSeries;
    std::function<void(int lane)> manualCrossing;
    // Asked before the window closes; false keeps it open.
    std::function<bool()> mayClose;
    // The file screen that archives and unarchives for the event manager, true when its
    // operation succeeded; without it the manager says that archiving is not available yet.
    std::function<bool(QWidget* parent, FileScreenMode mode)> fileScreen;

    // The commands of the shell itself.
    void newEvent();
    void newSeries(ProgrammeType programmeType);
    void eventManager();
    void programSettings();
    void trackSettings(bool eventCopy);
    void showHelp();
    void showAbout();

signals:
    void eventSelected(int event);
    void relocalised();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool m_noPrinterTold = false;
    void buildMenus();
    void buildSideBar();
    void buildToolBar();
    QAction* addAction(QMenu* menu, std::string_view name, int index = -1);
    QMenu* addMenu(QMenu* parent, std::string_view name);
    QPushButton* addButton(QWidget* parent, std::string_view name, int index,
                           std::string_view command, int commandIndex);
    void applyCommandStates();
    void fitSideBar();
    // Back within the screen after something grew the window past it.
    void fitScreen();
    void wrapButtonBars();
    void loadLogo();

    UiContext& m_ui;
    Asker& m_asker;
    ShellSelection m_selection;
    ShellCommands m_commands;
    SelectionLists m_lists;
    ShellNotices m_notices;
    QScrollArea* m_sideBar = nullptr;
    QToolBar* m_settingsBar = nullptr;
    QToolBar* m_seriesBar = nullptr;
    HeatPanel* m_heatPanel = nullptr;
    Cover* m_cover = nullptr;
    QPointer<HelpWindow> m_help;
};

} // namespace cronovolta
