#include "live/client_limits.h"

namespace cronovolta::live {

bool ClientPlaces::take(const std::string& client) {
    int& mine = m_byClient[client];
    if (m_taken >= m_total || mine >= m_perClient) {
        if (mine == 0) {
            m_byClient.erase(client);
        }
        return false;
    }
    ++mine;
    ++m_taken;
    return true;
}

void ClientPlaces::release(const std::string& client) {
    auto it = m_byClient.find(client);
    if (it == m_byClient.end()) {
        return;
    }
    --m_taken;
    if (--it->second == 0) {
        m_byClient.erase(it);
    }
}

int ClientPlaces::takenBy(const std::string& client) const {
    auto it = m_byClient.find(client);
    return it == m_byClient.end() ? 0 : it->second;
}

void RequestMeter::beforeRead(std::size_t unread) {
    // Nothing else reads between two looks: only arrivals make the unread bytes grow.
    if (unread > m_unread) {
        m_received += unread - m_unread;
    }
    m_unread = unread;
}

bool RequestMeter::afterRead(std::size_t unread) {
    beforeRead(unread);
    return requestBytes() <= m_limit;
}

bool RequestMeter::requestDone(std::size_t unread) {
    beforeRead(unread);
    const bool withinLimit = requestBytes() <= m_limit;
    m_requestStart = m_received - m_unread;
    return withinLimit;
}

std::size_t RequestMeter::requestBytes() const {
    const std::size_t read = m_received - m_unread;
    return read > m_requestStart ? read - m_requestStart : 0;
}

} // namespace cronovolta::live
