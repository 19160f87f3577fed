#pragma once

#include "storage/file_io.h"
#include "storage/lap_record.h"
#include "storage/platform.h"

#include <string>
#include <vector>

namespace cronovolta {

// The running heat's lap journal "VLTAVLT.TMP". Every record goes to the file with one
// write on a file kept open: once the call returns the record is in the kernel and
// survives a killed process. The disk is flushed only at the end of the heat. A copy of
// the records stays in memory, so the heat's block of the lap file never depends on
// reading the journal back.
class HeatJournal {
public:
    HeatJournal() = default;
    ~HeatJournal();
    HeatJournal(const HeatJournal&) = delete;
    HeatJournal& operator=(const HeatJournal&) = delete;

    // Replaces the file with these records (the header first) and keeps it open.
    IoResult create(const fs::path& path, const std::vector<LapRecord>& records);
    IoResult append(const LapRecord& record);
    // Sets the header's record count, appends the end record, flushes and closes.
    IoResult finish(LapRecord end);
    void close();

    const std::vector<LapRecord>& records() const { return m_records; }
    int recordCount() const { return static_cast<int>(m_records.size()); }
    bool isOpen() const { return m_file.isOpen(); }
    const fs::path& path() const { return m_path; }

private:
    IoResult writeAll(std::size_t offset, const std::string& bytes);

    fs::path m_path;
    platform::File m_file;
    std::vector<LapRecord> m_records;
};

} // namespace cronovolta
