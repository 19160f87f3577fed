// The simulator's bytes through a real pseudo-terminal: a reader that falls behind gets
// every byte in order, a closed device loses what falls due meanwhile.
#include "counter/simulation_player.h"
#include "storage/platform.h"

#include <gtest/gtest.h>

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

std::string readAvailable(platform::File& reader) {
    std::string out;
    char buffer[4096];
    while (true) {
        auto n = reader.read(buffer, sizeof buffer);
        if (!n || *n == 0) {
            return out;
        }
        out.append(buffer, *n);
    }
}

// The device as a program opens a serial port, without waiting for bytes.
platform::File openReader(const PseudoTerminal& pty) {
    auto reader = platform::File::open(pty.devicePath(), platform::Access::Read, {.noWait = true});
    return reader ? std::move(*reader) : platform::File();
}

#define SKIP_WITHOUT_PSEUDO_TERMINALS()                                                            \
    if (platform::kWindows) {                                                                      \
        GTEST_SKIP() << "Windows has no pseudo-terminals";                                         \
    }

TEST(SimulationPlayer, AReaderThatFallsBehindGetsEveryByteInOrder) {
    SKIP_WITHOUT_PSEUDO_TERMINALS();
    const SimulatedPlay play = bigPlay();
    std::string expected;
    for (const auto& chunk : play.chunks) {
        expected += chunk.bytes;
    }
    ASSERT_GT(expected.size(), 200'000u); // far more than a terminal buffers

    auto pty = PseudoTerminal::open();
    ASSERT_TRUE(pty) << pty.error();
    platform::File reader = openReader(*pty);
    ASSERT_TRUE(reader.isOpen());
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
}

TEST(SimulationPlayer, ChunksFallingDueWhileNobodyListensAreLost) {
    SKIP_WITHOUT_PSEUDO_TERMINALS();
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

    platform::File reader = openReader(*pty);
    ASSERT_TRUE(reader.isOpen());
    progress = player.pump(*pty, player.nextAt());
    ASSERT_TRUE(progress);
    ASSERT_FALSE(progress->sent.empty());
    EXPECT_EQ(readAvailable(reader), progress->sent.front()->bytes);
}

} // namespace
} // namespace cronovolta::test
