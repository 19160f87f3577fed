#include "panel.h"
#include "board.h"

#include <avr/io.h>

namespace panel {

namespace {

uint8_t g_lights;   // bit k-1 = light k
uint8_t g_power;    // bit n-1 = lane n, as the PC asked
uint32_t g_cut_until[board::kLanes];
uint16_t g_stable;  // debounced buttons, bit set = pressed
uint16_t g_last;    // last raw sample
uint8_t g_same_ms;  // how long the raw sample has not changed

// Button bits: 0..6 BT01..BT07 on pins; 8..13 SG01..SG06; 14, 15 BT08, BT09.

uint8_t shift(uint8_t out)
{
    uint8_t in = 0;
    for (uint8_t bit = 0x80; bit != 0; bit >>= 1) {
        in = uint8_t(in << 1);
        if (PINB & (1 << board::kInBit))
            in |= 1;
        if (out & bit)
            PORTB |= (1 << board::kDataBit);
        else
            PORTB &= uint8_t(~(1 << board::kDataBit));
        PORTB |= (1 << board::kClockBit);
        PORTB &= uint8_t(~(1 << board::kClockBit));
    }
    return in;
}

uint16_t exchange(uint32_t now_ms)
{
    uint8_t relays = g_power;
    for (uint8_t i = 0; i < board::kLanes; ++i)
        if (int32_t(g_cut_until[i] - now_ms) > 0)
            relays &= uint8_t(~(1 << i));

    PORTC &= uint8_t(~(1 << board::kLoadBit));
    PORTC |= (1 << board::kLoadBit);
    // The relay byte goes first: it ends up in the second 595.
    const uint8_t ext = uint8_t(~shift(relays));
    shift(g_lights);
    PORTB |= (1 << board::kLatchBit);
    PORTB &= uint8_t(~(1 << board::kLatchBit));

    const uint8_t b = uint8_t(~PINB & board::kButtonsB);
    const uint8_t c = uint8_t(~PINC & board::kButtonsC);
    // The 165 reads H first, so ext bit 0 is input A.
    return uint16_t(b & 0x03) | uint16_t(c << 2) | uint16_t(ext) << 8;
}

} // namespace

void init()
{
    DDRB |= (1 << board::kLatchBit) | (1 << board::kDataBit) | (1 << board::kClockBit);
    DDRB &= uint8_t(~((1 << board::kInBit) | board::kButtonsB));
    PORTB |= board::kButtonsB;
    DDRC |= (1 << board::kLoadBit);
    PORTC |= (1 << board::kLoadBit);
    DDRC &= uint8_t(~board::kButtonsC);
    PORTC |= board::kButtonsC;
    g_power = board::kPowerAtReset ? uint8_t((1 << board::kLanes) - 1) : 0;
}

void set_light(uint8_t light, bool on)
{
    if (light < 1 || light > 8)
        return;
    const uint8_t bit = uint8_t(1 << (light - 1));
    g_lights = on ? uint8_t(g_lights | bit) : uint8_t(g_lights & ~bit);
}

void set_power(uint8_t lane, bool on)
{
    // Lanes this board has no relay for are ignored.
    if (lane > board::kLanes)
        return;
    const uint8_t bits = lane == 0 ? uint8_t((1 << board::kLanes) - 1) : uint8_t(1 << (lane - 1));
    g_power = on ? uint8_t(g_power | bits) : uint8_t(g_power & ~bits);
}

void cut_lane(uint8_t lane, uint32_t until_ms)
{
    if (lane >= 1 && lane <= board::kLanes)
        g_cut_until[lane - 1] = until_ms;
}

Press tick(uint32_t now_ms)
{
    const uint16_t raw = exchange(now_ms);
    if (raw != g_last) {
        g_last = raw;
        g_same_ms = 0;
        return {0, 0};
    }
    if (g_same_ms < board::kButtonStableMs) {
        ++g_same_ms;
        return {0, 0};
    }
    const uint16_t pressed = uint16_t(raw & ~g_stable);
    g_stable = raw;
    // Simultaneous presses are rare; the lowest is reported now, the rest are
    // still new on the next tick because g_stable only takes that one.
    for (uint8_t i = 0; i < 16; ++i) {
        const uint16_t bit = uint16_t(1u << i);
        if (!(pressed & bit))
            continue;
        g_stable = uint16_t((g_stable & ~pressed) | bit);
        if (i < 7)
            return {'B', uint8_t(i + 1)};
        if (i >= 8 && i < 8 + board::kStopGoCount)
            return {'S', uint8_t(i - 7)};
        if (i >= 14)
            return {'B', uint8_t(i - 6)};
    }
    return {0, 0};
}

} // namespace panel
