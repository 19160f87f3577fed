// The simulate command's live play: a lap counter on a pseudo-terminal, stopped by a signal.
#include "cli_simulate.h"

#include "counter/counter_model.h"
#include "counter/pseudo_terminal.h"
#include "counter/simulation_player.h"

#include <algorithm>
#include <csignal>
#include <ctime>
#include <iostream>
#include <optional>

namespace cronovolta::cli {
namespace {

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

int playLive(const Invocation& inv, const SimulateArgs& args) {
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
