// The simulator's bytes through a real pseudo-terminal: a reader that falls behind gets
// every byte in order, a closed device loses what falls due meanwhile.
#include "counter/simulation_player.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace cronovolta::test {
namespace {

SimulatedPlay bigPlay() {
    SimulatorOptions options;
    options.model = CounterModel::DS300;
    options.cars = 8;
    options.lapTime = 2.0;
    options.heats = 6;
    options.heatLength = 300.0;
    return planSimulation(options);
}

std::string readAvailable(int fd) {
    std::string out;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

TEST(SimulationPlayer, AReaderThatFallsBehindGetsEveryByteInOrder) {
    const SimulatedPlay play = bigPlay();
    std::string expected;
    for (const auto& chunk : play.chunks) {
        expected += chunk.bytes;
    }
    ASSERT_GT(expected.size(), 200'000u); // far more than a terminal buffers

    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty) << pty.error();
    const int reader = ::open(pty->devicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    SimulationPlayer player(play);
    // Everything is due at once and nobody reads: the terminal fills up.
    auto first = player.pump(*pty, play.length);
    ASSERT_TRUE(first);
    EXPECT_TRUE(player.waiting());
    EXPECT_LT(first->sent.size(), play.chunks.size());

    std::string received = readAvailable(reader);
    std::size_t sent = first->sent.size();
    for (int round = 0; round < 100000 && !player.finished(); ++round) {
        auto progress = player.pump(*pty, play.length);
        ASSERT_TRUE(progress);
        EXPECT_EQ(progress->lost, 0);
        for (const SimulatedChunk* chunk : progress->sent) {
            EXPECT_EQ(chunk, &play.chunks[sent++]);
        }
        received += readAvailable(reader);
    }
    ASSERT_TRUE(player.finished());
    received += readAvailable(reader);
    EXPECT_EQ(sent, play.chunks.size());
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);
    ::close(reader);
}

TEST(SimulationPlayer, ChunksFallingDueWhileNobodyListensAreLost) {
    const SimulatedPlay play = bigPlay();
    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty) << pty.error();
    SimulationPlayer player(play);
    const double t = play.chunks[10].at;
    auto progress = player.pump(*pty, t);
    ASSERT_TRUE(progress);
    EXPECT_TRUE(progress->sent.empty());
    EXPECT_GE(progress->lost, 11);
    EXPECT_GT(player.nextAt(), t);

    const int reader = ::open(pty->devicePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    progress = player.pump(*pty, player.nextAt());
    ASSERT_TRUE(progress);
    ASSERT_FALSE(progress->sent.empty());
    EXPECT_EQ(readAvailable(reader), progress->sent.front()->bytes);
    ::close(reader);
}

} // namespace
} // namespace cronovolta::test
