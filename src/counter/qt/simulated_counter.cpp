#include "counter/qt/simulated_counter.h"

namespace cronovolta {

SimulatedCounter::SimulatedCounter(SimulatorOptions options, QObject* parent)
    : QObject(parent), m_options(options) {
    m_timer.setInterval(10);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SimulatedCounter::step);
}

SimulatorOptions SimulatedCounter::defaultsFor(CounterModel model) {
    SimulatorOptions options;
    options.model = model;
    options.lanes = 8;
    options.cars = 4;
    options.lapTime = 7.0;
    options.spread = 0.5;
    options.heats = 200;
    options.heatLength = 90.0;
    options.pauseLength = 10.0;
    options.heatGap = 15.0;
    options.seed = 1;
    return options;
}

std::expected<void, QString> SimulatedCounter::start() {
    if (auto valid = validateSimulatorOptions(m_options); !valid) {
        return std::unexpected(QString::fromStdString(valid.error()));
    }
    auto pty = PseudoTerminal::open();
    if (!pty) {
        return std::unexpected(QString::fromStdString(pty.error()));
    }
    m_pty.emplace(std::move(*pty));
    m_player.reset();
    m_play = planSimulation(m_options);
    m_player.emplace(m_play);
    m_playing = false;
    m_timer.start();
    return {};
}

void SimulatedCounter::stop() {
    m_timer.stop();
    m_playing = false;
    m_pty.reset();
}

QString SimulatedCounter::devicePath() const {
    return m_pty ? QString::fromStdString(m_pty->devicePath()) : QString();
}

void SimulatedCounter::step() {
    if (!m_pty || !m_player) {
        return;
    }
    m_pty->drain();
    if (!m_playing) {
        if (!m_pty->peerAttached()) {
            return;
        }
        m_playing = true;
        m_clock.start();
    }
    const double elapsed = m_clock.nsecsElapsed() / 1e9 * m_speed;
    if (auto progress = m_player->pump(*m_pty, elapsed); !progress) {
        qWarning("%s", progress.error().c_str());
        m_timer.stop();
        emit finished();
        return;
    }
    if (m_player->finished()) {
        m_timer.stop();
        emit finished();
    }
}

} // namespace cronovolta
