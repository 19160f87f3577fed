#include "storage/record_io.h"

#include "storage/text_encoding.h"

#include <bit>
#include <cstring>

namespace cronovolta {

void ByteWriter::i16(std::int16_t v) {
    auto u = static_cast<std::uint16_t>(v);
    m_bytes.push_back(static_cast<char>(u & 0xFF));
    m_bytes.push_back(static_cast<char>(u >> 8));
}

void ByteWriter::f32(float v) {
    auto u = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) {
        m_bytes.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    }
}

void ByteWriter::string16(std::string_view utf8) {
    std::string bytes = utf8ToWindows1252(utf8);
    if (bytes.size() > 32767) {
        bytes.resize(32767);
    }
    i16(static_cast<std::int16_t>(bytes.size()));
    m_bytes.append(bytes);
}

bool ByteReader::need(std::size_t n) {
    if (m_failed || m_bytes.size() - m_pos < n) {
        m_failed = true;
        return false;
    }
    return true;
}

std::uint8_t ByteReader::u8() {
    if (!need(1)) {
        return 0;
    }
    return static_cast<std::uint8_t>(m_bytes[m_pos++]);
}

std::int16_t ByteReader::i16() {
    if (!need(2)) {
        return 0;
    }
    auto lo = static_cast<std::uint8_t>(m_bytes[m_pos]);
    auto hi = static_cast<std::uint8_t>(m_bytes[m_pos + 1]);
    m_pos += 2;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

float ByteReader::f32() {
    if (!need(4)) {
        return 0.0f;
    }
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) {
        u |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(m_bytes[m_pos + i])) << (8 * i);
    }
    m_pos += 4;
    return std::bit_cast<float>(u);
}

std::string ByteReader::raw(std::size_t n) {
    if (!need(n)) {
        return {};
    }
    std::string out(m_bytes.substr(m_pos, n));
    m_pos += n;
    return out;
}

std::string ByteReader::string16() {
    std::int16_t len = i16();
    if (len < 0) {
        m_failed = true;
        return {};
    }
    return windows1252ToUtf8(raw(static_cast<std::size_t>(len)));
}

void ByteReader::skip(std::size_t n) {
    if (need(n)) {
        m_pos += n;
    }
}

bool fitsString16(std::string_view utf8) { return utf8ToWindows1252(utf8).size() <= 32767; }

} // namespace cronovolta
