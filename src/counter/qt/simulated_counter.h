#pragma once

#include "counter/counter_simulator.h"
#include "counter/pseudo_terminal.h"
#include "counter/simulation_player.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <expected>
#include <optional>

namespace cronovolta {

// A lap counter played inside the program on a pseudo-terminal, so that the serial link
// reads it like a real one: attach devicePath() as COM1.
class SimulatedCounter : public QObject {
    Q_OBJECT
public:
    explicit SimulatedCounter(SimulatorOptions options, QObject* parent = nullptr);

    // A counter to try the program with: four cars on an eight-lane counter, laps of about
    // seven seconds, heats of a minute and a half with a pause, one after another.
    static SimulatorOptions defaultsFor(CounterModel model);

    // Opens the pseudo-terminal; the play begins once a program opens the device.
    std::expected<void, QString> start();
    void stop();
    // Time runs this many times faster than the clock (tests).
    void setSpeed(double factor) { m_speed = factor; }

    QString devicePath() const;
    CounterModel model() const { return m_options.model; }
    const SimulatedPlay& play() const { return m_play; }
    bool playing() const { return m_playing; }

signals:
    void finished();

private:
    void step();

    SimulatorOptions m_options;
    SimulatedPlay m_play;
    std::optional<PseudoTerminal> m_pty;
    std::optional<SimulationPlayer> m_player;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_playing = false;
    double m_speed = 1.0;
};

} // namespace cronovolta
