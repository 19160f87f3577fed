#pragma once

#include "counter/capture.h"
#include "heat/heat_engine.h"
#include "output/qt/lap_by_lap_view.h"
#include "results/qt/standings_window.h"
#include "shell/qt/heat_clock_tick.h"
#include "shell/qt/heat_ports.h"
#include "shell/qt/screen_sync_pace.h"
#include "storage/resume_file.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QMdiSubWindow;

namespace cronovolta {

class AnnounceVoice;
class Asker;
class CapturePlayer;
class HeatPanelAdapter;
class LinkPrompt;
class MainWindow;
class SerialLink;
struct UiContext;

// How often the screens follow the engine at most, half a frame of a 60 Hz screen: a burst of
// crossings is shown together, a crossing after a quiet spell is shown at once, and one that
// just missed an update still reaches the screen within a frame, painting included.
inline constexpr int kScreenSyncMs = 8;

// The live heats of the desktop program: opening and closing a programme from the main
// window, the heat engine with its clock tick (`Transcorregut`), the serial ports of the
// circuits, the heat panel, the lap-by-lap view and the standings window, the heat keys of
// every heat window, the "Manual" lanes, cancelling a heat and resuming one after a crash.
class HeatSession : public QObject, private HeatObserver {
    Q_OBJECT
public:
    HeatSession(MainWindow& window, UiContext& ui, Asker& asker, QObject* parent = nullptr);
    ~HeatSession() override;

    // --- Set-up (start-up options, tests) ---
    // PC clock in seconds since midnight; the default reads the local time.
    void setClock(std::function<double()> now) { m_now = std::move(now); }
    double now() const { return m_now(); }
    // A device to open as COMn instead of the port map's (the simulator).
    void setPortOverride(int port, const QString& devicePath) {
        m_ports.setPortOverride(port, devicePath);
    }
    // The counter model to decode instead of the settings' (the simulator's model).
    void setCounterModel(std::optional<CounterModel> model) { m_ports.setCounterModel(model); }
    // Everything received, typed and pressed goes to this capture file.
    void setCaptureFile(const fs::path& file);
    // Plays a capture into the next programme opened, in real time (or `speed` times
    // faster).
    void setReplay(std::vector<CaptureEvent> events, double speed = 1.0);
    // Screens of other parts of the program that the heat panel opens.
    void setScreen(HeatCommand command, std::function<void()> open);
    // The correction screen for the comes; it calls lapFractionEntryClosed() when it closes.
    std::function<void(LapFractionEntry)> enterLapFractions;
    // The results screen, asked for from the standings window (by default the main
    // window's classification command); the participants of the series are reloaded when
    // it returns.
    std::function<void()> showResults;

    // --- Programme ---
    bool openProgramme(ProgrammeType programmeType);
    // Refused while a heat runs. With `nextSeries` the next series of the type is opened.
    bool closeProgramme(bool nextSeries = false);
    bool programmeOpen() const { return m_engine && m_engine->programmeOpen(); }
    // The organiser said Yes to the resume question: the event and series are selected.
    void resumeHeat(const ResumeState& state);

    // --- Input ---
    void heatKey(int code);
    void manualCrossing(int lane);
    void clickButton(int button);
    void lapFractionEntryClosed();

    // --- State, for the screens and tests ---
    HeatEngine* engine() const { return m_engine.get(); }
    // Spoken announcements follow every programme opened from now on.
    // What the voice finds out later (a speech server that does not answer) is shown too.
    void setVoice(AnnounceVoice* voice);
    LapByLapView* lapByLapView() const { return m_lapView; }
    StandingsWindow* standingsWindow() const { return m_standings; }
    SerialLink* link() const { return m_ports.link(); }
    const QTimer& clockTick() const { return m_tick.timer(); }
    // Brings the screens up to date now instead of at the next sync.
    void syncScreens();
    // Longest time between two screen updates while crossings came in, in ms.
    double longestSyncGapMs() const { return m_syncPace.longestGapMs(); }
    int screenSyncs() const { return m_syncPace.syncs(); }

signals:
    void screensSynced();
    void programmeOpened(ProgrammeType programmeType);
    void programmeClosed();
    void heatFinished(int heat);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // HeatObserver
    void modelsChanged() override;
    void heatEnded(int heat) override;
    void lapFractionEntryDue(LapFractionEntry entry) override;
    void problem(const std::string& message) override;

    std::optional<ProgrammeRequest> requestFor(ProgrammeType programmeType) const;
    void keyOfHeatWindow(int code);
    void openWindows();
    void closeWindows();
    void showManualLanes();
    void openPorts();
    void attachVoice();
    void connectLink();
    void startReplay();
    void runCommand(HeatCommand command);
    void askCancel();
    void openLapFractions(LapFractionEntry entry);
    void followClockTick();
    void onTick();
    void syncCaption();
    void showMessage(const QString& text);
    CounterModel counterModel() const;

    MainWindow& m_window;
    UiContext& m_ui;
    Asker& m_asker;
    std::function<double()> m_now;
    std::unique_ptr<HeatEngine> m_engine;
    AnnounceVoice* m_voice = nullptr;
    HeatPorts m_ports; // after the engine: its link goes first
    std::unique_ptr<HeatPanelAdapter> m_panel;
    std::unique_ptr<CapturePlayer> m_player;
    std::optional<CaptureWriter> m_capture;
    std::map<HeatCommand, std::function<void()>> m_screens;
    std::vector<CaptureEvent> m_replay;
    double m_replaySpeed = 1.0;

    QPointer<LapByLapView> m_lapView;
    QPointer<StandingsWindow> m_standings;
    QPointer<QMdiSubWindow> m_lapWindow;
    QPointer<QMdiSubWindow> m_standingsWindow;
    QString m_baseCaption;

    HeatClockTick m_tick; // `Transcorregut`
    bool m_recovering = false;
    ScreenSyncPace m_syncPace;
    bool m_heatShownRunning = false;
};

} // namespace cronovolta
