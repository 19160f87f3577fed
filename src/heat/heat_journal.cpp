#include "heat/heat_journal.h"

namespace cronovolta {

HeatJournal::~HeatJournal() {
    close();
}

void HeatJournal::close() {
    m_file.close();
}

IoResult HeatJournal::writeAll(std::size_t offset, const std::string& bytes) {
    if (!m_file.isOpen()) {
        return std::unexpected(describeIoError(m_path, "the journal is not open"));
    }
    if (std::error_code ec = m_file.writeAt(offset, bytes)) {
        return std::unexpected(describeIoError(m_path, reasonOf(ec)));
    }
    return {};
}

IoResult HeatJournal::create(const fs::path& path, const std::vector<LapRecord>& records) {
    close();
    m_path = path;
    m_records = records;
    std::string bytes = encodeLapFile(records);
    // Written beside and renamed over the old journal: a crash leaves one or the other.
    if (inLinkedEventFolder(path)) {
        return std::unexpected(describeIoError(path, kLinkedEventFolderRefusal));
    }
    fs::path tmp = path;
    tmp += ".new";
    std::error_code ignored;
    fs::remove(tmp, ignored); // a leftover or planted name is replaced, never written through
    auto file = platform::File::open(tmp, platform::Access::Truncate, {.refuseLinks = true});
    if (!file) {
        return std::unexpected(describeIoError(path, reasonOf(file.error())));
    }
    m_file = std::move(*file);
    auto written = writeAll(0, bytes);
    if (written) {
        if (std::error_code ec = platform::replaceFile(tmp, path)) {
            written = std::unexpected(describeIoError(path, reasonOf(ec)));
        }
    }
    if (!written) {
        close();
        std::error_code ignored;
        fs::remove(tmp, ignored);
    }
    return written;
}

IoResult HeatJournal::append(const LapRecord& record) {
    m_records.push_back(record);
    return writeAll((m_records.size() - 1) * kLapRecordSize, encodeLapRecord(record));
}

IoResult HeatJournal::finish(LapRecord end) {
    end.laps = static_cast<std::int16_t>(m_records.size());
    IoResult result;
    if (!m_records.empty()) {
        m_records.front().laps = end.laps;
        result = writeAll(0, encodeLapRecord(m_records.front()));
    }
    auto appended = append(end);
    if (result && !appended) {
        result = appended;
    }
    if (m_file.isOpen()) {
        if (std::error_code ec = m_file.sync(true); ec && result) {
            result = std::unexpected(describeIoError(m_path, reasonOf(ec)));
        }
    }
    close();
    return result;
}

} // namespace cronovolta
