#include "counter/foreign_counter_watch.h"

#include "counter/ds300_reader.h"

namespace cronovolta {
namespace {

bool singleBit(std::uint8_t b) {
    return b != 0 && (b & (b - 1)) == 0;
}

bool bcd(std::uint8_t b) {
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

bool ds030Filler(std::uint8_t b) {
    return b == 0xA6 || b == 0xA7 || b == 0xB3;
}

} // namespace

ForeignCounterWatch::ForeignCounterWatch(CounterModel model, int circuits)
    : m_model(model), m_circuits(static_cast<std::size_t>(std::max(circuits, 0))) {}

void ForeignCounterWatch::reset(int circuit) {
    if (circuit >= 1 && circuit <= static_cast<int>(m_circuits.size())) {
        m_circuits[static_cast<std::size_t>(circuit - 1)] = Circuit{};
    }
}

bool ForeignCounterWatch::read(int circuit, std::string_view bytes, double now) {
    if (circuit < 1 || circuit > static_cast<int>(m_circuits.size())) {
        return false;
    }
    Circuit& c = m_circuits[static_cast<std::size_t>(circuit - 1)];
    if (c.windowStart < 0.0 || now < c.windowStart) {
        c.windowStart = now; // first bytes, or midnight passed
    }
    for (char ch : bytes) {
        byte(c, static_cast<std::uint8_t>(ch));
    }
    if (now - c.windowStart < kWindowSeconds) {
        return false;
    }
    bool foreign = c.foreign >= kMinimumForeign && c.foreign > c.fitting;
    c.fitting = c.foreign = 0;
    c.windowStart = now;
    if (foreign && !c.told) {
        c.told = true;
        return true;
    }
    return false;
}

void ForeignCounterWatch::byte(Circuit& c, std::uint8_t b) {
    switch (m_model) {
    case CounterModel::DS030:
        ds030(c, b);
        return;
    case CounterModel::DS003:
        block(c, b);
        return;
    case CounterModel::DS300:
    case CounterModel::DS300DS4port:
    case CounterModel::DS200:
        frames(c, b);
        return;
    }
}

// Between messages: a byte that starts one opens it, any other fits nothing.
bool ForeignCounterWatch::opens(Circuit& c, std::uint8_t b, std::uint8_t start) {
    if (c.state != 0) {
        return false;
    }
    if (b == start) {
        c.state = 1;
        c.pending = 1;
    } else {
        ++c.foreign;
    }
    return true;
}

void ForeignCounterWatch::close(Circuit& c, bool fits) {
    (fits ? c.fitting : c.foreign) += c.pending;
    c.pending = 0;
    c.state = 0;
    c.allZero = true;
}

// Status bytes, and lane masks followed by three BCD time bytes that are not all zero.
void ForeignCounterWatch::ds030(Circuit& c, std::uint8_t b) {
    if (ds030Filler(b)) {
        return;
    }
    if (c.state == 0) {
        if (b >= 0xA0 && b <= 0xA5) {
            ++c.fitting;
        } else if (singleBit(b)) {
            c.state = 1;
            c.pending = 1;
        } else {
            ++c.foreign;
        }
        return;
    }
    if (b == 0xA4 || b == 0xA5) {
        ++c.fitting; // an end signal between a report's bytes
        return;
    }
    ++c.pending;
    if (!bcd(b)) {
        close(c, false);
        return;
    }
    c.allZero = c.allZero && b == 0;
    if (++c.state == 4) {
        close(c, !c.allZero);
    }
}

// Whole 21-byte frames from 0xE0 to 0xEB.
void ForeignCounterWatch::frames(Circuit& c, std::uint8_t b) {
    using namespace ds300;
    if (opens(c, b, kFrameStart)) {
        return;
    }
    ++c.pending;
    if (++c.state < static_cast<int>(kFrameSize)) {
        return;
    }
    bool fits = b == kFrameEnd;
    close(c, fits);
    if (!fits && b == kFrameStart) {
        --c.foreign;
        c.state = 1;
        c.pending = 1;
    }
}

// STX, printable characters, EOT.
void ForeignCounterWatch::block(Circuit& c, std::uint8_t b) {
    if (opens(c, b, 2)) {
        return;
    }
    ++c.pending;
    if (b == 4) {
        close(c, true);
    } else if (b < 0x20 || b > 0x7E || c.pending > 4096) {
        close(c, false);
    }
}

} // namespace cronovolta
