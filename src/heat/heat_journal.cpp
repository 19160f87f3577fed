#include "heat/heat_journal.h"

#include "heat/lap_adjustments.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace cronovolta {
namespace {

bool nameTaken(const fs::path& path) {
    std::error_code ec;
    // A dangling link, or a name that cannot be looked at, counts as taken too: nothing is
    // ever renamed over a name in use.
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

// A kept name is free when neither it nor its adjustments' name is in use.
bool keptNameFree(const fs::path& folder, const std::string& name) {
    return !nameTaken(folder / name) && !nameTaken(folder / (name + ".AJS"));
}

void keepAdjustments(const fs::path& folder, const std::string& name) {
    const fs::path adjustments = folder / kAdjustmentJournalName;
    std::error_code ec;
    if (fs::is_regular_file(fs::symlink_status(adjustments, ec))) {
        fs::rename(adjustments, folder / (name + ".AJS"), ec); // best effort: the laps matter
    }
}

} // namespace

std::string keptJournalName(const fs::path& folder, std::string_view series, int heat,
                            float start) {
    long seconds = std::isfinite(start) ? std::lround(std::floor(start)) % 86400 : 0;
    if (seconds < 0) {
        seconds += 86400;
    }
    char text[64];
    std::snprintf(text, sizeof text, ".M%03d.%02ld%02ld%02ld", std::max(heat, 0), seconds / 3600,
                  (seconds / 60) % 60, seconds % 60);
    const std::string base = "VLTAVLT." + std::string(series) + text;
    std::string name = base;
    for (int n = 2; !keptNameFree(folder, name) && n < 100000; ++n) {
        name = base + "-" + std::to_string(n);
    }
    return name;
}

std::expected<std::string, std::string>
keepJournal(const fs::path& journal, std::string_view series, int heat, float start) {
    const fs::path folder = journal.parent_path();
    const std::string name = keptJournalName(folder, series, heat, start);
    if (std::error_code ec = platform::replaceFile(journal, folder / name)) {
        return std::unexpected("cannot rename " + journal.string() + " to " + name + ": " +
                               reasonOf(ec));
    }
    keepAdjustments(folder, name);
    return name;
}

std::expected<std::string, std::string> keepJournalRecords(const fs::path& folder,
                                                           std::string_view series, int heat,
                                                           const std::vector<LapRecord>& records) {
    const float start = records.empty() ? 0.0f : records.front().crossingTime;
    const std::string name = keptJournalName(folder, series, heat, start);
    if (auto written = writeFileAtomic(folder / name, encodeLapFile(records)); !written) {
        return std::unexpected(written.error());
    }
    keepAdjustments(folder, name);
    return name;
}

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
