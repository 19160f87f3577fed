#include "heat/heat_journal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cronovolta {

HeatJournal::~HeatJournal() {
    close();
}

void HeatJournal::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

IoResult HeatJournal::writeAll(std::size_t offset, const std::string& bytes) {
    if (m_fd < 0) {
        return std::unexpected(describeIoError(m_path, "the journal is not open"));
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::unexpected(describeIoError(m_path, std::strerror(errno)));
        }
        done += static_cast<std::size_t>(n);
    }
    return {};
}

IoResult HeatJournal::create(const fs::path& path, const std::vector<LapRecord>& records) {
    close();
    m_path = path;
    m_records = records;
    std::string bytes = encodeLapFile(records);
    // Written beside and renamed over the old journal: a crash leaves one or the other.
    fs::path tmp = path;
    tmp += ".new";
    ::unlink(tmp.c_str()); // a leftover or planted name is replaced, never written through
    int fd = ::open(tmp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return std::unexpected(describeIoError(path, std::strerror(errno)));
    }
    m_fd = fd;
    auto written = writeAll(0, bytes);
    if (written && ::rename(tmp.c_str(), path.c_str()) != 0) {
        written = std::unexpected(describeIoError(path, std::strerror(errno)));
    }
    if (!written) {
        close();
        ::unlink(tmp.c_str());
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
    if (m_fd >= 0 && ::fdatasync(m_fd) != 0 && result) {
        result = std::unexpected(describeIoError(m_path, std::strerror(errno)));
    }
    close();
    return result;
}

} // namespace cronovolta
