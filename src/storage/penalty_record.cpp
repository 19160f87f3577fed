#include "storage/penalty_record.h"

#include "storage/record_io.h"

namespace cronovolta {

std::string encodePenalties(const std::vector<PenaltyRecord>& records) {
    ByteWriter w;
    for (const auto& record : records) {
        w.i16(record.participant);
        w.f32(record.laps);
        w.string16(record.reasons);
    }
    return w.take();
}

PenaltyFile decodePenalties(std::string_view bytes) {
    PenaltyFile file;
    ByteReader r(bytes);
    while (!r.atEnd() && file.records.size() < kMaxPenaltyRecords) {
        PenaltyRecord record;
        record.participant = r.i16();
        record.laps = r.f32();
        record.reasons = r.string16();
        if (!r.ok()) {
            file.truncated = true;
            break;
        }
        file.records.push_back(std::move(record));
    }
    file.leftOut = r.remaining();
    return file;
}

std::expected<PenaltyFile, std::string> readPenalties(const fs::path& path) {
    return readOptionalBounded(path, kMaxPenaltyFileBytes, decodePenalties);
}

IoResult writePenalties(const fs::path& path, const std::vector<PenaltyRecord>& records) {
    for (const auto& record : records) {
        if (!fitsString16(record.reasons)) {
            return std::unexpected(describeIoError(path, "the reasons are too long to be stored"));
        }
    }
    return writeFileAtomic(path, encodePenalties(records));
}

} // namespace cronovolta
