#include "live/live_requests.h"

#include "storage/event_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace cronovolta::live {
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
            std::optional<ProgrammeType> type;
            for (ProgrammeType t :
                 {ProgrammeType::OfficialPractice, ProgrammeType::SuperPole, ProgrammeType::Race}) {
                if (value == std::to_string(index(t)) || upper(value) == seriesPrefix(t)) {
                    type = t;
                }
            }
            if (!type) {
                return std::nullopt;
            }
            q.programmeType = *type;
            typeGiven = true;
        } else if (name == "series") {
            auto s = value == "all" ? std::optional<int>(0) : parseNumber(value, 1, 999);
            if (!s) {
                return std::nullopt;
            }
            q.seriesNumber = *s;
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

namespace {

std::string lower(std::string_view text) {
    std::string out;
    for (char c : text) {
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

struct Authority {
    std::string host; // lower case
    std::optional<int> port;
};

// "host[:port]" as a Host header or an origin writes it.
std::optional<Authority> parseAuthority(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    std::string_view host = text;
    std::string_view rest;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        host = text.substr(1, close - 1);
        rest = text.substr(close + 1);
        if (host.find(':') == std::string_view::npos || !numericAddress(host)) {
            return std::nullopt;
        }
    } else {
        if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
            host = text.substr(0, colon);
            rest = text.substr(colon);
        }
        if (host.ends_with('.')) {
            host.remove_suffix(1);
        }
        const bool nameChars = std::all_of(host.begin(), host.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
        });
        if (host.empty() || !nameChars) {
            return std::nullopt;
        }
    }
    Authority out{lower(host), std::nullopt};
    if (!rest.empty()) {
        if (rest.front() != ':') {
            return std::nullopt;
        }
        out.port = parseNumber(rest.substr(1), 0, 65535);
        if (!out.port) {
            return std::nullopt;
        }
    }
    return out;
}

} // namespace

std::optional<std::string> hostOfHeader(std::string_view header) {
    auto authority = parseAuthority(header);
    if (!authority) {
        return std::nullopt;
    }
    return authority->host;
}

bool hostAllowed(std::string_view header, const std::vector<std::string>& allowed) {
    const auto host = hostOfHeader(header);
    if (!host) {
        return false;
    }
    if (*host == "localhost") {
        return true;
    }
    return std::any_of(allowed.begin(), allowed.end(), [&](const std::string& entry) {
        // An interface's IPv6 address may carry its zone ("fe80::1%eth0"); a Host never does.
        std::string name = lower(entry.substr(0, entry.find('%')));
        if (name.ends_with('.')) {
            name.pop_back();
        }
        return !name.empty() && name == *host;
    });
}

bool originAllowed(std::string_view origin, std::string_view hostHeader) {
    if (origin.empty()) {
        return true;
    }
    const std::size_t sep = origin.find("://");
    if (sep == std::string_view::npos) {
        return false; // "null" among others: a sandboxed page or a file
    }
    const std::string scheme = lower(origin.substr(0, sep));
    if (scheme != "http" && scheme != "https") {
        return false;
    }
    const std::string_view rest = origin.substr(sep + 3);
    if (rest.find_first_of("/?#@") != std::string_view::npos) {
        return false;
    }
    const auto from = parseAuthority(rest);
    const auto to = parseAuthority(hostHeader);
    if (!from || !to) {
        return false;
    }
    const int defaultPort = scheme == "https" ? 443 : 80;
    return from->host == to->host &&
           from->port.value_or(defaultPort) == to->port.value_or(defaultPort);
}

bool reachableFromNetwork(std::string_view address) {
    return !(address.starts_with("127.") || address == "::1" || address == "localhost");
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
