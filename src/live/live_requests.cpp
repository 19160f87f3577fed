#include "live/live_requests.h"

#include "storage/event_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace cronovolta::live {
namespace {} // namespace

std::optional<int> parseNumber(std::string_view text, int low, int high) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
        return std::nullopt;
    }
    return value;
}

namespace {

std::string upper(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

// A numeric IPv4 or IPv6 address: the server binds to an address, never to a name.
bool numericAddress(std::string_view host) {
    if (host.find(':') != std::string_view::npos) {
        return std::count(host.begin(), host.end(), ':') >= 2 &&
               std::all_of(host.begin(), host.end(), [](char c) {
                   return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
               });
    }
    int parts = 0;
    for (std::size_t from = 0;; ++parts) {
        const std::size_t dot = host.find('.', from);
        const std::string_view part = host.substr(from, dot - from);
        if (part.size() > 3 || !parseNumber(part, 0, 255)) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return parts == 3;
        }
        from = dot + 1;
    }
}

} // namespace

RequestVerdict checkRequest(std::string_view method, std::string_view path, std::size_t headerCount,
                            std::size_t bodyBytes) {
    if (method != "GET") {
        return {405, Route::Page};
    }
    if (headerCount > kMaxHeaders) {
        return {431, Route::Page};
    }
    if (bodyBytes > 0) {
        return {413, Route::Page};
    }
    static constexpr std::array<std::pair<std::string_view, Route>, 7> kPaths{{
        {"/", Route::Page},
        {"/index.html", Route::Page},
        {"/live.js", Route::Script},
        {"/live.css", Route::Style},
        {"/api/live", Route::Live},
        {"/api/classification", Route::Classification},
        {"/ws", Route::Socket},
    }};
    for (const auto& [known, route] : kPaths) {
        if (path == known) {
            return {200, route};
        }
    }
    return {404, Route::Page};
}

std::optional<ClassificationQuery> parseClassificationQuery(std::string_view query,
                                                            int defaultEvent) {
    ClassificationQuery q;
    q.event = defaultEvent;
    bool typeGiven = false;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const std::size_t eq = pair.find('=');
        if (eq == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view name = pair.substr(0, eq);
        const std::string_view value = pair.substr(eq + 1);
        if (name == "type") {
            std::optional<int> type;
            for (int t = kOfficialPractice; t <= kRace; ++t) {
                if (value == std::to_string(t) || upper(value) == seriesPrefix(t)) {
                    type = t;
                }
            }
            if (!type) {
                return std::nullopt;
            }
            q.programa = *type;
            typeGiven = true;
        } else if (name == "series") {
            auto s = value == "all" ? std::optional<int>(0) : parseNumber(value, 1, 999);
            if (!s) {
                return std::nullopt;
            }
            q.serie = *s;
        } else if (name == "event") {
            auto e = parseNumber(value, 1, 65535);
            if (!e) {
                return std::nullopt;
            }
            q.event = *e;
        } else {
            return std::nullopt;
        }
    }
    if (!typeGiven || q.event <= 0) {
        return std::nullopt;
    }
    return q;
}

std::optional<ServeAddress> parseServeAddress(std::string_view text) {
    ServeAddress out;
    std::string_view port = text;
    if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        std::string_view host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
        } else if (host.find(':') != std::string_view::npos) {
            return std::nullopt; // an IPv6 address needs its brackets
        }
        if (!numericAddress(host)) {
            return std::nullopt;
        }
        out.address = std::string(host);
    }
    auto p = parseNumber(port, 1, 65535);
    if (!p) {
        return std::nullopt;
    }
    out.port = *p;
    return out;
}

std::string pageUrl(const std::string& host, int port) {
    const bool v6 = host.find(':') != std::string::npos;
    return "http://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + "/";
}

std::string_view contentType(Route route) {
    switch (route) {
    case Route::Page:
        return "text/html; charset=utf-8";
    case Route::Script:
        return "text/javascript; charset=utf-8";
    case Route::Style:
        return "text/css; charset=utf-8";
    default:
        return "application/json; charset=utf-8";
    }
}

} // namespace cronovolta::live
