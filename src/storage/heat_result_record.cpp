#include "storage/heat_result_record.h"

#include "storage/record_io.h"

#include <algorithm>

namespace cronovolta {

std::string encodeHeatResultRecord(const HeatResultRecord& record) {
    ByteWriter w;
    w.i16(record.participant);
    w.f32(record.seriesLaps);
    w.f32(record.crossingTime);
    w.f32(record.fastestLap);
    w.i16(record.fastestLane);
    w.i16(record.lastLaneRank);
    w.i16(record.lane);
    w.f32(record.heatLaps);
    w.i16(record.adjustments);
    w.f32(record.lastLap);
    w.f32(record.heatFastestLap);
    w.f32(record.heatRank);
    w.f32(record.sortKey1);
    w.f32(record.sortKey2);
    w.zeros(kHeatResultRecordSize - kHeatResultUsedBytes);
    return w.take();
}

HeatResultRecord decodeHeatResultRecord(std::string_view bytes) {
    ByteReader r(bytes);
    HeatResultRecord record;
    record.participant = r.i16();
    record.seriesLaps = r.f32();
    record.crossingTime = r.f32();
    record.fastestLap = r.f32();
    record.fastestLane = r.i16();
    record.lastLaneRank = r.i16();
    record.lane = r.i16();
    record.heatLaps = r.f32();
    record.adjustments = r.i16();
    record.lastLap = r.f32();
    record.heatFastestLap = r.f32();
    record.heatRank = r.f32();
    record.sortKey1 = r.f32();
    record.sortKey2 = r.f32();
    return record;
}

HeatResultFile decodeHeatResultFile(std::string_view bytes) {
    HeatResultFile file;
    file.records.reserve(bytes.size() / kHeatResultRecordSize + 1);
    std::size_t pos = 0;
    // The last record may stop after its 46 used bytes: the unused tail of a record
    // written by record number never reaches the disk when it is the last one.
    while (bytes.size() - pos >= kHeatResultUsedBytes) {
        file.records.push_back(decodeHeatResultRecord(bytes.substr(pos, kHeatResultUsedBytes)));
        pos += std::min(kHeatResultRecordSize, bytes.size() - pos);
    }
    file.partialTail = pos < bytes.size();
    return file;
}

std::string encodeHeatResultFile(const std::vector<HeatResultRecord>& records) {
    std::string out;
    out.reserve(records.size() * kHeatResultRecordSize);
    for (const auto& record : records) {
        out += encodeHeatResultRecord(record);
    }
    return out;
}

std::expected<HeatResultFile, std::string> readHeatResultFile(const fs::path& path) {
    return readOptionalBounded(path, kMaxHeatResultFileBytes, decodeHeatResultFile);
}

IoResult writeHeatResultRecord(const fs::path& path, std::size_t recordNumber,
                               const HeatResultRecord& record, bool sync) {
    return writeRecord(path, recordNumber, kHeatResultRecordSize, encodeHeatResultRecord(record),
                       sync);
}

IoResult writeHeatResultFile(const fs::path& path, const std::vector<HeatResultRecord>& records) {
    return writeFileAtomic(path, encodeHeatResultFile(records));
}

} // namespace cronovolta
