#pragma once

#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// One 50-byte record of a series results file ".DAD" (46 bytes used). A heat is one
// header record (participant 0) followed by one record per standings row. Field names
// follow the participant record; the header reuses them as noted.
struct HeatResultRecord {
    std::int16_t participant = 0; // 0 in a header
    float seriesLaps = 0.0f;
    float crossingTime = 0.0f; // header: heat start time
    float fastestLap = 0.0f;
    std::int16_t fastestLane = 0;
    std::int16_t lastLaneRank = 0; // rank, negated on the row of the lane that crossed last
    std::int16_t lane = 0;         // header: heat number
    float heatLaps = 0.0f;
    std::int16_t adjustments = 0; // header: number of participant records that follow
    float lastLap = 0.0f;
    float heatFastestLap = 0.0f;
    float heatRank = 0.0f;
    float sortKey1 = 0.0f;
    float sortKey2 = 0.0f;

    bool isHeader() const { return participant == 0; }
    std::int16_t headerHeatNumber() const { return lane; }
    std::int16_t headerRecordCount() const { return adjustments; }

    bool operator==(const HeatResultRecord&) const = default;
};

inline constexpr std::size_t kHeatResultRecordSize = 50;
inline constexpr std::size_t kHeatResultUsedBytes = 46;

std::string encodeHeatResultRecord(const HeatResultRecord& record); // 50 bytes, tail zero
HeatResultRecord decodeHeatResultRecord(std::string_view bytes);    // bytes.size() >= 46

// A series of 1000 heats of 99 participants, a header each: several times what a day of
// racing writes. A reader takes no more.
inline constexpr std::uintmax_t kMaxHeatResultFileBytes = 1000u * 100u * kHeatResultRecordSize;

struct HeatResultFile {
    std::vector<HeatResultRecord> records;
    bool partialTail = false;
    std::uintmax_t leftOut = 0; // bytes past the bound, not read
};

// Whole records in order; a last record of at least the 46 used bytes counts as whole.
HeatResultFile decodeHeatResultFile(std::string_view bytes);
std::string encodeHeatResultFile(const std::vector<HeatResultRecord>& records);

// A missing file reads as empty.
std::expected<HeatResultFile, std::string> readHeatResultFile(const fs::path& path);
// Record n (1-based) in place, the rest of the file untouched.
IoResult writeHeatResultRecord(const fs::path& path, std::size_t recordNumber,
                               const HeatResultRecord& record, bool sync = true);
// The whole file replaced atomically.
IoResult writeHeatResultFile(const fs::path& path, const std::vector<HeatResultRecord>& records);

} // namespace cronovolta
