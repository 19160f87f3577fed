#pragma once

#include "storage/file_io.h"

#include <array>
#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

enum class CounterModel : std::int16_t {
    DS003 = 0,
    DS030 = 1,
    DS300 = 2,
    DS300DS4port = 3,
    DS200 = 4,
};

// The installation's settings ("ZENTOR.CFG").
struct ProgramSettings {
    std::int16_t language = 0;          // 0 Català, 1 Castellà
    std::int16_t lapFractionPolicy = 0; // 0 never, -1 every heat, n >= 1 at the end of pass n
    std::int16_t autoScroll = 0;        // 0 off, n >= 1 seconds
    std::uint8_t version = 0;
    CounterModel counterModel = CounterModel::DS030;
    std::vector<std::int16_t> colours{12, 10, 15, 14, 11}; // QBColor numbers of the slots
};

// The classic 16-colour palette, RGB.
struct Rgb {
    int r, g, b;
};
inline constexpr std::array<Rgb, 16> kQbPalette = {{{0, 0, 0},
                                                    {0, 0, 128},
                                                    {0, 128, 0},
                                                    {0, 128, 128},
                                                    {128, 0, 0},
                                                    {128, 0, 128},
                                                    {128, 128, 0},
                                                    {192, 192, 192},
                                                    {128, 128, 128},
                                                    {0, 0, 255},
                                                    {0, 255, 0},
                                                    {0, 255, 255},
                                                    {255, 0, 0},
                                                    {255, 0, 255},
                                                    {255, 255, 0},
                                                    {255, 255, 255}}};
Rgb qbColor(int number); // out-of-range numbers give black

inline constexpr int kColourSlots = 5;

// Names of the five models as the settings dialog lists them; "" out of range.
std::string_view counterModelName(int model);

// A decoded file and what was wrong with it (empty when the file was sound).
struct DecodedProgramSettings {
    ProgramSettings config;
    std::vector<std::string> problems;
};

ProgramSettings defaultProgramSettings();
// Reads as far as the bytes are sound and applies the load corrections (comes below -1,
// auto-scroll below -1, version 0). Always gives five colour slots.
DecodedProgramSettings decodeProgramSettings(std::string_view bytes);
// The 21 + 2n bytes of the layout, unused fields zero.
std::string encodeProgramSettings(const ProgramSettings& config);

std::expected<ProgramSettings, std::string> loadProgramSettings(const fs::path& file);
std::expected<DecodedProgramSettings, std::string> loadProgramSettingsChecked(const fs::path& file);
// Writes every field at its offset without truncating the file.
IoResult saveProgramSettings(const fs::path& file, const ProgramSettings& config);

} // namespace cronovolta
