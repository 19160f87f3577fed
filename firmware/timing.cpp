#include "timing.h"
#include "board.h"

#include <avr/interrupt.h>
#include <util/atomic.h>

namespace timing {

namespace {

enum class State : uint8_t { Idle, Pending, Blackout };

struct Lane {
    State state;
    uint32_t edge_ms; // first edge of the current crossing
    uint32_t prev_ms; // previous crossing; 0 = board start
};

volatile uint32_t g_ms;
volatile Lane g_lane[board::kLanes];
volatile uint8_t g_last_pins;
bool g_armed;

} // namespace

ISR(TIMER1_COMPA_vect)
{
    ++g_ms;
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
        const uint32_t now = g_ms;
        const uint8_t pins = PIND;
        for (uint8_t i = 0; i < board::kLanes; ++i) {
            volatile Lane& l = g_lane[i];
            const uint32_t since = now - l.edge_ms;
            if (l.state == State::Blackout && since >= board::kBlackoutMs) {
                l.state = State::Idle;
            } else if (l.state == State::Pending && since >= board::kDebounceMs) {
                const bool active = !(pins & (1 << (i + board::kLaneShift)));
                if (!active) {
                    l.state = State::Idle;
                } else if (c.lane == 0) {
                    l.state = State::Blackout;
                    c.lane = uint8_t(i + 1);
                    c.ms = l.edge_ms - l.prev_ms;
                    c.false_start = g_armed;
                    l.prev_ms = l.edge_ms;
                }
            }
        }
    }
    return c;
}

} // namespace timing
