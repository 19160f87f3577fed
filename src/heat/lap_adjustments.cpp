#include "heat/lap_adjustments.h"

#include "storage/record_io.h"

#include <cmath>
#include <system_error>

namespace cronovolta {

std::string encodeLapAdjustment(const LapAdjustment& a) {
    ByteWriter w;
    w.i16(a.heat);
    w.i16(a.lane);
    w.i16(a.amount);
    w.i16(0);
    w.f32(a.heatStart);
    w.f32(static_cast<float>(a.afterRecords));
    return w.take();
}

std::vector<LapAdjustment> decodeLapAdjustments(std::string_view bytes) {
    std::vector<LapAdjustment> out;
    ByteReader r(bytes);
    while (r.remaining() >= kLapAdjustmentSize) {
        LapAdjustment a;
        a.heat = r.i16();
        a.lane = r.i16();
        a.amount = r.i16();
        r.skip(2);
        a.heatStart = r.f32();
        float after = r.f32();
        // A count no journal can hold names no place among the laps.
        a.afterRecords = std::isfinite(after) && after >= 0.0f && after < 1e7f
                             ? static_cast<std::int32_t>(after)
                             : -1;
        out.push_back(a);
    }
    return out;
}

void AdjustmentJournal::start(const fs::path& path) {
    m_path = path;
    m_records = 0;
    remove();
}

std::expected<std::vector<LapAdjustment>, std::string>
AdjustmentJournal::resume(const fs::path& path) {
    m_path = path;
    m_records = 0;
    auto bytes = readOptionalFile(path);
    if (!bytes) {
        return std::unexpected(bytes.error());
    }
    auto adjustments = decodeLapAdjustments(*bytes);
    m_records = adjustments.size();
    return adjustments;
}

IoResult AdjustmentJournal::append(const LapAdjustment& adjustment) {
    if (m_path.empty()) {
        return std::unexpected(describeIoError(m_path, "the adjustment journal is not open"));
    }
    // Not flushed: like the lap journal's records, it survives a killed process.
    auto written = writeRecord(m_path, m_records + 1, kLapAdjustmentSize,
                               encodeLapAdjustment(adjustment), false);
    if (written) {
        ++m_records;
    }
    return written;
}

void AdjustmentJournal::remove() {
    std::error_code ec;
    if (!m_path.empty()) {
        fs::remove(m_path, ec);
    }
    m_records = 0;
}

} // namespace cronovolta
