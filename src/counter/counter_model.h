#pragma once

#include "storage/program_settings.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace cronovolta {

// Name shown for a model ("DS003", "DS030", "DS300", "DS300 & DS4port", "DS200").
std::string_view counterModelName(CounterModel model);
// Accepts the shown names and the index, ignoring case and blanks ("ds300&ds4port", "3");
// "DS4port" alone also names model 3.
std::optional<CounterModel> counterModelFromName(std::string_view name);
// The DS300 family (DS300, DS300 & DS4port, DS200) sends 21-byte frames; the DS030 loose
// bytes, the DS003 one result block.
bool sendsFrames(CounterModel model);
// Line speed of the model's port: 1200, 4800 or 56000 baud (always 8N1, no handshake).
int counterBaudRate(CounterModel model);

// Lane 1..8 within a circuit for a single-bit lane mask, 0 for any other byte. The DS200
// numbers the bits upwards (1 -> 1), every other model downwards (1 -> 8).
int laneOfBit(std::uint8_t mask, CounterModel model);
// The inverse: the mask of lane 1..8 within a circuit.
std::uint8_t laneMask(int lane, CounterModel model);

// A time byte read as its two hexadecimal digits taken as a decimal number; a digit above 9
// ends the number there (0x59 -> 59, 0x1A -> 1, 0xA1 -> 0).
int bcdValue(std::uint8_t byte);
// 0..99 as packed BCD.
std::uint8_t toBcd(int value);

} // namespace cronovolta
