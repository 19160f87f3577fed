// cronovolta-cli simulate, read through its pseudo-terminal as the desktop program reads a
// serial port, and decoded.
#include "counter/counter_model.h"
#include "counter/decoder_test_support.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace cronovolta::test {
namespace {

struct SimulatorRun {
    std::string output; // standard output of the command
    std::string device; // every byte read from its device
    int status = -1;
};

// Runs the simulator, opens the device it names on its first output line and reads it
// until the command ends.
SimulatorRun simulate(const TempDir& data, std::vector<std::string> args) {
    args.insert(args.begin(), {CRONOVOLTA_CLI, "--data", data.path().string(), "simulate"});
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    int out[2];
    EXPECT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, CRONOVOLTA_CLI, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);

    SimulatorRun run;
    int device = -1;
    char buffer[4096];
    for (bool outputOpen = true; outputOpen;) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {device, POLLIN, 0}};
        ::poll(fds, device >= 0 ? 2 : 1, 200);
        if (fds[0].revents != 0) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            outputOpen = n > 0;
            run.output.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
        }
        if (device < 0 && run.output.find('\n') != std::string::npos) {
            device = ::open(run.output.substr(0, run.output.find('\n')).c_str(),
                            O_RDONLY | O_NOCTTY | O_NONBLOCK);
            EXPECT_GE(device, 0);
        }
        if (device >= 0 && (fds[1].revents & POLLIN) != 0) {
            const ssize_t n = ::read(device, buffer, sizeof buffer);
            run.device.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
        }
    }
    if (device >= 0) {
        ::close(device);
    }
    ::close(out[0]);
    ::waitpid(pid, &run.status, 0);
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t eol; (eol = text.find('\n', start)) != std::string::npos; start = eol + 1) {
        out.push_back(text.substr(start, eol - start));
    }
    return out;
}

TEST(CounterSimulate, PlaysTheHeatsItPrintsOnTheLinkedDevice) {
    TempDir data;
    const auto link = data.path() / "COM1";
    const SimulatorRun run = simulate(
        data,
        {"--model",       "DS300", "--cars",     "3",      "--first-lane", "5",      "--heats", "2",
         "--heat-length", "12",    "--lap-time", "2.5",    "--pause",      "3",      "--gap",   "4",
         "--speed",       "10",    "--verbose",  "--link", link.string(),  "--seed", "5"});
    ASSERT_EQ(WEXITSTATUS(run.status), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));

    DecoderRig rig{CounterModel::DS300, trackWith(8, {5})};
    rig.feed(1, run.device);
    std::vector<std::string> printed;
    for (const auto& line : lines(run.output)) {
        const auto lane = line.find(", lane ");
        if (lane != std::string::npos) {
            printed.push_back("lap " + line.substr(lane + 7, line.find(':') - lane - 7) + " " +
                              line.substr(line.find(':') + 2));
        }
    }
    std::vector<std::string> decoded;
    for (const auto& call : rig.heat.calls) {
        if (call.starts_with("lap ")) {
            decoded.push_back(call);
        }
    }
    EXPECT_GT(printed.size(), 20u);
    EXPECT_EQ(decoded, printed);
    EXPECT_EQ(lines(run.output).front(), link.string());
}

TEST(CounterSimulate, BadOptionsAreRefusedWithTheUsage) {
    TempDir data;
    TempDir scratch;
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"simulate", "--lanes", "4"},
                                               {"simulate", "--model", "DS999"},
                                               {"simulate", "--model", "DS030", "--cars", "x"},
                                               {"simulate", "--model", "DS030", "--lanes", "9"},
                                               {"simulate", "--model", "DS030", "--bogus", "1"}}) {
        const CliRun run = runCli(data.path(), args, scratch.path());
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

} // namespace
} // namespace cronovolta::test
