#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace cronovolta::fuzz {

// A broken promise of a reader aborts, so that libFuzzer keeps the input that broke it.
[[noreturn]] inline void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

inline std::string_view asBytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Several files in one input: each but the last is a 16-bit little-endian length and that
// many bytes; the last takes the rest. Missing parts are empty.
inline std::vector<std::string_view> splitParts(std::string_view data, std::size_t count) {
    std::vector<std::string_view> parts;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        std::size_t length = 0;
        if (data.size() >= 2) {
            length = static_cast<std::uint8_t>(data[0]) | static_cast<std::uint8_t>(data[1]) << 8;
            data.remove_prefix(2);
        } else {
            data = {};
        }
        length = std::min(length, data.size());
        parts.push_back(data.substr(0, length));
        data.remove_prefix(length);
    }
    parts.push_back(data);
    return parts;
}

} // namespace cronovolta::fuzz

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? (void)0 : ::cronovolta::fuzz::fail(#condition, __FILE__, __LINE__))

namespace cronovolta::fuzz {

// Bytes read from disk come back unchanged when written again: a sound file as it was, a
// damaged one as the whole records before the damage.
inline void checkRewritten(std::string_view bytes, std::string_view again, bool damaged) {
    FUZZ_CHECK(damaged ? bytes.starts_with(again) && again.size() < bytes.size() : again == bytes);
}

} // namespace cronovolta::fuzz
