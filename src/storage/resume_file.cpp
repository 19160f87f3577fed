#include "storage/resume_file.h"

#include "storage/number_format.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace cronovolta {
namespace {

constexpr std::string_view kEol = "\r\n";

// The non-blank lines of a small text file, each stripped of blanks and line ends.
std::vector<std::string_view> valueLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        std::size_t first = line.find_first_not_of(" \t\r");
        if (first != std::string_view::npos) {
            std::size_t last = line.find_last_not_of(" \t\r");
            lines.push_back(line.substr(first, last - first + 1));
        }
        start = end + 1;
    }
    return lines;
}

std::optional<std::int16_t> parseInt16(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() ||
        value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

// A decimal number with "." or "," as separator, nothing else on the line.
std::optional<float> parseSingle(std::string_view text) {
    std::string s(text);
    if (!s.empty() && s.front() == '+') {
        s.erase(0, 1);
    }
    for (char& c : s) {
        if (c == ',') {
            c = '.';
        }
    }
    float value = 0.0f;
    auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
    if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string printedInt(int value) {
    return printedNumber(static_cast<float>(value));
}

} // namespace

std::string encodeResumeState(const ResumeState& state) {
    std::string out;
    for (int v :
         {int{state.event}, index(state.programmeType), int{state.seriesNumber}, int{state.heat}}) {
        out += printedInt(v);
        out += kEol;
    }
    out += encodeResumeStart(state.heatStart);
    return out;
}

std::string encodeResumeStart(float heatStart) {
    return printedNumber(heatStart) + std::string(kEol);
}

std::optional<ResumeState> parseResumeState(std::string_view text) {
    auto lines = valueLines(text);
    if (lines.size() < 5) {
        return std::nullopt;
    }
    std::int16_t fields[4];
    for (int i = 0; i < 4; ++i) {
        auto v = parseInt16(lines[static_cast<std::size_t>(i)]);
        if (!v) {
            return std::nullopt;
        }
        fields[i] = *v;
    }
    const auto programmeType = programmeTypeFrom(fields[1]);
    if (fields[0] < 1 || !programmeType || programmeType == ProgrammeType::Practice ||
        fields[2] < 1 || fields[3] < 0) {
        return std::nullopt;
    }
    ResumeState state{fields[0], *programmeType, fields[2], fields[3], 0.0f};
    // The last sound start time counts: a line torn by a crash is passed over. A last line
    // without its line end may be a number cut short, so it only counts when it is the only
    // start time there is.
    std::size_t end = lines.size();
    std::size_t tail = text.find_last_not_of(" \t");
    bool terminated = tail != std::string_view::npos && (text[tail] == '\n' || text[tail] == '\r');
    if (!terminated && end > 5) {
        --end;
    }
    bool haveStart = false;
    for (std::size_t i = 4; i < end; ++i) {
        auto v = parseSingle(lines[i]);
        if (v && *v >= 0.0f && *v <= 86400.0f) {
            state.heatStart = *v;
            haveStart = true;
        }
    }
    if (!haveStart) {
        return std::nullopt;
    }
    return state;
}

std::optional<ResumeState> readResumeFile(const fs::path& path) {
    auto bytes = readOptionalFile(path);
    return bytes ? parseResumeState(*bytes) : std::nullopt;
}

IoResult writeResumeFile(const fs::path& path, const ResumeState& state) {
    return writeFileAtomic(path, encodeResumeState(state));
}

IoResult appendResumeStart(const fs::path& path, float heatStart) {
    std::string line = encodeResumeStart(heatStart);
    // After a torn line the new value must start a line of its own.
    if (auto bytes = readOptionalFile(path); bytes && !bytes->empty() && bytes->back() != '\n') {
        line.insert(0, kEol);
    }
    return appendToFile(path, line);
}

std::string encodeWindowState(const WindowState& state) {
    std::string out = printedInt(state.eventIndex) + std::string(kEol);
    for (int index : state.seriesIndexes) {
        out += printedInt(index);
        out += kEol;
    }
    out += printedInt(state.infoShown ? -1 : 0);
    out += kEol;
    return out;
}

std::optional<WindowState> parseWindowState(std::string_view text) {
    auto lines = valueLines(text);
    if (lines.empty()) {
        return std::nullopt;
    }
    std::vector<int> values;
    for (auto line : lines) {
        auto v = parseInt16(line);
        if (!v) {
            return std::nullopt;
        }
        values.push_back(*v);
    }
    WindowState state;
    state.eventIndex = values.front();
    if (values.size() >= 2) {
        state.seriesIndexes.assign(values.begin() + 1, values.end() - 1);
        state.infoShown = values.back() != 0;
    }
    return state;
}

IoResult writeWindowState(const fs::path& path, const WindowState& state) {
    return writeFileAtomic(path, encodeWindowState(state));
}

std::optional<WindowState> takeWindowState(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) {
        return std::nullopt;
    }
    auto bytes = readFileBytes(path);
    fs::remove(path, ec);
    if (!bytes) {
        return std::nullopt;
    }
    return parseWindowState(*bytes);
}

} // namespace cronovolta
