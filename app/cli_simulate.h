// The simulate command's options, shared by the capture writer and the live player.
#pragma once

#include "cli_commands.h"
#include "counter/counter_simulator.h"

#include <filesystem>

namespace cronovolta::cli {

struct SimulateArgs {
    SimulatorOptions options;
    double speed = 1.0;
    std::filesystem::path link;
    std::filesystem::path capture; // write the play as a capture file instead of playing it
    double start = 36000.0;        // time of day of the capture's first line
    bool verbose = false;
    bool modelGiven = false;
};

// Plays the simulation live on a pseudo-terminal until it ends or is stopped.
int playLive(const Invocation& inv, const SimulateArgs& args);

} // namespace cronovolta::cli
