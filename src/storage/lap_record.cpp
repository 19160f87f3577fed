#include "storage/lap_record.h"

#include "storage/record_io.h"
#include "texts/language_tables.h"

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
    file.partialBytes = bytes.size() % kLapRecordSize;
    file.partialTail = file.partialBytes != 0;
    return file;
}

std::string describeSkippedLapBytes(const fs::path& file, const LapFile& read, int language) {
    if (read.skippedBytes() == 0) {
        return {};
    }
    const std::string name = file.filename().string();
    const std::string bytes = std::to_string(read.skippedBytes());
    if (language == kLanguageCastilian) {
        return "El archivo " + name + " tiene " + bytes +
               " bytes que no se leen (un registro incompleto o más vueltas de las que caben): "
               "se usan las vueltas leídas.";
    }
    return "El fitxer " + name + " té " + bytes +
           " bytes que no es llegeixen (un registre incomplet o més voltes de les que hi "
           "caben): es fan servir les voltes llegides.";
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
    return readOptionalBounded(path, kMaxLapFileBytes, decodeLapFile);
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
