#pragma once

#include "storage/event_files.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta::live {

// Bounds of what the server reads from a client.
inline constexpr std::size_t kMaxRequestBytes = 16 * 1024; // request line, headers and body
inline constexpr std::size_t kMaxHeaders = 64;
inline constexpr int kMaxConnections = 200;
// One client address holds at most this share of the places, so that a single host (or a
// page that opens socket after socket) cannot shut the phones of the track out.
inline constexpr int kMaxConnectionsPerClient = kMaxConnections / 4;
// Bytes handed to a client's connection and not yet sent: above it the client is behind and
// gets no more changes until it has caught up, then the latest snapshot.
inline constexpr std::size_t kMaxUnsentBytes = 256 * 1024;
// A client's message to the server: the page sends none; pings are tiny.
inline constexpr std::size_t kMaxClientMessageBytes = 1024;

enum class Route {
    Page,           // "/" and "/index.html"
    Script,         // "/live.js"
    Style,          // "/live.css"
    Live,           // "/api/live": the snapshot
    Classification, // "/api/classification"
    Socket,         // "/ws": the WebSocket of the changes
};

struct RequestVerdict {
    int status = 200; // 200, or the error to answer with
    Route route = Route::Page;
};

// What the server answers to a request: only GET (the WebSocket upgrade is one) of its own
// few paths. Anything else is 405 or 404; a path with "..", a backslash, an
// encoded character or a drive is simply not one of them. A body or too many headers are
// refused before any work is done.
RequestVerdict checkRequest(std::string_view method, std::string_view path, std::size_t headerCount,
                            std::size_t bodyBytes);

// The query of "/api/classification": type=OFC|SPP|CRS|2..4, series=N|all, event=N
// (default the active event, `defaultEvent`).
struct ClassificationQuery {
    int event = 0;
    ProgrammeType programmeType = ProgrammeType::Race;
    int seriesNumber = 0; // 0: all series
};
std::optional<ClassificationQuery> parseClassificationQuery(std::string_view query,
                                                            int defaultEvent);

// A whole decimal number low..high with nothing around it.
std::optional<int> parseNumber(std::string_view text, int low, int high);

// "[ADDRESS:]PORT" of --serve. The address defaults to every address of the computer
// ("0.0.0.0"); a port is 1..65535. IPv6 addresses are written in brackets.
struct ServeAddress {
    std::string address = "0.0.0.0";
    int port = 8080;
};
std::optional<ServeAddress> parseServeAddress(std::string_view text);
// Whether a server on `address` can be reached from other computers: every address but
// this computer's own (127.x.x.x, ::1).
bool reachableFromNetwork(std::string_view address);
// The address to type in a browser: "http://host:port/".
std::string pageUrl(const std::string& host, int port);

// The host part of an HTTP Host header ("name", "name:port", "1.2.3.4:80", "[::1]:80") in
// lower case, without a final dot; nothing when the header is not one.
std::optional<std::string> hostOfHeader(std::string_view header);

// Whether a request's Host names this server: "localhost" or one of `allowed` (the
// computer's addresses and the names the settings list). A page of another site that a
// rebinding name brings here carries that site's name and is not answered.
bool hostAllowed(std::string_view header, const std::vector<std::string>& allowed);

// Whether a WebSocket may be opened from `origin`: only the page's own origin, the scheme and
// the Host it was asked for. A browser always sends its page's origin; a client that sends
// none is not a page of another site.
bool originAllowed(std::string_view origin, std::string_view hostHeader);

// The Content-Type of an answer.
std::string_view contentType(Route route);

} // namespace cronovolta::live
