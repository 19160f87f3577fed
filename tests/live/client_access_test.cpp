// What the live-results server lets in: the names it answers to, the pages that may open its
// WebSocket, the places each client address may hold, and the bytes of a request.
#include "live/client_limits.h"
#include "live/live_requests.h"
#include "live/live_settings.h"

#include <gtest/gtest.h>

#include <random>

using namespace cronovolta::live;

TEST(LiveAccess, HostMustNameThisComputerAndOriginBeThePagesOwn) {
    const std::vector<std::string> allowed{"192.168.1.20", "fe80::1%eth0", "Pista.Club."};
    for (const auto& [host, ok] :
         std::vector<std::pair<const char*, bool>>{{"192.168.1.20:8080", true},
                                                   {"LOCALHOST.:80", true},
                                                   {"pista.club", true},
                                                   {"[fe80::1]:8080", true},
                                                   {"", false},
                                                   {"192.168.1.21:8080", false},
                                                   {"attacker.example", false},
                                                   {"pista.club.attacker.example", false},
                                                   {"192.168.1.20:80x", false},
                                                   {"192.168.1.20:99999", false},
                                                   {"fe80::1", false},
                                                   {"user@192.168.1.20", false}}) {
        EXPECT_EQ(hostAllowed(host, allowed), ok) << host;
    }
    struct Case {
        const char* origin;
        const char* host;
        bool ok;
    };
    for (const Case& c : std::vector<Case>{
             {"http://192.168.1.20:8080", "192.168.1.20:8080", true},
             {"HTTP://Pista.Club", "pista.club:80", true},
             {"https://pista.club", "pista.club:443", true}, // behind a proxy that adds TLS
             {"", "192.168.1.20:8080", true},                // no browser page
             {"http://evil.example", "192.168.1.20:8080", false},
             {"http://192.168.1.20", "192.168.1.20:8080", false},
             {"null", "192.168.1.20:8080", false},
             {"http://192.168.1.20:8080/ws", "192.168.1.20:8080", false},
             {"http://192.168.1.20:8080", "", false}}) {
        EXPECT_EQ(originAllowed(c.origin, c.host), c.ok) << c.origin << " for " << c.host;
    }
}

TEST(LiveAccess, OneAddressCannotTakeEveryPlace) {
    ClientPlaces places(5, 2);
    for (const char* client : {"a", "a", "b", "b", "c"}) {
        EXPECT_TRUE(places.take(client));
    }
    EXPECT_FALSE(places.take("a")); // its share is full
    EXPECT_FALSE(places.take("d")); // all five are taken
    places.release("a");
    places.release("nobody");
    EXPECT_TRUE(places.take("d"));
    EXPECT_FALSE(places.take("c"));
    EXPECT_EQ(places.taken(), 5);
    EXPECT_EQ(places.takenBy("a"), 1);
}

// The HTTP server as Qt's reads a connection: one request per turn, byte by byte until the
// request is complete or nothing is left; a turn comes when bytes arrive, or again right
// after a request while unread bytes wait. The meter must count each byte once whatever the
// pieces, and refuse exactly the request that grows past the limit.
TEST(LiveAccess, RequestBytesAreCountedOnce) {
    constexpr std::size_t kLimit = 4000;
    std::mt19937 rng(7);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<std::size_t> ends; // where each request ends in the stream
        std::size_t total = 0;
        const int requests = std::uniform_int_distribution<int>(1, 400)(rng);
        for (int r = 0; r < requests; ++r) {
            total += trial % 3 == 0 && r == requests / 2
                         ? 6000 // one request too long
                         : std::uniform_int_distribution<std::size_t>(20, 600)(rng);
            ends.push_back(total);
        }
        RequestMeter meter(kLimit);
        std::size_t arrived = 0;
        std::size_t read = 0;
        std::size_t request = 0;
        std::size_t requestStart = 0;
        bool again = false; // a turn was asked for after a request
        bool refused = false;
        while (!refused && (arrived < total || again)) {
            if (arrived < total && (!again || rng() % 2 == 0)) {
                arrived = std::min(
                    total, arrived + std::uniform_int_distribution<std::size_t>(1, 9000)(rng));
            } else {
                again = false;
            }
            meter.beforeRead(arrived - read);
            read = std::min(arrived, ends[request]);
            std::size_t length = read - requestStart; // of the request read in this turn
            bool ok = true;
            if (read == ends[request]) {
                ok = meter.requestDone(arrived - read);
                requestStart = read;
                again = arrived > read;
                ++request;
            }
            ok = meter.afterRead(arrived - read) && ok;
            ASSERT_EQ(meter.received(), arrived);
            ASSERT_EQ(meter.requestBytes(), read - requestStart);
            ASSERT_EQ(ok, length <= kLimit);
            refused = !ok;
        }
        EXPECT_EQ(refused, trial % 3 == 0) << trial;
    }
}

TEST(LiveSettingsFile, OtherHostNamesRoundTripAndOldFilesRead) {
    LiveSettings s;
    s.hosts = {"pista.club", "fe80::1", "10.0.0.5"};
    EXPECT_EQ(decodeLiveSettings(encodeLiveSettings(s), 0).settings.hosts, s.hosts);
    // A file written before the names existed reads as it did.
    auto old = decodeLiveSettings("[live]\nenabled=1\nport=8081\naddress=127.0.0.1\n", 0);
    EXPECT_TRUE(old.problems.empty());
    EXPECT_TRUE(old.settings.hosts.empty());
    // A bad name is reported; the good ones are kept.
    auto bad = decodeLiveSettings("[live]\nhosts=pista.club, mal nom,,x:80 , altre\n", 0);
    EXPECT_EQ(bad.settings.hosts, (std::vector<std::string>{"pista.club", "altre"}));
    ASSERT_EQ(bad.problems.size(), 1u);
    EXPECT_EQ(bad.problems[0], "Valor no vàlid a LIVE.INI, línia 2");
}
