#include "shell/qt/heat_session.h"

#include "announce/qt/announce_voice.h"
#include "counter/counter_decoder.h"
#include "counter/qt/serial_link.h"
#include "heat/qt/capture_player.h"
#include "heat/qt/heat_panel.h"
#include "heat/qt/heat_panel_adapter.h"
#include "heat/qt/screen_support.h"
#include "output/qt/lap_by_lap_view.h"
#include "results/qt/standings_window.h"
#include "shell/qt/main_window.h"
#include "storage/app_context.h"
#include "storage/startup.h"
#include "storage/ui_context.h"
#include "texts/qt/asker.h"
#include "texts/qt/screen_text.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

namespace cronovolta {
namespace {

QString withoutAccelerator(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

constexpr Qt::WindowFlags kChildFlags =
    Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint;

} // namespace

HeatSession::HeatSession(MainWindow& window, UiContext& ui, Asker& asker, QObject* parent)
    : QObject(parent), m_window(window), m_ui(ui), m_asker(asker),
      m_now([] { return secondsSinceMidnight(); }), m_ports(&window),
      m_panel(std::make_unique<HeatPanelAdapter>(*window.heatPanel())),
      m_tick(this, [this] { onTick(); }), m_syncPace(this, [this] { syncScreens(); }) {

    for (ProgrammeType t : kProgrammeTypes) {
        window.setCommand("MnuPrg", index(t), [this, t] { openProgramme(t); });
    }
    window.manualCrossing = [this](int lane) { manualCrossing(lane); };
    window.resumeHeat = [this](const ResumeState& state) { resumeHeat(state); };
    window.mayClose = [this] {
        // Closing the window in the middle of a heat would lose it: the heat ends first.
        if (m_engine && m_engine->heatRunning()) {
            showMessage(qstr(m_ui.message(0, msg::kHeatStillRunning)));
            return false;
        }
        return closeProgramme();
    };
    for (int i = 0; i < 6; ++i) {
        connect(window.heatPanel()->button(i), &QPushButton::clicked, this,
                [this, i] { clickButton(i); });
    }
    qApp->installEventFilter(this);
}

HeatSession::~HeatSession() {
    qApp->removeEventFilter(this);
    m_window.manualCrossing = nullptr;
    m_window.resumeHeat = nullptr;
    m_window.mayClose = nullptr;
    if (m_voice) {
        m_voice->detach();
    }
    m_ports.closePorts();
}

void HeatSession::setVoice(AnnounceVoice* voice) {
    if (m_voice) {
        disconnect(m_voice, nullptr, this, nullptr);
    }
    m_voice = voice;
    if (m_voice) {
        connect(m_voice, &AnnounceVoice::problem, this,
                [this](const QString& text) { showMessage(text); });
    }
}

void HeatSession::setCaptureFile(const fs::path& file) {
    m_capture.reset();
    if (!file.empty()) {
        m_capture.emplace(file);
    }
    if (SerialLink* link = m_ports.link()) {
        link->setCaptureFile(file);
    }
}

void HeatSession::setReplay(std::vector<CaptureEvent> events, double speed) {
    m_replay = std::move(events);
    m_replaySpeed = speed;
}

void HeatSession::setScreen(HeatCommand command, std::function<void()> open) {
    m_screens[command] = std::move(open);
}

CounterModel HeatSession::counterModel() const {
    return m_ports.counterModel(m_ui.app.programConfig.counterModel);
}

std::optional<ProgrammeRequest> HeatSession::requestFor(ProgrammeType programmeType) const {
    ProgrammeRequest request;
    request.dataDir = m_ui.app.dataDir;
    request.event = m_ui.app.activeSelection.event;
    request.programmeType = programmeType;
    if (programmeType >= ProgrammeType::FreePractice) {
        QListWidget* list = m_window.seriesList(programmeType);
        const int index = m_window.selectedSeries(programmeType);
        if (list == nullptr || index < 0 || index >= list->count()) {
            return std::nullopt;
        }
        request.seriesNumber = index + 1;
        request.seriesCount = list->count();
        request.seriesListText = list->item(index)->text().toStdString();
    }
    return request;
}

bool HeatSession::openProgramme(ProgrammeType programmeType) {
    if (programmeOpen()) {
        return false;
    }
    const auto request = requestFor(programmeType);
    if (!request) {
        return false;
    }
    auto engine = std::make_unique<HeatEngine>(m_ui.app.programConfig);
    engine->setObserver(this);
    m_engine = std::move(engine);
    if (auto opened = m_engine->openProgramme(*request); !opened) {
        m_engine.reset();
        const bool tooManyLanes = opened.error().kind == OpenProgrammeError::Kind::TooManyLanes;
        showMessage(tooManyLanes ? qstr(m_ui.message(0, msg::kTooManyLanes))
                                 : qstr(opened.error().text));
        return false;
    }
    attachVoice();
    m_ui.app.activeSelection.programmeType = programmeType;
    m_ui.app.activeSelection.seriesNumber = static_cast<std::int16_t>(request->seriesNumber);
    m_ui.app.activeSelection.heatsDone = static_cast<std::int16_t>(m_engine->heatNumber());
    m_ui.app.trackConfig = m_engine->track();
    m_ui.app.activeParticipants = m_engine->participants();

    m_baseCaption = m_window.windowTitle();
    m_window.setProgrammeOpen(true);
    m_panel->invalidate();
    openWindows();
    showManualLanes();

    connectLink();
    // While an interrupted heat waits to be resumed the ports stay closed; a programme
    // opened from the menu is never such a recovery.
    if (!m_recovering) {
        m_ui.app.abnormalEnd = false;
        if (m_replay.empty()) {
            openPorts(); // a capture played back stands in for the counters
        }
    }
    syncScreens();
    emit programmeOpened(programmeType);

    startReplay();
    return true;
}

void HeatSession::attachVoice() {
    if (m_voice) {
        if (QString problem = m_voice->attach(*m_engine, m_ui.app.programConfig.language);
            !problem.isEmpty()) {
            showMessage(problem);
        }
    }
}

// The engine's link to the counters; the clock tick waits while their bytes are decoded.
void HeatSession::connectLink() {
    SerialLink& link = m_ports.connect(*m_engine);
    link.setClock(m_now);
    link.setTick([this] { m_tick.hold(); },
                 [this] {
                     m_tick.release();
                     followClockTick();
                     if (m_tick.takeDeferred()) {
                         onTick();
                     }
                 });
    link.setLanguage(m_ui.language());
    if (m_capture) {
        link.setCaptureFile(m_capture->file());
    }
}

// A capture played back stands in for the counters.
void HeatSession::startReplay() {
    if (m_replay.empty()) {
        return;
    }
    const CounterSetup setup = counterSetup(m_engine->track(), counterModel());
    auto decoder = std::shared_ptr<CounterDecoder>(makeDecoder(setup, *m_engine));
    m_player = std::make_unique<CapturePlayer>(
        std::move(m_replay), [this, decoder](const CaptureEvent& event) {
            switch (event.kind) {
            case CaptureEvent::Kind::Bytes:
                if (m_engine) {
                    decoder->read(event.circuit, event.bytes, now());
                }
                break;
            case CaptureEvent::Kind::Key:
                heatKey(event.key);
                break;
            case CaptureEvent::Kind::Lane:
                manualCrossing(event.lane);
                break;
            }
        });
    m_replay.clear();
    m_player->setSpeed(m_replaySpeed);
    m_player->start();
}

void HeatSession::showManualLanes() {
    // Only the lanes of the open programme's track: a click on another would do nothing.
    for (int lane = 1; lane <= 16; ++lane) {
        if (QAction* item = m_window.action("Manual", lane)) {
            item->setVisible(!m_engine || m_engine->lanes().takesPart(lane));
        }
    }
}

void HeatSession::openPorts() {
    if (!m_ports.link() || !m_engine) {
        return;
    }
    m_ports.open(m_ui.app.dataDir, m_engine->track(), counterModel());
}

void HeatSession::openWindows() {
    QMdiArea* area = m_window.mdiArea();
    const ProgrammeType programmeType = m_engine->programme().programmeType;

    m_lapView = new LapByLapView;
    m_lapView->setColourSlots(ColourSlots::from(m_ui.app.programConfig.colours));
    connect(m_lapView, &LapByLapView::heatKey, this, [this](int key) { keyOfHeatWindow(key); });
    m_lapWindow = area->addSubWindow(m_lapView, kChildFlags);
    m_lapWindow->setWindowTitle(qstr(tableCaption("VoltaaVolta", "", -1, m_ui.language())));

    if (programmeType >= ProgrammeType::OfficialPractice) {
        m_standings = new StandingsWindow;
        StandingsSetup setup;
        setup.programmeType = programmeType;
        setup.participants = m_engine->participantCount();
        setup.language = m_ui.language();
        setup.messages = &m_ui.messages;
        setup.colours = ColourSlots::from(m_ui.app.programConfig.colours);
        setup.infoShown = m_ui.infoShown;
        m_standings->open(setup);
        setup.title = qstr(m_ui.message(msgkey::kClassificationTitle)) +
                      withoutAccelerator(qstr(tableCaption("Portada", "MnuPrg",
                                                           index(programmeType), m_ui.language())));
        m_standings->setWindowTitle(setup.title);
        connect(m_standings, &StandingsWindow::heatKey, this, [this](int key) { heatKey(key); });
        connect(m_standings, &StandingsWindow::infoShownChanged, this,
                [this](bool shown) { m_ui.infoShown = shown; });
        connect(m_standings, &StandingsWindow::resultsRequested, this, [this, programmeType] {
            if (!m_engine || m_engine->heatRunning()) {
                return;
            }
            if (showResults) {
                showResults();
            } else {
                m_window.runCommand("MnuCls", index(programmeType));
            }
            if (auto reloaded = loadActiveSeries(m_ui.app); !reloaded) {
                showMessage(qstr(reloaded.error()));
            }
        });
        m_standingsWindow = area->addSubWindow(m_standings, kChildFlags);
        m_standingsWindow->setWindowTitle(setup.title);
        m_lapWindow->show();
        m_standingsWindow->show();
        area->tileSubWindows();
    } else {
        m_lapWindow->showMaximized();
    }
    m_lapView->setFocus();
}

void HeatSession::closeWindows() {
    for (QMdiSubWindow* w : {m_lapWindow.data(), m_standingsWindow.data()}) {
        if (w != nullptr) {
            w->hide();
            // A key handler of the window itself may have asked for the close.
            w->deleteLater();
        }
    }
    m_lapWindow = nullptr;
    m_standingsWindow = nullptr;
    m_lapView = nullptr;
    m_standings = nullptr;
}

bool HeatSession::closeProgramme(bool nextSeries) {
    if (!m_engine) {
        return true;
    }
    if (m_engine->heatRunning()) {
        return false;
    }
    const ProgrammeRequest request = m_engine->programme();
    if (m_player) {
        m_player->stop();
    }
    m_tick.stop();
    m_syncPace.stop();
    m_ports.disconnect();
    m_engine->closeProgramme();
    closeWindows();
    m_window.setHeatRunning(false);
    m_heatShownRunning = false;
    m_window.setProgrammeOpen(false);
    m_window.setWindowTitle(m_baseCaption);
    m_ui.app.activeSelection.programmeType = ProgrammeType::Practice;
    if (m_voice) {
        m_voice->detach();
    }
    m_engine.reset();
    showManualLanes();
    emit programmeClosed();

    QListWidget* list = m_window.seriesList(request.programmeType);
    if (nextSeries && request.programmeType >= ProgrammeType::OfficialPractice && list != nullptr &&
        request.seriesNumber < list->count()) {
        m_window.selectSeries(request.programmeType, request.seriesNumber);
        openProgramme(request.programmeType);
    }
    return true;
}

void HeatSession::resumeHeat(const ResumeState& state) {
    if (!programmeOpen()) {
        m_recovering = true; // the ports wait until the journal is replayed
        const bool opened = openProgramme(state.programmeType);
        m_recovering = false;
        if (!opened) {
            m_ui.app.abnormalEnd = false;
            dropResumeFile(m_ui.app.dataDir);
            return;
        }
    }
    const RecoveryOutcome outcome = m_engine->recoverHeat(state.heatStart, now());
    m_ui.app.abnormalEnd = false;
    if (outcome == RecoveryOutcome::AlreadyStored || outcome == RecoveryOutcome::NotStarted) {
        dropResumeFile(m_ui.app.dataDir); // a running heat has written it anew
    }
    if (outcome == RecoveryOutcome::NotStarted) {
        showMessage(qstr(m_ui.message(0, msg::kResumeFileInvalid)));
    }
    openPorts();
    followClockTick();
    syncScreens();
}

void HeatSession::heatKey(int code) {
    if (!programmeOpen()) {
        return;
    }
    if ((code == 's' || code == 'S') && m_engine->endByKeyNeedsAsking(now())) {
        const HeatTexts& texts = m_engine->texts();
        // The counter may end the heat while the question waits: S must not start another.
        if (!m_asker.yesNo(&m_window, qstr(texts.endHeatTitle),
                           qstr(texts.endWhileCrossingQuestion)) ||
            !m_engine || !m_engine->heatRunning()) {
            return;
        }
    }
    if (m_capture) {
        (void)m_capture->key(now(), code);
    }
    runCommand(m_engine->handleKey(code, now()));
}

void HeatSession::manualCrossing(int lane) {
    if (!m_engine || !m_engine->heatRunning()) {
        return;
    }
    if (m_capture) {
        (void)m_capture->lane(now(), lane);
    }
    m_engine->registerCrossing(lane, 0.0f, now());
}

void HeatSession::clickButton(int button) {
    if (programmeOpen()) {
        runCommand(m_engine->clickButton(button));
    }
}

void HeatSession::lapFractionEntryClosed() {
    if (m_engine) {
        m_engine->lapFractionEntryClosed();
    }
}

void HeatSession::runCommand(HeatCommand command) {
    switch (command) {
    case HeatCommand::None:
        return;
    case HeatCommand::CloseProgramme:
        closeProgramme(false);
        return;
    case HeatCommand::OpenNextSeries:
        closeProgramme(true);
        return;
    case HeatCommand::AskCancel:
        askCancel();
        return;
    case HeatCommand::EnterLapFractions:
        openLapFractions(LapFractionEntry::Full);
        return;
    case HeatCommand::ListLaps:
    case HeatCommand::Print:
    case HeatCommand::Correct:
        break;
    }
    if (auto it = m_screens.find(command); it != m_screens.end() && it->second) {
        it->second();
    } else {
        showMessage(qstr(m_ui.message(0, msg::kNotAvailableYet)));
    }
}

void HeatSession::askCancel() {
    const QString title = qstr(m_ui.message(0, msg::kCancelHeatTitle));
    if (m_asker.yesNo(&m_window, title, qstr(m_engine->cancelQuestion()))) {
        if (m_engine) {
            m_engine->cancelLastHeat();
        }
        syncScreens();
    }
}

void HeatSession::openLapFractions(LapFractionEntry entry) {
    if (enterLapFractions) {
        enterLapFractions(entry);
        return;
    }
    showMessage(qstr(m_ui.message(0, msg::kNotAvailableYet)));
    lapFractionEntryClosed();
}

void HeatSession::followClockTick() {
    m_tick.follow(m_engine.get());
}

void HeatSession::onTick() {
    if (!m_engine) {
        return;
    }
    if (!m_tick.mayTick()) {
        return; // ticks once the bytes being decoded are done
    }
    m_engine->tick(now());
}

void HeatSession::modelsChanged() {
    if (!m_engine) {
        return;
    }
    followClockTick();
    m_syncPace.schedule();
}

void HeatSession::heatEnded(int heat) {
    QMetaObject::invokeMethod(
        this, [this, heat] { emit heatFinished(heat); }, Qt::QueuedConnection);
}

void HeatSession::lapFractionEntryDue(LapFractionEntry entry) {
    // Outside the engine's call: the correction screen is modal.
    QMetaObject::invokeMethod(
        this, [this, entry] { openLapFractions(entry); }, Qt::QueuedConnection);
}

void HeatSession::problem(const std::string& message) {
    const QString text = qstr(message);
    QMetaObject::invokeMethod(
        this, [this, text] { showMessage(text); }, Qt::QueuedConnection);
}

void HeatSession::showMessage(const QString& text) {
    m_asker.message(&m_window, qstr(m_ui.message(0, msg::kErrorTitle)), text);
}

void HeatSession::syncCaption() {
    const QString caption = m_baseCaption + qstr(m_engine->panel().caption);
    if (m_window.windowTitle() != caption) {
        m_window.setWindowTitle(caption);
    }
}

void HeatSession::syncScreens() {
    m_syncPace.stop();
    if (!m_engine || !m_engine->programmeOpen()) {
        return;
    }
    const bool running = m_engine->heatRunning();
    m_syncPace.note(running && m_heatShownRunning);

    m_panel->sync(m_engine->panel());
    syncCaption();
    if (running != m_heatShownRunning) {
        m_window.setHeatRunning(running);
        m_heatShownRunning = running;
        if (running && m_window.isVisible()) {
            // Out of the way of the screens while the heat runs.
            QCursor::setPos(
                m_window.mapToGlobal(QPoint(m_window.width() - 1, m_window.height() / 2)));
        }
    }
    m_ui.app.activeSelection.heatsDone = static_cast<std::int16_t>(m_engine->heatNumber());
    if (m_lapView) {
        m_lapView->sync(m_engine->lanes());
    }
    if (m_standings) {
        StandingsFrame frame;
        frame.grid = &m_engine->standings();
        frame.headings = &m_engine->standingsHeadings();
        frame.absolute = &m_engine->absoluteFastestLap();
        frame.superPole = &m_engine->superPole();
        frame.heat = m_engine->heatNumber();
        frame.clock = m_engine->panel().clock;
        frame.heatRunning = running;
        m_standings->sync(frame);
    }
    emit screensSynced();
}

bool HeatSession::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !programmeOpen() || !watched->isWidgetType()) {
        return false;
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != &m_window) {
        return false; // a dialog keeps its keys
    }
    // The heat windows pass their keys on themselves, and the other screens of the
    // document area keep theirs: a letter typed into a field must not start a heat.
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (qobject_cast<QMdiSubWindow*>(w) != nullptr) {
            return false;
        }
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        return false; // menu shortcuts
    }
    return passHeatKeys(*key, [this](int code) { keyOfHeatWindow(code); });
}

// The standings window answers the space bar itself; from the other heat windows it is
// passed to it, so that the organiser need not click into the standings first.
void HeatSession::keyOfHeatWindow(int code) {
    if (code == ' ' && m_standings != nullptr) {
        m_standings->setInfoShown(!m_standings->infoShown());
    }
    heatKey(code);
}

} // namespace cronovolta
