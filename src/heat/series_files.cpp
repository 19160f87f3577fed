#include "heat/series_files.h"

#include <algorithm>

namespace cronovolta {
namespace {

bool isLapHeader(const LapRecord& r, int heat) {
    return r.lane == 0 && r.participant == 0 && r.lapTime == static_cast<float>(heat);
}

} // namespace

std::optional<std::size_t> lapBlockStart(const std::vector<LapRecord>& records, int heat) {
    if (heat <= 1) {
        return 0;
    }
    // Follow the chain of headers: an end record whose duration happens to equal a heat
    // number must not be taken for a header.
    std::size_t pos = 0;
    for (int h = 1; pos < records.size() && isLapHeader(records[pos], h); ++h) {
        int count = records[pos].laps;
        if (count < 1) {
            break;
        }
        std::size_t next = pos + static_cast<std::size_t>(count) + 1;
        if (next > records.size()) {
            break; // a count beyond the file is damage, not a block
        }
        if (h == heat - 1) {
            return next;
        }
        pos = next;
    }
    // A damaged chain: the first header of the previous heat whose count ends on its end
    // record, as a plain search finds it.
    for (std::size_t i = 0; i < records.size(); ++i) {
        std::size_t end = i + static_cast<std::size_t>(std::max<int>(records[i].laps, 0));
        if (isLapHeader(records[i], heat - 1) && records[i].laps >= 1 && end < records.size() &&
            records[end].lane == 0) {
            return end + 1;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> resultHeaderIndex(const std::vector<HeatResultRecord>& records,
                                             int heat) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].participant == 0 && records[i].lane == heat) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<HeatResultRecord>>
resultBlock(const std::vector<HeatResultRecord>& records, int heat) {
    auto header = resultHeaderIndex(records, heat);
    if (!header) {
        return std::nullopt;
    }
    std::vector<HeatResultRecord> out;
    int count = records[*header].adjustments;
    for (std::size_t i = *header + 1; i < records.size() && static_cast<int>(out.size()) < count;
         ++i) {
        out.push_back(records[i]);
    }
    return out;
}

IoResult writeLapBlock(const fs::path& path, int heat, const std::vector<LapRecord>& journal) {
    std::size_t start = 0;
    if (heat > 1) {
        auto file = readLapFile(path);
        if (!file) {
            return std::unexpected(file.error());
        }
        auto found = lapBlockStart(file->records, heat);
        start = found ? *found : file->records.size();
    }
    return writeAt(path, start * kLapRecordSize, encodeLapFile(journal));
}

IoResult writeResultBlock(const fs::path& path, int heat, float heatStart,
                          const std::vector<HeatResultRecord>& rows) {
    std::vector<HeatResultRecord> block;
    block.reserve(rows.size() + 1);
    HeatResultRecord header;
    header.crossingTime = heatStart;
    header.lane = static_cast<std::int16_t>(heat);
    header.adjustments = static_cast<std::int16_t>(rows.size());
    block.push_back(header);
    block.insert(block.end(), rows.begin(), rows.end());
    if (heat <= 1) {
        return writeHeatResultFile(path, block);
    }
    auto file = readHeatResultFile(path);
    if (!file) {
        return std::unexpected(file.error());
    }
    std::size_t start = file->records.size();
    if (auto previous = resultHeaderIndex(file->records, heat - 1)) {
        int count = std::max<int>(file->records[*previous].adjustments, 0);
        start = std::min(*previous + 1 + static_cast<std::size_t>(count), file->records.size());
    }
    return writeAt(path, start * kHeatResultRecordSize, encodeHeatResultFile(block));
}

} // namespace cronovolta
