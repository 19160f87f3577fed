#include "counter/ds030_reader.h"

#include "counter/counter_model.h"

namespace cronovolta {
namespace {

constexpr std::uint8_t kRed = 0xA0;
constexpr std::uint8_t kGreen = 0xA1;
constexpr std::uint8_t kStartResume = 0xA2;
constexpr std::uint8_t kPause = 0xA3;
constexpr std::uint8_t kEnd = 0xA4;
constexpr std::uint8_t kEndToo = 0xA5;

bool isFiller(std::uint8_t byte) {
    return byte == 0xA6 || byte == 0xA7 || byte == 0xB3;
}

} // namespace

Ds030Reader::Ds030Reader(const CounterSetup& setup, HeatControl& heat)
    : m_model(setup.model), m_heat(heat) {
    for (const auto& range : setup.circuits) {
        Circuit circuit;
        circuit.lanes = range;
        m_circuits.push_back(circuit);
    }
}

void Ds030Reader::read(int circuit, std::string_view bytes, double now) {
    Circuit* state = circuitState(m_circuits, circuit);
    if (state == nullptr) {
        return;
    }
    for (char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        if (state->timeBytes >= 0) {
            timeByte(*state, byte, now);
        } else if (m_heat.heatPanelShown()) {
            statusOrLane(*state, byte, now);
        }
    }
}

void Ds030Reader::resetCircuit(int circuit) {
    if (Circuit* state = circuitState(m_circuits, circuit)) {
        state->timeBytes = -1;
        state->untrusted.markAll();
    }
}

void Ds030Reader::statusOrLane(Circuit& circuit, std::uint8_t byte, double now) {
    if (!m_heat.heatRunning()) {
        if (byte == kRed) {
            m_heat.setStartLight(StartLight::Red);
        } else if (byte == kGreen) {
            m_heat.setStartLight(StartLight::Green);
        } else if (byte == kStartResume) {
            m_heat.setStartLight(StartLight::Normal);
            m_heat.startHeat(now);
        }
        return;
    }
    if (byte == kPause) {
        if (!m_heat.heatPaused()) {
            m_heat.pauseHeat(now);
        }
    } else if (byte == kStartResume) {
        if (m_heat.heatPaused()) {
            m_heat.resumePausedHeat(now);
        }
    } else if (byte == kEnd || byte == kEndToo) {
        m_heat.armHeatEnd(now);
    } else if (int local = laneOfBit(byte, m_model); local != 0) {
        // The time bytes of a lane outside the circuit are swallowed too: read as fresh
        // bytes, values such as 0x20 or 0x40 would pass for lane masks.
        circuit.lane = local + circuit.lanes.first - 1;
        circuit.outside = !circuit.lanes.contains(circuit.lane);
        circuit.timeBytes = 0;
    }
}

void Ds030Reader::timeByte(Circuit& circuit, std::uint8_t byte, double now) {
    if (isFiller(byte)) {
        return;
    }
    if (byte == kEnd || byte == kEndToo) {
        // An end signal between a report's bytes is a status byte of its own, not a digit.
        if (m_heat.heatPanelShown() && m_heat.heatRunning()) {
            m_heat.armHeatEnd(now);
        }
        return;
    }
    circuit.time[static_cast<std::size_t>(circuit.timeBytes++)] = byte;
    if (circuit.timeBytes < 3) {
        return;
    }
    circuit.timeBytes = -1;
    if (circuit.outside || !m_heat.heatPanelShown() || !m_heat.heatRunning()) {
        return;
    }
    const double seconds = bcdValue(circuit.time[0]) + bcdValue(circuit.time[1]) / 100.0 +
                           bcdValue(circuit.time[2]) / 10000.0;
    m_heat.registerCrossing(circuit.lane,
                            circuit.untrusted.take(circuit.lane, static_cast<float>(seconds)), now);
}

} // namespace cronovolta
