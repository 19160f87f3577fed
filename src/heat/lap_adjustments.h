#pragma once

#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

inline constexpr std::string_view kAdjustmentJournalName = "VLTAVLT.AJS";

// A race lap adjustment ("+2" Enter) as journaled beside the lap journal, whose 24-byte
// record has no room for it. Heat number and start say which heat it belongs to; the count
// of lap-journal records before it puts it back in its place among the laps.
struct LapAdjustment {
    std::int16_t heat = 0;
    std::int16_t lane = 0;
    std::int16_t amount = 0; // +1 or -1
    float heatStart = 0.0f;  // the lap journal header's start of the heat
    std::int32_t afterRecords = 0;

    bool operator==(const LapAdjustment&) const = default;
};

// int16 heat, lane, amount, 0; single heat start; single record count.
inline constexpr std::size_t kLapAdjustmentSize = 16;

std::string encodeLapAdjustment(const LapAdjustment& adjustment);
// Whole records only: one cut short by a killed program is left out.
std::vector<LapAdjustment> decodeLapAdjustments(std::string_view bytes);

// The running heat's adjustment journal: one write per adjustment, on top of a record that
// a killed program left cut short.
class AdjustmentJournal {
public:
    void start(const fs::path& path); // a new heat: the old file goes
    // A recovered heat: its adjustments, and the file kept for the next ones.
    std::expected<std::vector<LapAdjustment>, std::string> resume(const fs::path& path);
    IoResult append(const LapAdjustment& adjustment);
    void remove();

private:
    fs::path m_path;
    std::size_t m_records = 0;
};

} // namespace cronovolta
