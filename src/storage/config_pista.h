#pragma once

#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

inline constexpr int MaxPistes = 64;

struct CircuitConfig {
    std::int16_t port = 1;      // COM number 1..4
    std::int16_t firstLane = 1; // first lane this counter reports
};

// The physical track ("PISTA.CFG").
struct ConfigPista {
    float minimumLap = 0.0f;
    std::int16_t largestPartial = 0;
    std::string lapTotalFormat = "0"; // derived from largestPartial
    std::string decimalsText;         // derived: the run of zeros of lapTotalFormat
    std::vector<CircuitConfig> circuits{{1, 1}, {2, 9}}; // 1..4 entries
    std::int16_t lanes = 64; // always 1..MaxPistes: what the arrays are sized by
    // The lane count as the file holds it. Above MaxPistes the main window refuses the
    // file; `lanes` is clamped so that nothing allocates from a corrupt count.
    std::int16_t storedLanes = 64;
    // Index 0 is derived on load: the highest lane number of positions 1..lanes.
    std::vector<std::int16_t> OrdreCanvi;
    bool splitTiming = false;
    std::int16_t partials = 3;
    std::int16_t partialLane = 63;
    std::int16_t speedLane = 64;
    std::int16_t speedDistance = 40;

    // Highest lane number of the order: per-lane arrays run 0..highestLane().
    int highestLane() const { return OrdreCanvi.empty() ? 0 : OrdreCanvi[0]; }
    bool lanesAboveMaximum() const { return storedLanes > MaxPistes; }
};

// A decoded file and what was wrong with it (empty when the file was sound). Unsound
// fields take their defaults, so the problems name what the organiser should check.
struct DecodedConfigPista {
    ConfigPista config;
    std::vector<std::string> problems;
};

// The settings of a first start: 64 lanes in order, two circuits on COM1/COM2 from lanes
// 1 and 9, no minimum lap, no comes, split timing off.
ConfigPista defaultConfigPista();

// Recomputes OrdreCanvi[0], lapTotalFormat and decimalsText.
void deriveConfigPista(ConfigPista& config);

// "0.00" for a largest partial of 100, "0" for 0; the decimals text is its run of zeros.
std::string lapTotalFormatFor(int largestPartial);

std::string encodeConfigPista(const ConfigPista& config);
// Reads as far as the bytes are sound; never fails, a short file gives defaults for
// what is missing.
ConfigPista decodeConfigPista(std::string_view bytes);
DecodedConfigPista decodeConfigPistaChecked(std::string_view bytes);

std::expected<ConfigPista, std::string> loadConfigPista(const fs::path& file);
std::expected<DecodedConfigPista, std::string> loadConfigPistaChecked(const fs::path& file);
// Replaces the file atomically: 31 + 2N bytes with split timing off, 309 with it on.
IoResult saveConfigPista(const fs::path& file, const ConfigPista& config);

} // namespace cronovolta
