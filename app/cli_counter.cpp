// The simulate command: a lap counter of any model played on a pseudo-terminal.
#include "cli_commands.h"
#include "cli_simulate.h"

#include "counter/capture.h"
#include "counter/counter_model.h"
#include "counter/counter_simulator.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>

namespace cronovolta::cli {
namespace {

constexpr const char* kSynopsis =
    "simulate --model NAME [--lanes N] [--first-lane F] [--box B] [--cars N] [--lap-time S]\n"
    "         [--spread S] [--heats N] [--heat-length S] [--pause S] [--gap S] [--speed F]\n"
    "         [--link PATH] [--seed N] [--verbose] [--capture FILE [--start SECONDS]]\n"
    "  NAME: DS003, DS030, DS300, \"DS300 & DS4port\" (or DS4port), DS200";

std::optional<double> parseDecimal(std::string text) {
    for (char& c : text) {
        c = c == ',' ? '.' : c;
    }
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Reads an option's value into its field; false when the value is wrong.
using OptionReader = std::function<bool(const std::string&)>;

OptionReader integer(int& field) {
    return [&field](const std::string& v) {
        auto n = parseInteger(v);
        field = n ? static_cast<int>(*n) : -1;
        return n.has_value();
    };
}

OptionReader decimal(double& field) {
    return [&field](const std::string& v) {
        auto d = parseDecimal(v);
        field = d.value_or(-1.0);
        return d.has_value();
    };
}

// The options that take a value, each with the reader that fills `args`.
std::map<std::string, OptionReader> valuedOptions(SimulateArgs& args) {
    auto& o = args.options;
    return {
        {"--model",
         [&args](const std::string& v) {
             auto model = counterModelFromName(v);
             args.options.model = model.value_or(CounterModel::DS030);
             args.modelGiven = model.has_value();
             return model.has_value();
         }},
        {"--lanes", integer(o.lanes)},
        {"--first-lane", integer(o.firstLane)},
        {"--box", integer(o.box)},
        {"--cars", integer(o.cars)},
        {"--heats", integer(o.heats)},
        {"--lap-time", decimal(o.lapTime)},
        {"--spread", decimal(o.spread)},
        {"--heat-length", decimal(o.heatLength)},
        {"--pause", decimal(o.pauseLength)},
        {"--gap", decimal(o.heatGap)},
        {"--speed", decimal(args.speed)},
        {"--link",
         [&args](const std::string& v) {
             args.link = platform::pathFromUtf8(v);
             return !v.empty();
         }},
        {"--capture",
         [&args](const std::string& v) {
             args.capture = platform::pathFromUtf8(v);
             return !v.empty();
         }},
        {"--start", decimal(args.start)},
        {"--seed",
         [&args](const std::string& v) {
             auto n = parseInteger(v);
             args.options.seed = static_cast<std::uint32_t>(n.value_or(0));
             return n && *n >= 0;
         }},
    };
}

// Fills args from the words; returns the message of the first bad word.
std::optional<std::string> parseArgs(const std::vector<std::string>& words, SimulateArgs& args) {
    auto& o = args.options;
    const std::map<std::string, OptionReader> valued = valuedOptions(args);
    bool lanesGiven = false, carsGiven = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--verbose") {
            args.verbose = true;
            continue;
        }
        auto it = valued.find(words[i]);
        if (it == valued.end()) {
            return "unknown option " + words[i];
        }
        if (i + 1 >= words.size()) {
            return words[i] + " needs a value";
        }
        if (!it->second(words[i + 1])) {
            return "bad value for " + words[i] + ": " + words[i + 1];
        }
        lanesGiven |= words[i] == "--lanes";
        carsGiven |= words[i] == "--cars";
        ++i;
    }
    if (lanesGiven && !carsGiven) {
        o.cars = std::min(o.cars, o.lanes);
    }
    if (!args.modelGiven) {
        return std::string("--model is required");
    }
    if (auto valid = validateSimulatorOptions(o); !valid) {
        return valid.error();
    }
    if (!(args.speed >= 0.01 && args.speed <= 1000.0)) {
        return std::string("--speed must be 0.01..1000");
    }
    return std::nullopt;
}

} // namespace

// The whole play at once as a capture of circuit 1, ready for `replay`: no pseudo-terminal,
// no waiting.
int writeCapture(const Invocation& inv, const SimulateArgs& args) {
    const SimulatedPlay plan = planSimulation(args.options);
    std::error_code ec;
    std::filesystem::remove(args.capture, ec);
    CaptureWriter writer(args.capture);
    if (auto r = writer.comment("simulated " + std::string(counterModelName(args.options.model)));
        !r) {
        return fail(inv, r.error());
    }
    for (const SimulatedChunk& chunk : plan.chunks) {
        if (auto r = writer.bytes(args.start + chunk.at, 1, chunk.bytes); !r) {
            return fail(inv, r.error());
        }
    }
    inv.out << args.capture.string() << ": " << plan.chunks.size() << " chunk(s), "
            << plan.crossings.size() << " crossing(s)" << std::endl;
    return kOk;
}

int cmdSimulate(const Invocation& inv) {
    SimulateArgs args;
    if (auto problem = parseArgs(inv.args, args)) {
        inv.err << "cronovolta-cli: " << *problem << "\n";
        return usage(inv, kSynopsis);
    }
    if (!args.capture.empty()) {
        if (args.start < 0.0 || args.start >= 86400.0) {
            return usage(inv, kSynopsis);
        }
        return writeCapture(inv, args);
    }
    return playLive(inv, args);
}

} // namespace cronovolta::cli
