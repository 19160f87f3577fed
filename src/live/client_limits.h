#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace cronovolta::live {

// The places of the server's connection limit. A client address holds at most `perClient`
// of them, so one host cannot take them all; a newcomer over either bound is refused and the
// clients already served keep their places.
class ClientPlaces {
public:
    ClientPlaces(int total, int perClient) : m_total(total), m_perClient(perClient) {}

    // False when the place is refused.
    bool take(const std::string& client);
    void release(const std::string& client);

    void setPerClient(int places) { m_perClient = places; }

    int taken() const { return m_taken; }
    int takenBy(const std::string& client) const;

private:
    int m_total;
    int m_perClient;
    int m_taken = 0;
    std::map<std::string, int> m_byClient;
};

// How much of a request a connection has sent, each byte counted once. The HTTP server
// reads one request at a time and leaves the rest unread for its next turn, so what waits
// unread at one look was partly counted at the one before.
class RequestMeter {
public:
    explicit RequestMeter(std::size_t limit) : m_limit(limit) {}

    // Before the HTTP server reads: `unread` bytes wait, new ones among them.
    void beforeRead(std::size_t unread);
    // After it read: `unread` bytes still wait. False when the request being read has grown
    // past the limit.
    bool afterRead(std::size_t unread);
    // A request was complete; `unread` bytes wait behind it (the next requests). False when
    // it was longer than the limit (it came in one piece).
    bool requestDone(std::size_t unread);

    std::size_t received() const { return m_received; }
    // Bytes of the request being read that the HTTP server has taken in.
    std::size_t requestBytes() const;

private:
    std::size_t m_limit;
    std::size_t m_received = 0;     // every byte that arrived, once
    std::size_t m_unread = 0;       // unread at the last look
    std::size_t m_requestStart = 0; // bytes read before the request being read
};

} // namespace cronovolta::live
