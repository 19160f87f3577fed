#include "live/client_flow.h"

#include <algorithm>

namespace cronovolta::live {

ClientFlow::Send ClientFlow::offer(long long base) const {
    if (m_behind) {
        return Send::Nothing;
    }
    return base == m_version ? Send::Change : Send::Snapshot;
}

void ClientFlow::sent(std::size_t bytes, long long version) {
    m_unsent += bytes;
    m_version = version;
    if (m_unsent > m_limit) {
        m_behind = true;
    }
}

bool ClientFlow::written(std::size_t bytes) {
    m_unsent -= std::min(bytes, m_unsent);
    // Caught up once a quarter of the allowance is left: a client on the edge does not
    // flip between behind and up to date at every message.
    if (m_behind && m_unsent <= m_limit / 4) {
        m_behind = false;
        m_version = -1; // its changes were skipped: only a snapshot is good for it
        return true;
    }
    return false;
}

} // namespace cronovolta::live
