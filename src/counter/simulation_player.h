#pragma once

#include "counter/counter_simulator.h"
#include "counter/pseudo_terminal.h"

#include <expected>
#include <string>
#include <vector>

namespace cronovolta {

// Sends a planned simulation into a pseudo-terminal as its moments come. Bytes the terminal
// cannot take yet wait for the next call, so a reader that falls behind loses nothing;
// while no program holds the device open, what falls due is lost, as on a real line.
class SimulationPlayer {
public:
    // The play must outlive the player.
    explicit SimulationPlayer(const SimulatedPlay& play) : m_play(play) {}

    struct Progress {
        std::vector<const SimulatedChunk*> sent; // chunks whose last byte went out now
        int lost = 0;                            // chunks dropped: nobody was listening
    };
    // Sends what is due by `elapsed` seconds of play.
    std::expected<Progress, std::string> pump(PseudoTerminal& pty, double elapsed);

    bool finished() const { return m_next >= m_play.chunks.size() && m_pending.empty(); }
    // Part of a chunk is waiting for room in the terminal.
    bool waiting() const { return !m_pending.empty(); }
    // Play time of the next chunk due; the length of the play once all are out.
    double nextAt() const;

private:
    const SimulatedPlay& m_play;
    std::size_t m_next = 0;
    std::string m_pending; // the unsent tail of chunk m_next - 1
};

} // namespace cronovolta
