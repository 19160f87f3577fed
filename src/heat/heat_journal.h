#pragma once

#include "storage/file_io.h"
#include "storage/lap_record.h"
#include "storage/platform.h"

#include <expected>
#include <string>
#include <string_view>
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

// A journal of a heat that was not stored (or of an interrupted heat that was not recovered)
// is kept in the event folder under a name of its own, never over another:
// "VLTAVLT.CRS001.M003.101502" (series file name, heat, start as hhmmss), with "-2", "-3"...
// added when that name is taken. Its adjustments "VLTAVLT.AJS", when present, go with it as
// the same name plus ".AJS".
std::string keptJournalName(const fs::path& folder, std::string_view series, int heat, float start);

// Keeps `journal` by renaming it, which needs no space on the disk; returns the kept name
// (a file name of the journal's folder) or why it could not be renamed.
std::expected<std::string, std::string> keepJournal(const fs::path& journal,
                                                    std::string_view series, int heat, float start);

// Keeps a journal that is not whole on the disk by writing `records` under a kept name.
std::expected<std::string, std::string> keepJournalRecords(const fs::path& folder,
                                                           std::string_view series, int heat,
                                                           const std::vector<LapRecord>& records);

} // namespace cronovolta
