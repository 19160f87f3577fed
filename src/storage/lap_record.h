#pragma once

#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// The 24-byte record of the heat journal "VLTAVLT.TMP" and of the series lap file ".VAV".
// lane 0 marks a heat header or end record, lane -1 a pause record.
struct LapRecord {
    std::int16_t lane = 0;
    std::int16_t participant = 0;
    float crossingTime = 0.0f;
    float lapTime = 0.0f;         // header: heat number
    std::int16_t fastestFlag = 0; // -1 when the lap became the lane's fastest
    std::int16_t laps = 0;        // header/end: number of records of the heat
    float splitKind = 0.0f;
    float splitValue = 0.0f;

    bool operator==(const LapRecord&) const = default;
};

inline constexpr std::size_t kLapRecordSize = 24;

// A lap time of 99.9999 s or more is no lap time: what a counter reports, and the files and
// grids hold, for a lane without one.
inline constexpr float kNoLapTime = 99.9999f;
inline constexpr std::string_view kNoLapTimeText = "99.9999";

std::string encodeLapRecord(const LapRecord& record);
LapRecord decodeLapRecord(std::string_view bytes); // bytes.size() >= 24

// 174,762 laps: a day and a night of racing on eight lanes. A reader takes no more.
inline constexpr std::uintmax_t kMaxLapFileBytes =
    4u * 1024u * 1024u / kLapRecordSize * kLapRecordSize;

struct LapFile {
    std::vector<LapRecord> records; // every whole record read
    bool partialTail = false;       // the file ended in the middle of a record
    std::size_t partialBytes = 0;   // the bytes of that record
    std::uintmax_t leftOut = 0;     // bytes past the bound, not read

    std::uintmax_t skippedBytes() const { return partialBytes + leftOut; }
};

LapFile decodeLapFile(std::string_view bytes);
std::string encodeLapFile(const std::vector<LapRecord>& records);

// A missing file reads as empty; a partial last record is dropped and reported.
std::expected<LapFile, std::string> readLapFile(const fs::path& path);

// What a read of `file` skipped, in the organiser's language (kLanguageCatalan,
// kLanguageCastilian): a record cut short at the end and the bytes past the bound. Empty when
// nothing was skipped.
std::string describeSkippedLapBytes(const fs::path& file, const LapFile& read, int language);

// Record n (1-based) in place.
IoResult writeLapRecord(const fs::path& path, std::size_t recordNumber, const LapRecord& record,
                        bool sync = true);
// After the last whole record: a partial record left by a crash is overwritten.
IoResult appendLapRecord(const fs::path& path, const LapRecord& record, bool sync = true);
// The whole file replaced atomically.
IoResult writeLapFile(const fs::path& path, const std::vector<LapRecord>& records);

} // namespace cronovolta
