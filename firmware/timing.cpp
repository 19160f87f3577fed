#include "timing.h"
#include "board.h"

#include <avr/interrupt.h>
#include <util/atomic.h>

namespace timing {

namespace {

enum class State : uint8_t { Idle, Pending, Blackout };

struct Lane {
    State state;
    bool unsent;      // confirmed, not yet taken by poll()
    bool false_start;
    uint32_t edge_ms; // first edge of the current crossing
    uint32_t prev_ms; // previous crossing; 0 = board start
    uint32_t lap_ms;
};

volatile uint32_t g_ms;
volatile Lane g_lane[board::kLanes];
volatile uint8_t g_last_pins;
volatile bool g_armed;

} // namespace

// Crossings are confirmed here rather than in the main loop, which may be busy
// sending for several milliseconds while a short pulse is already over.
ISR(TIMER1_COMPA_vect)
{
    const uint32_t now = ++g_ms;
    const uint8_t pins = PIND;
    for (uint8_t i = 0; i < board::kLanes; ++i) {
        volatile Lane& l = g_lane[i];
        const uint32_t since = now - l.edge_ms;
        if (l.state == State::Blackout && since >= board::kBlackoutMs) {
            l.state = State::Idle;
        } else if (l.state == State::Pending && since >= board::kDebounceMs) {
            if (pins & (1 << (i + board::kLaneShift))) {
                l.state = State::Idle;
                continue;
            }
            l.state = State::Blackout;
            l.lap_ms = l.edge_ms - l.prev_ms;
            l.prev_ms = l.edge_ms;
            l.false_start = g_armed;
            l.unsent = true;
        }
    }
}

ISR(PCINT2_vect)
{
    const uint8_t pins = PIND & board::kLaneMask;
    // Falling edges only: sensors are active low.
    const uint8_t fell = g_last_pins & ~pins;
    g_last_pins = pins;
    for (uint8_t i = 0; i < board::kLanes; ++i) {
        if ((fell & (1 << (i + board::kLaneShift))) && g_lane[i].state == State::Idle) {
            g_lane[i].state = State::Pending;
            g_lane[i].edge_ms = g_ms;
        }
    }
}

void init()
{
    // 16 MHz / 64 / 250 = 1 kHz, CTC mode.
    TCCR1A = 0;
    TCCR1B = (1 << WGM12) | (1 << CS11) | (1 << CS10);
    OCR1A = 249;
    TIMSK1 = (1 << OCIE1A);

    DDRD &= ~board::kLaneMask;
    PORTD |= board::kLaneMask;
    g_last_pins = PIND & board::kLaneMask;
    PCMSK2 = board::kLaneMask;
    PCICR |= (1 << PCIE2);
}

uint32_t now_ms()
{
    uint32_t t;
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) { t = g_ms; }
    return t;
}

void reset_lanes()
{
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE)
    {
        for (uint8_t i = 0; i < board::kLanes; ++i) {
            g_lane[i].state = State::Idle;
            g_lane[i].unsent = false;
            g_lane[i].prev_ms = 0;
        }
    }
}

void arm_false_start(bool armed) { g_armed = armed; }

Crossing poll()
{
    Crossing c{0, 0, false};
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE)
    {
        for (uint8_t i = 0; i < board::kLanes; ++i) {
            volatile Lane& l = g_lane[i];
            if (l.unsent) {
                l.unsent = false;
                c = {uint8_t(i + 1), l.lap_ms, l.false_start};
                break;
            }
        }
    }
    return c;
}

} // namespace timing
