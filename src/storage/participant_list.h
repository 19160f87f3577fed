#pragma once

#include "storage/event_files.h"
#include "storage/file_io.h"

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <vector>

namespace cronovolta {

// A list holds at most this many names; a reader takes no more.
inline constexpr int kMaxParticipants = 99;
inline constexpr std::uintmax_t kMaxParticipantFileBytes = 2u + kMaxParticipants * (2u + 32767u);

// A participant file (".PAR", "PROVA.PAR"): the heat counter and the names in order.
// Participant number p is names[p - 1].
struct ParticipantList {
    std::int16_t heatsDone = 0;
    std::vector<std::string> names;
    bool truncated = false;     // the file ended inside a name; the names before it are kept
    std::uintmax_t leftOut = 0; // bytes after the 99th name, not read as names
};

// Names are written as given: whoever saves a list from the screen trims them first.
std::string encodeParticipantList(const ParticipantList& list);
ParticipantList decodeParticipantList(std::string_view bytes);

// A missing file gives an empty list with heat counter 0.
std::expected<ParticipantList, std::string> readParticipantList(const fs::path& path);
// What a reader of `path` must tell about `list`: a cut name, bytes past the 99th name.
std::vector<std::string> participantListDamage(const fs::path& path, const ParticipantList& list);
// Replaced atomically; a name too long for a 16-bit length is refused.
IoResult writeParticipantList(const fs::path& path, const ParticipantList& list);
// Rewrites only the first 16 bits (the heat counter) in place.
IoResult writeHeatCounter(const fs::path& path, std::int16_t heatsDone);

// "PROVA.PAR" for practice, else the series' ".PAR".
fs::path participantFile(const fs::path& eventDir, ProgrammeType programmeType, int seriesNumber);

// `LlistaParticipants` of a series: the list of the series file ("PROVA.PAR" for
// practice) padded with empty names up to the number of lanes.
std::expected<ParticipantList, std::string> loadSeriesParticipants(const fs::path& eventDir,
                                                                   ProgrammeType programmeType,
                                                                   int seriesNumber, int lanes);

} // namespace cronovolta
