#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cronovolta {

// Little-endian writer of the binary layouts: 16-bit signed integers, IEEE singles and
// strings as a 16-bit length followed by Windows-1252 bytes.
class ByteWriter {
public:
    void u8(std::uint8_t v) { m_bytes.push_back(static_cast<char>(v)); }
    void i16(std::int16_t v);
    void f32(float v);
    void zeros(std::size_t n) { m_bytes.append(n, '\0'); }
    void raw(std::string_view bytes) { m_bytes.append(bytes); }
    // UTF-8 text stored as length + Windows-1252 bytes. The caller checks the length with
    // fitsString16() first; a longer text is cut at 32767 bytes.
    void string16(std::string_view utf8);

    const std::string& bytes() const { return m_bytes; }
    std::string take() { return std::move(m_bytes); }
    std::size_t size() const { return m_bytes.size(); }

private:
    std::string m_bytes;
};

// Reader that never trusts the data: reading past the end, or a length that is negative
// or longer than what remains, makes the reader fail; a failed reader yields zeros and
// empty strings from then on, and ok() tells the caller to stop.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes, std::size_t pos = 0) : m_bytes(bytes), m_pos(pos) {
        if (pos > bytes.size()) {
            m_failed = true;
        }
    }

    std::uint8_t u8();
    std::int16_t i16();
    float f32();
    std::string raw(std::size_t n);
    // Length-prefixed Windows-1252 string, returned as UTF-8.
    std::string string16();
    void skip(std::size_t n);

    bool ok() const { return !m_failed; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    std::size_t pos() const { return m_pos; }
    std::size_t remaining() const { return m_failed ? 0 : m_bytes.size() - m_pos; }

private:
    bool need(std::size_t n);

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

// True when the text's Windows-1252 form fits a 16-bit signed length.
bool fitsString16(std::string_view utf8);

} // namespace cronovolta
