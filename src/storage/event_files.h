#pragma once

#include "storage/file_io.h"

#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// Programme types (`Programa`).
enum Programa : std::int16_t {
    kPractice = 0,         // Entrenaments, uses PROVA.PAR, one series
    kFreePractice = 1,     // LLR
    kOfficialPractice = 2, // OFC
    kSuperPole = 3,        // SPP
    kRace = 4,             // CRS
};

// "", "LLR", "OFC", "SPP", "CRS"; empty for out-of-range types.
std::string_view seriesPrefix(int programa);
// "CRS002" (at least three digits); "PROVA" for practice.
std::string seriesBaseName(int programa, int serie);
// "CRS002.VAV" etc.; practice gives "PROVA" + ext.
std::string seriesFileName(int programa, int serie, std::string_view ext);
// "PROVA001", "PROVA1000".
std::string eventFolderName(int event);
fs::path eventFolder(const fs::path& dataDir, int event);

// The active selection (`SeleccioActiva`).
struct SeleccioActiva {
    std::int16_t event = 0;   // 1-based, 0 none
    std::int16_t programa = 0;
    std::int16_t serie = 0;   // 1-based, 0 none
    std::int16_t maniguesFetes = 0;
    float heatStart = 0.0f;
};

// "PROVA.DAD" (`CapcaleraProva`).
struct CapcaleraProva {
    std::array<std::int16_t, 4> seriesCounts{}; // programme types 1..4
    std::string name;
    std::string date;
};

struct CatalogEntry {
    std::string name;
    std::string date;
};

} // namespace cronovolta
