#pragma once

#include "counter/counter_simulator.h"

#include <cstddef>
#include <limits>
#include <string>

namespace cronovolta::test {

// The lines of a capture file holding the simulator's chunks [from, to) on circuit 1, the
// first chunk of the plan at `start` (seconds since midnight).
std::string captureText(const SimulatedPlay& play, double start = 36000.0, std::size_t from = 0,
                        std::size_t to = std::numeric_limits<std::size_t>::max());

// A whole simulated race as a capture, from 10:00:00.
std::string simulatedCapture(const SimulatorOptions& options);

} // namespace cronovolta::test
