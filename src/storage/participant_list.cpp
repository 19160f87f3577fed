#include "storage/participant_list.h"

#include "storage/event_files.h"
#include "storage/record_io.h"
#include "storage/track_config.h"

#include <algorithm>

namespace cronovolta {

std::string encodeParticipantList(const ParticipantList& list) {
    ByteWriter w;
    w.i16(list.heatsDone);
    for (const auto& name : list.names) {
        w.string16(name);
    }
    return w.take();
}

ParticipantList decodeParticipantList(std::string_view bytes) {
    ParticipantList list;
    ByteReader r(bytes);
    list.heatsDone = r.i16();
    if (!r.ok()) {
        list.truncated = !bytes.empty();
        return list;
    }
    while (!r.atEnd() && list.names.size() < static_cast<std::size_t>(kMaxParticipants)) {
        std::string name = r.string16();
        if (!r.ok()) {
            list.truncated = true;
            break;
        }
        list.names.push_back(std::move(name));
    }
    list.leftOut = r.remaining();
    return list;
}

std::expected<ParticipantList, std::string> readParticipantList(const fs::path& path) {
    return readOptionalBounded(path, kMaxParticipantFileBytes, decodeParticipantList);
}

std::vector<std::string> participantListDamage(const fs::path& path, const ParticipantList& list) {
    std::vector<std::string> out;
    if (list.truncated) {
        out.push_back(path.filename().string() +
                      " ends inside a name; the names before it are kept");
    }
    if (list.leftOut > 0) {
        out.push_back(describeLeftOut(path, list.leftOut, "a list of 99 names"));
    }
    return out;
}

IoResult writeParticipantList(const fs::path& path, const ParticipantList& list) {
    for (const auto& name : list.names) {
        if (!fitsString16(name)) {
            return std::unexpected(describeIoError(path, "a name is too long to be stored"));
        }
    }
    return writeFileAtomic(path, encodeParticipantList(list));
}

IoResult writeHeatCounter(const fs::path& path, std::int16_t heatsDone) {
    ByteWriter w;
    w.i16(heatsDone);
    return writeAt(path, 0, w.bytes());
}

fs::path participantFile(const fs::path& eventDir, ProgrammeType programmeType, int seriesNumber) {
    if (programmeType == ProgrammeType::Practice) {
        return eventDir / "PROVA.PAR";
    }
    return eventDir / seriesFileName(programmeType, seriesNumber, ".PAR");
}

std::expected<ParticipantList, std::string> loadSeriesParticipants(const fs::path& eventDir,
                                                                   ProgrammeType programmeType,
                                                                   int seriesNumber, int lanes) {
    auto list = readParticipantList(participantFile(eventDir, programmeType, seriesNumber));
    if (!list) {
        return list;
    }
    // A corrupt lane count must not blow the list up.
    lanes = std::clamp(lanes, 0, kMaxLanes);
    if (static_cast<int>(list->names.size()) < lanes) {
        list->names.resize(static_cast<std::size_t>(lanes));
    }
    return list;
}

} // namespace cronovolta
