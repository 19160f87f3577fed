#include "storage/lap_record.h"

#include "storage/record_io.h"

namespace cronovolta {

std::string encodeLapRecord(const LapRecord& record) {
    ByteWriter w;
    w.i16(record.lane);
    w.i16(record.participant);
    w.f32(record.crossingTime);
    w.f32(record.lapTime);
    w.i16(record.fastestFlag);
    w.i16(record.laps);
    w.f32(record.splitKind);
    w.f32(record.splitValue);
    return w.take();
}

LapRecord decodeLapRecord(std::string_view bytes) {
    ByteReader r(bytes);
    LapRecord record;
    record.lane = r.i16();
    record.participant = r.i16();
    record.crossingTime = r.f32();
    record.lapTime = r.f32();
    record.fastestFlag = r.i16();
    record.laps = r.i16();
    record.splitKind = r.f32();
    record.splitValue = r.f32();
    return record;
}

LapFile decodeLapFile(std::string_view bytes) {
    LapFile file;
    std::size_t whole = bytes.size() / kLapRecordSize;
    file.records.reserve(whole);
    for (std::size_t i = 0; i < whole; ++i) {
        file.records.push_back(decodeLapRecord(bytes.substr(i * kLapRecordSize, kLapRecordSize)));
    }
    file.partialTail = bytes.size() % kLapRecordSize != 0;
    return file;
}

std::string encodeLapFile(const std::vector<LapRecord>& records) {
    std::string out;
    out.reserve(records.size() * kLapRecordSize);
    for (const auto& record : records) {
        out += encodeLapRecord(record);
    }
    return out;
}

std::expected<LapFile, std::string> readLapFile(const fs::path& path) {
    return readOptionalDecoded(path, decodeLapFile);
}

IoResult writeLapRecord(const fs::path& path, std::size_t recordNumber, const LapRecord& record,
                        bool sync) {
    return writeRecord(path, recordNumber, kLapRecordSize, encodeLapRecord(record), sync);
}

IoResult appendLapRecord(const fs::path& path, const LapRecord& record, bool sync) {
    std::error_code ec;
    std::uintmax_t size = fs::exists(path, ec) ? fs::file_size(path, ec) : 0;
    if (ec) {
        return std::unexpected(describeIoError(path, reasonOf(ec)));
    }
    // A record torn by a crash is overwritten rather than shifting every later record.
    return writeAt(path, size / kLapRecordSize * kLapRecordSize, encodeLapRecord(record), sync);
}

IoResult writeLapFile(const fs::path& path, const std::vector<LapRecord>& records) {
    return writeFileAtomic(path, encodeLapFile(records));
}

} // namespace cronovolta
