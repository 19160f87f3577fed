#include "counter/capture.h"

#include "storage/program_settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <optional>

namespace cronovolta {
namespace {

constexpr std::size_t kBytesPerLine = 32;

struct NamedKey {
    std::string_view name;
    int code;
};
constexpr NamedKey kNamedKeys[] = {
    {"esc", kKeyEsc}, {"enter", kKeyEnter}, {"shift", kKeyShift}, {"space", ' '}};

std::string keyText(int key) {
    for (const auto& named : kNamedKeys) {
        if (named.code == key) {
            return std::string(named.name);
        }
    }
    if (key > ' ' && key < 127) {
        return std::string(1, static_cast<char>(key));
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(key) & 0xFFu);
    return text;
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            out.push_back(line.substr(start, i - start));
        }
    }
    return out;
}

bool lowerEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) {
            return false;
        }
    }
    return true;
}

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> hexByte(std::string_view text) {
    unsigned value = 0; // unsigned: no sign is taken
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.size() != 2 || ec != std::errc() || end != text.data() + 2) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<double> timeOfDay(std::string_view text) {
    std::string copy(text);
    for (char& c : copy) {
        c = c == ',' ? '.' : c;
    }
    double value = 0.0;
    auto [end, ec] =
        std::from_chars(copy.data(), copy.data() + copy.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != copy.data() + copy.size() || !(value >= 0.0) ||
        value >= 86400.0) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> keyCode(std::string_view text) {
    for (const auto& named : kNamedKeys) {
        if (lowerEquals(text, named.name)) {
            return named.code;
        }
    }
    if (text.size() == 1) {
        return static_cast<unsigned char>(text[0]);
    }
    if (text.size() == 4 && (text.starts_with("0x") || text.starts_with("0X"))) {
        return hexByte(text.substr(2));
    }
    return std::nullopt;
}

// The event of one non-comment line, or the reason it is unreadable.
std::expected<CaptureEvent, std::string> parseLine(std::string_view line) {
    const auto w = words(line);
    if (w.size() < 3) {
        return std::unexpected("expected SECONDS and at least two more words");
    }
    CaptureEvent event;
    const auto when = timeOfDay(w[0]);
    if (!when) {
        return std::unexpected("\"" + std::string(w[0]) + "\" is not a time of day in seconds");
    }
    event.seconds = *when;
    if (lowerEquals(w[1], "key")) {
        const auto code = w.size() == 3 ? keyCode(w[2]) : std::nullopt;
        if (!code) {
            return std::unexpected("a key line names one key");
        }
        event.kind = CaptureEvent::Kind::Key;
        event.key = *code;
        return event;
    }
    if (lowerEquals(w[1], "lane")) {
        const auto lane = w.size() == 3 ? wholeNumber(w[2]) : std::nullopt;
        if (!lane || *lane < 1 || *lane > 64) {
            return std::unexpected("a lane line names one lane 1..64");
        }
        event.kind = CaptureEvent::Kind::Lane;
        event.lane = *lane;
        return event;
    }
    const auto circuit = wholeNumber(w[1]);
    if (!circuit || *circuit < 1 || *circuit > 4) {
        return std::unexpected("\"" + std::string(w[1]) + "\" is not a circuit 1..4, key or lane");
    }
    event.circuit = *circuit;
    for (std::size_t i = 2; i < w.size(); ++i) {
        const auto byte = hexByte(w[i]);
        if (!byte) {
            return std::unexpected("\"" + std::string(w[i]) + "\" is not a two-digit hex byte");
        }
        event.bytes += static_cast<char>(*byte);
    }
    return event;
}

std::string_view trimmedText(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The model a comment names, as the capture writers put it.
std::optional<int> commentModel(std::string_view comment) {
    comment = trimmedText(comment);
    std::string_view name;
    constexpr std::string_view kSimulated = "simulated ";
    if (comment.starts_with(kSimulated)) {
        name = trimmedText(comment.substr(kSimulated.size()));
    } else if (comment.ends_with(" circuit(s)")) {
        const auto on = comment.rfind(" on ");
        if (on == std::string_view::npos) {
            return std::nullopt;
        }
        name = trimmedText(comment.substr(0, on));
    } else {
        return std::nullopt;
    }
    for (int model = 0; !counterModelName(model).empty(); ++model) {
        if (name == counterModelName(model)) {
            return model;
        }
    }
    return std::nullopt;
}

} // namespace

std::string formatCaptureEvent(const CaptureEvent& event) {
    char stamp[32];
    // Rounded up, the last instant of the day would print as 86400, which no reader takes.
    std::snprintf(stamp, sizeof stamp, "%.4f", std::min(event.seconds, 86399.9999));
    switch (event.kind) {
    case CaptureEvent::Kind::Key:
        return std::string(stamp) + " key " + keyText(event.key) + "\n";
    case CaptureEvent::Kind::Lane:
        return std::string(stamp) + " lane " + std::to_string(event.lane) + "\n";
    case CaptureEvent::Kind::Bytes:
        break;
    }
    std::string out;
    for (std::size_t at = 0; at < event.bytes.size(); at += kBytesPerLine) {
        out += stamp;
        out += ' ';
        out += std::to_string(event.circuit);
        const std::size_t end = std::min(event.bytes.size(), at + kBytesPerLine);
        for (std::size_t i = at; i < end; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", static_cast<unsigned char>(event.bytes[i]));
            out += hex;
        }
        out += '\n';
    }
    return out;
}

CaptureContents parseCapture(std::string_view text) {
    CaptureContents contents;
    int number = 0;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos) {
            continue;
        }
        if (line[first] == '#') {
            if (auto model = commentModel(line.substr(first + 1))) {
                contents.models.push_back({number, *model});
            }
            continue;
        }
        auto event = parseLine(line);
        if (event) {
            contents.events.push_back(std::move(*event));
        } else {
            contents.problems.push_back({number, event.error()});
        }
    }
    return contents;
}

IoResult CaptureWriter::append(const CaptureEvent& event) {
    return appendToFile(m_file, formatCaptureEvent(event), false);
}

IoResult CaptureWriter::bytes(double seconds, int circuit, std::string_view data) {
    CaptureEvent event;
    event.seconds = seconds;
    event.circuit = circuit;
    event.bytes = std::string(data);
    return append(event);
}

IoResult CaptureWriter::key(double seconds, int key) {
    CaptureEvent event;
    event.seconds = seconds;
    event.kind = CaptureEvent::Kind::Key;
    event.key = key;
    return append(event);
}

IoResult CaptureWriter::lane(double seconds, int lane) {
    CaptureEvent event;
    event.seconds = seconds;
    event.kind = CaptureEvent::Kind::Lane;
    event.lane = lane;
    return append(event);
}

IoResult CaptureWriter::comment(std::string_view text) {
    std::string line = "# ";
    for (char c : text) {
        line += (c == '\n' || c == '\r') ? ' ' : c;
    }
    return appendToFile(m_file, line + "\n", false);
}

} // namespace cronovolta
