#pragma once

#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// One record of a penalties file ".PEN".
struct PenaltyRecord {
    std::int16_t participant = 0;
    float laps = 0.0f;
    std::string reasons;

    bool operator==(const PenaltyRecord&) const = default;
};

// One record per participant of a list of at most 99: a reader takes no more.
inline constexpr std::size_t kMaxPenaltyRecords = 99;
inline constexpr std::uintmax_t kMaxPenaltyFileBytes = kMaxPenaltyRecords * (8u + 32767u);

struct PenaltyFile {
    std::vector<PenaltyRecord> records;
    bool truncated = false;
    std::uintmax_t leftOut = 0; // bytes after the 99th record, not read
};

std::string encodePenalties(const std::vector<PenaltyRecord>& records);
PenaltyFile decodePenalties(std::string_view bytes);
std::expected<PenaltyFile, std::string> readPenalties(const fs::path& path); // missing: empty
IoResult writePenalties(const fs::path& path, const std::vector<PenaltyRecord>& records);

} // namespace cronovolta
