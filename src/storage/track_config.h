#pragma once

#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

inline constexpr int kMaxLanes = 64;

struct CircuitConfig {
    std::int16_t port = 1;      // COM number 1..4
    std::int16_t firstLane = 1; // first lane this counter reports
};

// The physical track ("PISTA.CFG").
struct TrackConfig {
    float minimumLap = 0.0f;
    std::int16_t largestPartial = 0;
    std::string lapTotalFormat = "0"; // derived from largestPartial
    std::string decimalsText;         // derived: the run of zeros of lapTotalFormat
    std::vector<CircuitConfig> circuits{{1, 1}, {2, 9}}; // 1..4 entries
    std::int16_t lanes = 64; // always 1..kMaxLanes: what the arrays are sized by
    // The lane count as the file holds it. Above kMaxLanes the main window refuses the
    // file; `lanes` is clamped so that nothing allocates from a corrupt count.
    std::int16_t storedLanes = 64;
    // Positions 1..lanes: the lanes in the order drivers change to them (1-based, as stored).
    // Position 0 is not stored: derived on load, the highest lane number of the order.
    std::vector<std::int16_t> laneChangeOrder;
    bool splitTiming = false;
    std::int16_t partials = 3;
    std::int16_t partialLane = 63;
    std::int16_t speedLane = 64;
    std::int16_t speedDistance = 40;

    // Highest lane number of the order: per-lane arrays run 0..highestLane().
    int highestLane() const { return laneChangeOrder.empty() ? 0 : laneChangeOrder[0]; }
    bool lanesAboveMaximum() const { return storedLanes > kMaxLanes; }
};

// A decoded file and what was wrong with it (empty when the file was sound). Unsound
// fields take their defaults, so the problems name what the organiser should check.
struct DecodedTrackConfig {
    TrackConfig config;
    std::vector<std::string> problems;
};

// The settings of a first start: 64 lanes in order, two circuits on COM1/COM2 from lanes
// 1 and 9, no minimum lap, no comes, split timing off.
TrackConfig defaultTrackConfig();

// Recomputes laneChangeOrder[0], lapTotalFormat and decimalsText.
void deriveTrackConfig(TrackConfig& config);

// "0.00" for a largest partial of 100, "0" for 0; the decimals text is its run of zeros.
std::string lapTotalFormatFor(int largestPartial);

std::string encodeTrackConfig(const TrackConfig& config);
// Reads as far as the bytes are sound; never fails, a short file gives defaults for
// what is missing.
TrackConfig decodeTrackConfig(std::string_view bytes);
DecodedTrackConfig decodeTrackConfigChecked(std::string_view bytes);

std::expected<TrackConfig, std::string> loadTrackConfig(const fs::path& file);
std::expected<DecodedTrackConfig, std::string> loadTrackConfigChecked(const fs::path& file);
// Replaces the file atomically: 31 + 2N bytes with split timing off, 309 with it on.
IoResult saveTrackConfig(const fs::path& file, const TrackConfig& config);

} // namespace cronovolta
