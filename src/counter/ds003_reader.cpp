#include "counter/ds003_reader.h"
#include "storage/lap_record.h"

#include <algorithm>

namespace cronovolta {
namespace {

constexpr char kStx = 2;
constexpr char kEot = 4;
constexpr std::size_t kRecord = 11;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

double fieldValue(std::string_view field) {
    double value = 0.0;
    double scale = 0.0; // 0 before the decimal point, then 0.1, 0.01...
    bool negative = false;
    bool started = false;
    for (char c : field) {
        if (isBlank(c)) {
            continue;
        }
        if (!started && (c == '-' || c == '+')) {
            negative = c == '-';
            started = true;
        } else if (c >= '0' && c <= '9') {
            started = true;
            if (scale == 0.0) {
                value = value * 10.0 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10.0;
            }
        } else if (c == '.' && scale == 0.0) {
            started = true;
            scale = 0.1;
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

Ds003Reader::Ds003Reader(const CounterSetup& setup, HeatControl& heat)
    : m_setup(setup), m_heat(heat), m_buffers(setup.circuits.size()) {}

void Ds003Reader::read(int circuit, std::string_view bytes, double now) {
    std::string* state = circuitState(m_buffers, circuit);
    if (state == nullptr) {
        return;
    }
    std::string& buffer = *state;
    for (char c : bytes) {
        if (!m_heat.heatPanelShown()) {
            continue;
        }
        buffer += c;
        if (c == kEot) {
            completeBlock(buffer, now);
            buffer.clear();
        } else if (buffer.size() > kMaxBlock) {
            // Noise without an EOT: keep what may still be a block, from its last STX on.
            const auto stx = buffer.rfind(kStx);
            buffer = stx == std::string::npos || stx == 0 ? std::string() : buffer.substr(stx);
        }
    }
}

void Ds003Reader::resetCircuit(int circuit) {
    if (std::string* buffer = circuitState(m_buffers, circuit)) {
        buffer->clear();
    }
}

void Ds003Reader::completeBlock(std::string& buffer, double now) {
    const auto stx = buffer.find(kStx);
    if (stx == std::string::npos) {
        return;
    }
    const std::string_view records = std::string_view(buffer).substr(stx + 1);
    // A heat already started from the keyboard takes the result; a start that heat control
    // refuses (a race with all its heats run) must not produce a heat.
    if (!m_heat.heatRunning()) {
        m_heat.startHeat(now);
        if (!m_heat.heatRunning()) {
            return;
        }
    }
    m_heat.armHeatEnd(now);
    for (int lane = 1; lane <= m_setup.trackLanes; ++lane) {
        const std::size_t end = kRecord * static_cast<std::size_t>(lane);
        if (records.size() < end) {
            break;
        }
        const std::string_view record = records.substr(end - kRecord, kRecord);
        const double laps = std::clamp(fieldValue(record.substr(0, 4)), 0.0, 32767.0);
        float fastest = static_cast<float>(fieldValue(record.substr(4, 6)) / 10000.0);
        // A fastest lap of zero is a lane that never ran, not a lap of no time at all.
        if (fastest < m_setup.minimumLap || fastest <= 0.0f) {
            fastest = kNoLapTime;
        }
        m_heat.registerCounterResult(lane, static_cast<int>(laps), fastest, now);
    }
    m_heat.finishHeat(now);
}

} // namespace cronovolta
