#pragma once

#include "counter/counter_simulator.h"
#include "storage/event_files.h"
#include "storage/file_io.h"
#include "texts/qt/asker.h"

#include <QObject>
#include <QStringList>

#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cronovolta {

class HeatSession;
class MainWindow;
class SimulatedCounter;
struct UiContext;

// The desktop program's options for live heats.
struct LiveOptions {
    std::optional<CounterModel> simulate;   // --simulate MODEL: a counter on a pseudo-terminal
    fs::path replay;                        // --replay CAPTURE: into the next programme opened
    fs::path record;                        // --record FILE: everything received, typed, pressed
    std::optional<ProgrammeType> programme; // --programme TYPE: opened at start
    bool resume = false;                    // --resume: an interrupted heat goes on unasked
};

// Takes the live options out of the arguments and leaves the others. A bad value is
// refused with a message.
std::expected<LiveOptions, std::string> takeLiveOptions(std::vector<std::string>& args);
std::string liveOptionsUsage();

// The counter a newcomer sees with --simulate: eight cars on an eight-lane track.
SimulatorOptions demoCounter(CounterModel model);

// What --simulate found or made in the data folder.
struct DemoFolder {
    int raceEvent = 0; // the demonstration event made now, 0 when events existed
};

// In a data folder without settings, track or events --simulate makes them: settings with
// the simulated model, an eight-lane track on COM1 and an event with a race of ten
// participants. What exists is left as it is.
std::expected<DemoFolder, std::string> prepareDemoFolder(const fs::path& dataDir,
                                                         CounterModel model, int language);

// Answers Yes to the question that offers to resume an interrupted heat (--resume), for a
// track computer that starts again by itself; every other question goes to `inner`.
class ResumingAsker final : public Asker {
public:
    explicit ResumingAsker(Asker& inner);
    bool yesNo(QWidget* parent, const QString& title, const QString& text,
               bool yesIsDefault = false) override;
    bool okCancel(QWidget* parent, const QString& title, const QString& text) override {
        return m_inner.okCancel(parent, title, text);
    }
    void message(QWidget* parent, const QString& title, const QString& text) override {
        m_inner.message(parent, title, text);
    }

private:
    Asker& m_inner;
    QStringList m_resumeTitles; // of both languages
};

// The live part of a run of the desktop program: the heat session on the main window, with
// the simulator, the replay and the recording the options ask for.
class LiveRun : public QObject {
    Q_OBJECT
public:
    LiveRun(MainWindow& window, UiContext& ui, Asker& asker, LiveOptions options);
    ~LiveRun() override;

    HeatSession& session() { return *m_session; }
    SimulatedCounter* simulator() const { return m_simulator.get(); }

    // After the main window's start-up (and a resumed heat): opens the programme the options
    // ask for, or with the simulator the race of the demonstration event.
    void started(const DemoFolder& demo = {});

private:
    MainWindow& m_window;
    UiContext& m_ui;
    LiveOptions m_options;
    std::unique_ptr<HeatSession> m_session;
    std::unique_ptr<SimulatedCounter> m_simulator;
};

} // namespace cronovolta
