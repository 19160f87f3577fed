// The simulate command: a lap counter of any model played on a pseudo-terminal.
#include "cli_commands.h"

#include "counter/counter_model.h"
#include "counter/counter_simulator.h"
#include "counter/pseudo_terminal.h"
#include "counter/simulation_player.h"

#include <algorithm>
#include <charconv>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>

namespace cronovolta::cli {
namespace {

constexpr const char* kSynopsis =
    "simulate --model NAME [--lanes N] [--first-lane F] [--box B] [--cars N] [--lap-time S]\n"
    "         [--spread S] [--heats N] [--heat-length S] [--pause S] [--gap S] [--speed F]\n"
    "         [--link PATH] [--seed N] [--verbose]\n"
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

struct SimulateArgs {
    SimulatorOptions options;
    double speed = 1.0;
    std::filesystem::path link;
    bool verbose = false;
    bool modelGiven = false;
};

// Fills args from the words; returns the message of the first bad word.
std::optional<std::string> parseArgs(const std::vector<std::string>& words, SimulateArgs& args) {
    auto& o = args.options;
    auto integer = [](int& field) {
        return [&field](const std::string& v) {
            auto n = parseInteger(v);
            field = n ? static_cast<int>(*n) : -1;
            return n.has_value();
        };
    };
    auto decimal = [](double& field) {
        return [&field](const std::string& v) {
            auto d = parseDecimal(v);
            field = d.value_or(-1.0);
            return d.has_value();
        };
    };
    const std::map<std::string, std::function<bool(const std::string&)>> valued = {
        {"--model",
         [&](const std::string& v) {
             auto model = counterModelFromName(v);
             o.model = model.value_or(CounterModel::DS030);
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
         [&](const std::string& v) {
             args.link = v;
             return !v.empty();
         }},
        {"--seed",
         [&](const std::string& v) {
             auto n = parseInteger(v);
             o.seed = static_cast<std::uint32_t>(n.value_or(0));
             return n && *n >= 0;
         }},
    };
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

double monotonicSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// Sleeps up to `seconds`; returns false when a stop signal (Ctrl+C, kill) arrived.
bool sleepUnlessStopped(const sigset_t& stops, double seconds) {
    if (seconds <= 0) {
        seconds = 0;
    }
    timespec wait{static_cast<time_t>(seconds),
                  static_cast<long>((seconds - static_cast<time_t>(seconds)) * 1e9)};
    return ::sigtimedwait(&stops, nullptr, &wait) < 0;
}

// Symbolic link at the path the user chose, removed again when the command ends.
class Link {
public:
    Link(std::filesystem::path path) : m_path(std::move(path)) {}
    ~Link() {
        std::error_code ec;
        if (m_made && std::filesystem::is_symlink(m_path, ec)) {
            std::filesystem::remove(m_path, ec);
        }
    }
    std::optional<std::string> make(const std::string& target) {
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(m_path, ec);
        if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
            return m_path.string() + " exists and is not a link; choose another path";
        }
        std::filesystem::remove(m_path, ec);
        std::filesystem::create_symlink(target, m_path, ec);
        if (ec) {
            return "cannot make the link " + m_path.string() + ": " + ec.message();
        }
        m_made = true;
        return std::nullopt;
    }

private:
    std::filesystem::path m_path;
    bool m_made = false;
};

int play(const Invocation& inv, const SimulateArgs& args, PseudoTerminal& pty,
         const sigset_t& stops) {
    const SimulatedPlay plan = planSimulation(args.options);
    SimulationPlayer player(plan);
    inv.err << "waiting for a program to open " << pty.devicePath() << "\n";
    while (!pty.peerAttached()) {
        if (!sleepUnlessStopped(stops, 0.05)) {
            return kOk;
        }
    }
    inv.err << "playing " << args.options.heats << " heat(s) of a "
            << counterModelName(args.options.model) << "\n";
    const double origin = monotonicSeconds();
    bool dropping = false;
    while (!player.finished()) {
        pty.drain();
        auto progress = player.pump(pty, (monotonicSeconds() - origin) * args.speed);
        if (!progress) {
            return fail(inv, progress.error());
        }
        if (progress->lost > 0 && !dropping) {
            inv.err << "the port was closed; bytes are lost until it is opened again\n";
            dropping = true;
        }
        for (const SimulatedChunk* chunk : progress->sent) {
            dropping = false;
            if (args.verbose || chunk->what.find("lane") == std::string::npos) {
                inv.out << chunk->what << std::endl;
            }
        }
        // A reader that fell behind is given a moment; otherwise sleep until the next chunk.
        const double left =
            player.waiting() ? 0.01 : origin + player.nextAt() / args.speed - monotonicSeconds();
        if (!player.finished() && !sleepUnlessStopped(stops, std::clamp(left, 0.0, 0.1))) {
            inv.err << "stopped\n";
            return kOk;
        }
    }
    // Let the reader take the last bytes before the device goes away.
    sleepUnlessStopped(stops, 1.0);
    inv.err << "done: " << plan.crossings.size() << " crossing(s) sent\n";
    return kOk;
}

} // namespace

int cmdSimulate(const Invocation& inv) {
    SimulateArgs args;
    if (auto problem = parseArgs(inv.args, args)) {
        inv.err << "cronovolta-cli: " << *problem << "\n";
        return usage(inv, kSynopsis);
    }
    auto pty = PseudoTerminal::open();
    if (!pty) {
        return fail(inv, pty.error());
    }
    Link link(args.link);
    if (!args.link.empty()) {
        if (auto problem = link.make(pty->devicePath())) {
            return fail(inv, *problem);
        }
    }
    inv.out << (args.link.empty() ? pty->devicePath() : args.link.string()) << std::endl;

    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGHUP);
    sigset_t previous;
    ::sigprocmask(SIG_BLOCK, &stops, &previous);
    const int status = play(inv, args, *pty, stops);
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
    return status;
}

} // namespace cronovolta::cli
