#include "counter/simulation_player.h"

namespace cronovolta {

double SimulationPlayer::nextAt() const {
    return m_next < m_play.chunks.size() ? m_play.chunks[m_next].at : m_play.length;
}

std::expected<SimulationPlayer::Progress, std::string> SimulationPlayer::pump(PseudoTerminal& pty,
                                                                              double elapsed) {
    Progress progress;
    const auto& chunks = m_play.chunks;
    if (!pty.peerAttached()) {
        if (!m_pending.empty()) {
            m_pending.clear();
            ++progress.lost;
        }
        for (; m_next < chunks.size() && chunks[m_next].at <= elapsed; ++m_next) {
            ++progress.lost;
        }
        return progress;
    }
    while (true) {
        if (m_pending.empty()) {
            if (m_next >= chunks.size() || chunks[m_next].at > elapsed) {
                break;
            }
            m_pending = chunks[m_next++].bytes;
        }
        auto written = pty.write(m_pending);
        if (!written) {
            return std::unexpected(written.error());
        }
        m_pending.erase(0, *written);
        if (!m_pending.empty()) {
            break; // the terminal is full until the reader takes some
        }
        progress.sent.push_back(&chunks[m_next - 1]);
    }
    return progress;
}

} // namespace cronovolta
