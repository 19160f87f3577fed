#include "counter/ds300_reader.h"

#include "counter/counter_model.h"

namespace cronovolta {
namespace {

constexpr std::uint8_t kRed = 0xA1;
constexpr std::uint8_t kGreen = 0xA2;
constexpr std::uint8_t kStartResume = 0xA3;
constexpr std::uint8_t kEnd = 0xA4;
constexpr std::uint8_t kPause = 0xA5;
constexpr std::uint8_t kRestartRed = 0xA6;
constexpr std::uint8_t kEndToo = 0xA7;

} // namespace

using namespace ds300;

Ds300Reader::Ds300Reader(const CounterSetup& setup, HeatControl& heat)
    : m_model(setup.model), m_heat(heat) {
    for (const auto& range : setup.circuits) {
        Circuit circuit;
        circuit.lanes = range;
        m_circuits.push_back(circuit);
    }
}

void Ds300Reader::read(int circuit, std::string_view bytes, double now) {
    Circuit* state = circuitState(m_circuits, circuit);
    if (state == nullptr) {
        return;
    }
    for (char c : bytes) {
        frameByte(*state, static_cast<std::uint8_t>(c), now);
    }
}

void Ds300Reader::resetCircuit(int circuit) {
    if (Circuit* state = circuitState(m_circuits, circuit)) {
        state->size = 0;
        state->untrusted.markAll();
    }
}

void Ds300Reader::frameByte(Circuit& circuit, std::uint8_t byte, double now) {
    if (circuit.size == 0 && byte != kFrameStart) {
        return;
    }
    if (circuit.size == kFrameSize - 1 && byte != kFrameEnd) {
        circuit.size = 0;
        if (byte != kFrameStart) {
            return;
        }
    }
    circuit.buffer[circuit.size++] = byte;
    if (circuit.size == kFrameSize) {
        completeFrame(circuit, now);
    }
}

void Ds300Reader::completeFrame(Circuit& circuit, double now) {
    circuit.size = 0;
    if (circuit.hasLast && circuit.buffer == circuit.last) {
        return;
    }
    circuit.last = circuit.buffer;
    circuit.hasLast = true;
    if (!m_heat.heatPanelShown()) {
        return;
    }
    if (m_heat.heatRunning()) {
        runningStatus(circuit, now);
    } else {
        idleStatus(circuit.last[kStatus], now);
    }
}

void Ds300Reader::idleStatus(std::uint8_t status, double now) {
    if (status == kRed) {
        m_heat.setStartLight(StartLight::Red);
    } else if (status == kGreen) {
        m_heat.setStartLight(StartLight::Green);
    } else if (status == kStartResume) {
        m_heat.setStartLight(StartLight::Normal);
        m_heat.startHeat(now);
    }
}

void Ds300Reader::runningStatus(Circuit& circuit, double now) {
    const Frame& frame = circuit.last;
    const bool paused = m_heat.heatPaused();
    switch (frame[kStatus]) {
    case kPause:
        if (!paused) {
            m_heat.pauseHeat(now);
        }
        return;
    case kRestartRed:
        if (paused) {
            m_heat.setRestartLight(RestartLight::Red);
        }
        return;
    case kGreen:
        if (paused) {
            m_heat.setRestartLight(RestartLight::Green);
        }
        return;
    case kStartResume:
        if (paused) {
            m_heat.resumePausedHeat(now);
        }
        return;
    case kEnd:
    case kEndToo:
        m_heat.armHeatEnd(now);
        return;
    default:
        break;
    }
    const int local = laneOfBit(frame[kMask], m_model);
    if (local == 0) {
        return;
    }
    int lane = local + circuit.lanes.first - 1;
    if (m_model == CounterModel::DS300DS4port) {
        lane += (frame[kBox] - 1) * 8;
    }
    if (!circuit.lanes.contains(lane)) {
        return;
    }
    const double seconds = bcdValue(frame[kMinutes]) * 60.0 + bcdValue(frame[kMinutes + 1]) +
                           bcdValue(frame[kMinutes + 2]) / 100.0 +
                           bcdValue(frame[kMinutes + 3]) / 10000.0;
    m_heat.registerCrossing(lane, circuit.untrusted.take(lane, static_cast<float>(seconds)), now);
}

} // namespace cronovolta
