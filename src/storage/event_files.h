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

// Programme types (`Programa`), stored as 16-bit numbers.
enum class ProgrammeType : std::int16_t {
    Practice = 0,         // Entrenaments, uses PROVA.PAR, one series
    FreePractice = 1,     // LLR
    OfficialPractice = 2, // OFC
    SuperPole = 3,        // SPP
    Race = 4,             // CRS
};

inline constexpr std::array<ProgrammeType, 5> kProgrammeTypes{
    ProgrammeType::Practice, ProgrammeType::FreePractice, ProgrammeType::OfficialPractice,
    ProgrammeType::SuperPole, ProgrammeType::Race};

// The type a stored or typed number names; none outside 0..4.
constexpr std::optional<ProgrammeType> programmeTypeFrom(int value) {
    if (value < 0 || value > 4) {
        return std::nullopt;
    }
    return static_cast<ProgrammeType>(value);
}

// The stored number, which also indexes arrays by programme type.
constexpr int index(ProgrammeType type) {
    return static_cast<int>(type);
}

// Official practice, Super Pole and race rank their heats in a standings grid.
constexpr bool hasStandings(ProgrammeType type) {
    return type >= ProgrammeType::OfficialPractice;
}

// "", "LLR", "OFC", "SPP", "CRS"; empty for out-of-range types.
std::string_view seriesPrefix(ProgrammeType programmeType);
// "CRS002" (at least three digits); "PROVA" for practice.
std::string seriesBaseName(ProgrammeType programmeType, int seriesNumber);
// "CRS002.VAV" etc.; practice gives "PROVA" + ext.
std::string seriesFileName(ProgrammeType programmeType, int seriesNumber, std::string_view ext);
// "PROVA001", "PROVA1000".
std::string eventFolderName(int event);
fs::path eventFolder(const fs::path& dataDir, int event);

// The active selection (`ActiveSelection`).
struct ActiveSelection {
    std::int16_t event = 0; // 1-based, 0 none
    ProgrammeType programmeType = ProgrammeType::Practice;
    std::int16_t seriesNumber = 0; // 1-based, 0 none
    std::int16_t heatsDone = 0;
    float heatStart = 0.0f;
};

// "PROVA.DAD" (`EventHeader`).
struct EventHeader {
    std::array<std::int16_t, 4> seriesCounts{}; // programme types 1..4
    std::string name;
    std::string date;
};

struct CatalogEntry {
    std::string name;
    std::string date;

    bool operator==(const CatalogEntry&) const = default;
};

inline constexpr std::string_view kCatalogFileName = "PROVES.LLS";
inline constexpr std::string_view kEventHeaderFileName = "PROVA.DAD";
inline constexpr std::string_view kTrackFileName = "PISTA.CFG";
inline constexpr std::size_t kHeaderNameOffset = 19;

// "DISTRIBUCIONS08.TXT": the lane-distribution table of a track of that many lanes.
std::string distributionTableName(int lanes);

// Number of events: folders PROVA001, PROVA002, ... up to the first one missing.
int countEventFolders(const fs::path& dataDir);

// --- The catalogue "PROVES.LLS" ---

// Event numbers are 16-bit: a catalogue lists no more events than that.
inline constexpr std::size_t kMaxCatalogEntries = 32767;

struct Catalog {
    std::vector<CatalogEntry> entries;
    bool truncated = false;     // the file ended inside an entry; the entries before it are kept
    std::uintmax_t leftOut = 0; // bytes after the last event a catalogue can list
    bool repaired = false;      // loadCatalog found it damaged or stale and rebuilt it
    std::vector<std::string> problems; // event headers the rebuild could not read soundly
};

std::string encodeCatalogEntry(const CatalogEntry& entry);
std::string encodeCatalog(const std::vector<CatalogEntry>& entries);
Catalog decodeCatalog(std::string_view bytes);
// A missing file reads as an empty catalogue.
std::expected<Catalog, std::string> readCatalog(const fs::path& file);
IoResult appendCatalogEntry(const fs::path& file, const CatalogEntry& entry);

struct CatalogRebuild {
    std::vector<CatalogEntry> entries;
    std::vector<std::string> problems; // event headers that could not be read soundly
};

// Rewrites "PROVES.LLS" from the event folders; with no PROVA001 no file is left.
// An event whose header is missing or unreadable keeps its place under its folder name.
std::expected<CatalogRebuild, std::string> rebuildCatalog(const fs::path& dataDir);

// The catalogue as the main window loads it: rebuilt when the file is missing, and when it
// is damaged or lists another number of events than there are folders, since entry n must
// be folder n and the catalogue is derived from the folders anyway.
std::expected<Catalog, std::string> loadCatalog(const fs::path& dataDir);

// --- The event header "PROVA.DAD" ---

struct EventHeaderRead {
    EventHeader header;
    bool complete = true; // false: the file ended before the date; what was read is kept
};

// Counts, eleven zero bytes, then name and date from offset 19.
std::string encodeEventHeader(const EventHeader& header);
EventHeaderRead decodeEventHeader(std::string_view bytes);
std::expected<EventHeaderRead, std::string> readEventHeader(const fs::path& file);
// A new event's header, written atomically.
IoResult writeNewEventHeader(const fs::path& file, const EventHeader& header);
// The four counts in place at offset 0.
IoResult writeSeriesCounts(const fs::path& file, const std::array<std::int16_t, 4>& counts);
// The count of one programme type (1..4) in place at offset 2(t - 1).
IoResult writeSeriesCount(const fs::path& file, ProgrammeType programmeType, std::int16_t count);
// Name and date in place from offset 19; the file is not truncated.
IoResult writeEventNameAndDate(const fs::path& file, std::string_view name, std::string_view date);

} // namespace cronovolta
