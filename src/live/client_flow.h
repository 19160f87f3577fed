#pragma once

#include <cstddef>

namespace cronovolta::live {

// The send queue of one WebSocket client, bounded: every change goes out while the client
// keeps up; one that has more than `limit` bytes unsent is behind and gets nothing more
// until the bytes are out, then the latest snapshot. A slow phone costs at most `limit` bytes
// and never receives a backlog of stale changes.
class ClientFlow {
public:
    explicit ClientFlow(std::size_t limit) : m_limit(limit) {}

    enum class Send { Nothing, Change, Snapshot };
    // A change from `base` is published: what this client is sent.
    Send offer(long long base) const;
    // A message that takes the client to `version` was handed to its connection.
    void sent(std::size_t bytes, long long version);
    // The connection sent `bytes`. True when the client has just caught up after falling
    // behind: it must be sent the latest snapshot now.
    bool written(std::size_t bytes);

    bool behind() const { return m_behind; }
    std::size_t unsent() const { return m_unsent; }
    long long version() const { return m_version; }

private:
    std::size_t m_limit;
    std::size_t m_unsent = 0;
    long long m_version = -1; // what the client holds once its bytes are out
    bool m_behind = false;
};

} // namespace cronovolta::live
