#include "live/live_json.h"

#include <cstdint>

namespace cronovolta::live {
namespace {

// Length of the well-formed UTF-8 sequence at `s[i]`, 0 when it is not one.
std::size_t sequenceLength(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    std::size_t n = 0;
    std::uint32_t min = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
        return 1;
    } else if ((c & 0xe0) == 0xc0) {
        n = 2, min = 0x80, cp = c & 0x1f;
    } else if ((c & 0xf0) == 0xe0) {
        n = 3, min = 0x800, cp = c & 0x0f;
    } else if ((c & 0xf8) == 0xf0) {
        n = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xc0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3f);
    }
    const bool surrogate = cp >= 0xd800 && cp <= 0xdfff;
    return cp < min || cp > 0x10ffff || surrogate ? 0 : n;
}

} // namespace

std::string jsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = sequenceLength(text, i);
        if (n == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text.substr(i, n));
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7f || c == '<' || c == '>' || c == '&' || c == '\'') {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 0xf];
        } else {
            out += static_cast<char>(c);
        }
        i += n;
    }
    out += '"';
    return out;
}

void JsonWriter::separate() {
    if (m_needComma) {
        m_out += ',';
    }
    m_needComma = true;
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    m_out += '{';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    m_out += '}';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    m_out += '[';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    m_out += ']';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    m_out += jsonString(name);
    m_out += ':';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    separate();
    m_out += jsonString(text);
    return *this;
}

JsonWriter& JsonWriter::value(long long number) {
    separate();
    m_out += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    m_out += flag ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    m_out += "null";
    return *this;
}

JsonWriter& JsonWriter::strings(const std::vector<std::string>& texts) {
    beginArray();
    for (const auto& t : texts) {
        value(t);
    }
    return endArray();
}

} // namespace cronovolta::live
