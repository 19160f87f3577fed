#pragma once

#include "storage/program_settings.h"

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

namespace cronovolta {

// A simulated lap counter of one circuit: what it is and how its heats go.
struct SimulatorOptions {
    CounterModel model = CounterModel::DS030;
    int lanes = 8;        // lanes of the counter (up to 8 per box)
    int firstLane = 1;    // track lane of counter lane 1 (the circuit's first lane)
    int box = 1;          // DS300 & DS4port: box of counter lanes 1..8
    int cars = 4;         // cars on counter lanes 1..cars
    double lapTime = 8.0; // mean lap time, seconds
    double spread = 0.4;  // standard deviation of the lap times, seconds
    int heats = 1;
    double heatLength = 60.0; // racing time of a heat, pauses excluded
    double pauseLength = 0.0; // a pause in the middle of each heat; 0 for none
    double heatGap = 10.0;    // from the end of one heat to the red light of the next
    std::uint32_t seed = 1;
};

// Checks the ranges; the message names the offending option.
std::expected<void, std::string> validateSimulatorOptions(const SimulatorOptions& options);

// Bytes to send at a moment, seconds from the start of the play.
struct SimulatedChunk {
    double at = 0.0;
    std::string bytes;
    std::string what; // "heat 1: start", "lane 3: 8.1234"...
};

// A crossing as the decoder reports it: track lane and counter time.
struct SimulatedCrossing {
    double at = 0.0;
    int heat = 0;
    int lane = 0;
    float counterTime = 0.0f;
};

// A DS003 lane result as the decoder reports it (before the minimum-lap rule).
struct SimulatedResult {
    int heat = 0;
    int lane = 0;
    int laps = 0;
    float fastestLap = 0.0f;
};

struct SimulatedPlay {
    std::vector<SimulatedChunk> chunks; // in time order
    std::vector<SimulatedCrossing> crossings;
    std::vector<SimulatedResult> results;
    double length = 0.0; // time of the last chunk
};

// Plays the heats: start lights, the start, the laps, the optional pause with its restart
// lights, the end signal three times, and for the DS003 the result block instead. Frames of
// the DS300 family are sent twice, as those counters do. The same options give the same
// play. Options are expected to be valid.
SimulatedPlay planSimulation(const SimulatorOptions& options);

} // namespace cronovolta
