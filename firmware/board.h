// Where everything is wired on an Uno or Nano (ATmega328P, 16 MHz), and the
// timing constants a club may want to change. firmware/README.md has the table.
#pragma once
#include <avr/io.h>
#include <stdint.h>

namespace board {

constexpr uint8_t kLanes = 6;

// Lane sensors on D2..D7 = PD2..PD7 (PCINT18..23), active low with pull-ups.
constexpr uint8_t kLaneShift = 2;
constexpr uint8_t kLaneMask = 0xFC;

// A crossing counts only if the sensor is still active this long after its
// first edge; that rejects spikes picked up on long dead-strip wires while the
// lap is still timed from the first edge.
constexpr uint16_t kDebounceMs = 2;
// A lane ignores its sensor this long after a crossing (a car's braid or a
// second magnet would otherwise count twice).
constexpr uint16_t kBlackoutMs = 1000;
// A lane stays cut this long after a car crossed before GO; 0 turns it off.
constexpr uint16_t kFalseStartPenaltyMs = 5000;
// A button must read the same this long before its press is reported.
constexpr uint8_t kButtonStableMs = 20;
// Lanes have power after reset so that a track runs without the PC too.
constexpr bool kPowerAtReset = true;

// Directly wired buttons, active low with pull-ups: BT01 D8, BT02 D9,
// BT03..BT07 A0..A4.
constexpr uint8_t kButtonsB = (1 << PB0) | (1 << PB1);
constexpr uint8_t kButtonsC = 0x1F;

// Two chained 74HC595 (lights, then relays) and one 74HC165 (the rest of the
// buttons) share the shift clock.
constexpr uint8_t kLatchBit = PB2; // D10, 595 RCLK
constexpr uint8_t kDataBit = PB3;  // D11, 595 SER
constexpr uint8_t kInBit = PB4;    // D12, 165 QH
constexpr uint8_t kClockBit = PB5; // D13, 595 SRCLK and 165 CLK
constexpr uint8_t kLoadBit = PC5;  // A5, 165 SH/LD

// Button codes of the 165's inputs A..H: stop-and-go of lanes 1..6, then BT08, BT09.
constexpr uint8_t kStopGoCount = 6;

} // namespace board
