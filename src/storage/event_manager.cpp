#include "storage/event_manager.h"

#include "storage/config_pista.h"
#include "storage/record_io.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace cronovolta {
namespace {

constexpr std::array<std::string_view, 4> kSeriesExtensions = {".PAR", ".DAD", ".VAV", ".PEN"};

EventError ioError(std::string message) {
    return {EventError::Io, std::move(message)};
}

std::string_view trimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool hasControlCharacter(std::string_view text) {
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            return true;
        }
    }
    return false;
}

// A name beside `path` that nothing uses, to park what is being deleted until the
// renumbering behind it has succeeded.
fs::path asideName(const fs::path& path) {
    std::error_code ec;
    fs::path aside = path;
    aside += ".deleted";
    for (int i = 1; fs::exists(aside, ec); ++i) {
        aside = path;
        aside += ".deleted" + std::to_string(i);
    }
    return aside;
}

// Renames that can be undone, last first, when a later step fails.
class RenameLog {
public:
    explicit RenameLog(const EventManager::RenameFunction& rename) : m_rename(rename) {}

    // Never renames over an existing file or folder.
    bool move(const fs::path& from, const fs::path& to, std::string& error) {
        std::error_code ec;
        if (fs::exists(to, ec)) {
            error = to.filename().string() + " already exists";
            return false;
        }
        m_rename(from, to, ec);
        if (ec) {
            error = ec.message();
            return false;
        }
        m_done.emplace_back(from, to);
        return true;
    }

    // "" when everything is back in place.
    std::string undo() {
        std::string failures;
        for (auto it = m_done.rbegin(); it != m_done.rend(); ++it) {
            std::error_code ec;
            m_rename(it->second, it->first, ec);
            if (ec) {
                failures += "; " + it->first.filename().string() + " is still named " +
                            it->second.filename().string();
            }
        }
        m_done.clear();
        return failures;
    }

private:
    const EventManager::RenameFunction& m_rename;
    std::vector<std::pair<fs::path, fs::path>> m_done;
};

EventError renameFailure(RenameLog& log, const fs::path& from, const fs::path& to,
                         const std::string& reason, std::string_view whatKept) {
    std::string message = "cannot rename " + from.filename().string() + " to " +
                          to.filename().string() + " (" + reason + "); " + std::string(whatKept);
    message += log.undo();
    return {EventError::RenameFailed, message};
}

std::string removeAside(const fs::path& aside) {
    std::error_code ec;
    fs::remove_all(aside, ec);
    return ec ? "could not remove " + aside.string() + ": " + ec.message() : "";
}

} // namespace

EventManager::EventManager(fs::path dataDir, RenameFunction rename)
    : m_dataDir(std::move(dataDir)), m_rename(std::move(rename)) {
    if (!m_rename) {
        m_rename = [](const fs::path& from, const fs::path& to, std::error_code& ec) {
            fs::rename(from, to, ec);
        };
    }
}

EventResult<CatalogEntry> EventManager::checkEventText(std::string_view name,
                                                       std::string_view date) {
    CatalogEntry entry{std::string(trimBlanks(name)), std::string(trimBlanks(date))};
    if (entry.name.empty()) {
        return std::unexpected(EventError{EventError::MissingName, "Falta el nom de la prova"});
    }
    if (!fitsString16(entry.name) || !fitsString16(entry.date)) {
        return std::unexpected(EventError{
            EventError::InvalidText, "the event name and date can have at most 32767 characters"});
    }
    if (hasControlCharacter(entry.name) || hasControlCharacter(entry.date)) {
        return std::unexpected(EventError{
            EventError::InvalidText, "the event name and date cannot hold control characters"});
    }
    // The files keep one Windows-1252 byte per character; anything else would come back as
    // "?" without a word.
    if (!fitsWindows1252(entry.name) || !fitsWindows1252(entry.date)) {
        return std::unexpected(EventError{EventError::InvalidText,
                                          "the event name and date can only hold characters of "
                                          "the Western European character set (Windows-1252)"});
    }
    return entry;
}

int EventManager::initialSeriesCount(int lanes) const {
    if (lanes < 1 || lanes > MaxPistes) {
        return 1;
    }
    std::error_code ec;
    return fs::exists(m_dataDir / distributionTableName(lanes), ec) ? 0 : 1;
}

EventResult<int> EventManager::createEvent(std::string_view name, std::string_view date) {
    auto entry = checkEventText(name, date);
    if (!entry) {
        return std::unexpected(entry.error());
    }
    std::error_code ec;
    fs::path track = m_dataDir / kTrackFileName;
    if (!fs::exists(track, ec)) {
        return std::unexpected(EventError{EventError::NoTrack,
                                          "the data folder has no track configuration " +
                                              std::string(kTrackFileName) + " to give the event"});
    }
    auto trackBytes = readFileBytes(track);
    if (!trackBytes) {
        return std::unexpected(ioError(trackBytes.error()));
    }

    int event = eventCount() + 1;
    fs::path folder = eventFolder(m_dataDir, event);
    if (!fs::create_directory(folder, ec)) {
        return std::unexpected(ioError("cannot create the folder " + folder.string() + ": " +
                                       (ec ? ec.message() : "something of that name exists")));
    }
    IoResult written = writeFileAtomic(folder / kTrackFileName, *trackBytes);
    if (written) {
        // The lane count as the copy holds it: a count above the maximum has no table.
        auto config = loadConfigPista(folder / kTrackFileName);
        int lanes = config ? config->storedLanes : 0;
        auto count = static_cast<std::int16_t>(initialSeriesCount(lanes));
        written = writeNewCapcaleraProva(folder / kEventHeaderFileName,
                                         {{count, count, count, count}, entry->name, entry->date});
    }
    if (!written) {
        fs::remove_all(folder, ec);
        return std::unexpected(ioError(written.error()));
    }
    if (auto catalog = updateCatalogAfterCreate(event, *entry); !catalog) {
        return std::unexpected(catalog.error());
    }
    return event;
}

EventResult<void> EventManager::updateCatalogAfterCreate(int event, const CatalogEntry& entry) {
    fs::path file = m_dataDir / kCatalogFileName;
    auto catalog = readCatalog(file);
    // Append only to a sound catalogue that lists exactly the events before this one;
    // anything else is rebuilt from the folders.
    bool inStep = catalog && !catalog->truncated &&
                  catalog->entries.size() == static_cast<std::size_t>(event - 1) &&
                  eventCount() == event;
    if (inStep && appendCatalogEntry(file, entry)) {
        return {};
    }
    if (auto rebuilt = rebuildCatalog(m_dataDir); !rebuilt) {
        return std::unexpected(
            ioError("event " + std::to_string(event) +
                    " was created, but the catalogue could not be updated: " + rebuilt.error()));
    }
    return {};
}

EventResult<fs::path> EventManager::existingEvent(int event) const {
    if (event < 1 || event > eventCount()) {
        return std::unexpected(
            EventError{EventError::NoSuchEvent, "there is no event " + std::to_string(event)});
    }
    return eventFolder(m_dataDir, event);
}

EventResult<CapcaleraProva> EventManager::readCounts(const fs::path& eventDir) const {
    fs::path file = eventDir / kEventHeaderFileName;
    auto header = readCapcaleraProva(file);
    if (!header) {
        return std::unexpected(ioError(header.error()));
    }
    std::error_code ec;
    if (fs::file_size(file, ec) < 8) {
        return std::unexpected(ioError("the series counts of " + file.string() + " are missing"));
    }
    return header->header;
}

EventResult<void> EventManager::modifyEvent(int event, std::string_view name,
                                            std::string_view date) {
    auto entry = checkEventText(name, date);
    if (!entry) {
        return std::unexpected(entry.error());
    }
    auto folder = existingEvent(event);
    if (!folder) {
        return std::unexpected(folder.error());
    }
    fs::path file = *folder / kEventHeaderFileName;
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        return std::unexpected(ioError("the event header " + file.string() + " is missing"));
    }
    fs::remove(m_dataDir / kCatalogFileName, ec);
    IoResult written = writeEventNameAndDate(file, entry->name, entry->date);
    auto rebuilt = rebuildCatalog(m_dataDir);
    if (!written) {
        return std::unexpected(ioError(written.error()));
    }
    if (!rebuilt) {
        return std::unexpected(ioError(rebuilt.error()));
    }
    return {};
}

EventResult<std::string> EventManager::deleteEvent(int event) {
    auto folder = existingEvent(event);
    if (!folder) {
        return std::unexpected(folder.error());
    }
    int events = eventCount();
    std::error_code ec;
    fs::remove(m_dataDir / kCatalogFileName, ec);

    RenameLog log(m_rename);
    std::string reason;
    fs::path aside = asideName(*folder);
    if (!log.move(*folder, aside, reason)) {
        rebuildCatalog(m_dataDir);
        return std::unexpected(
            renameFailure(log, *folder, aside, reason, "the event was not deleted"));
    }
    for (int k = event + 1; k <= events; ++k) {
        fs::path from = eventFolder(m_dataDir, k);
        fs::path to = eventFolder(m_dataDir, k - 1);
        if (!log.move(from, to, reason)) {
            EventError error = renameFailure(log, from, to, reason, "the event was not deleted");
            rebuildCatalog(m_dataDir);
            return std::unexpected(error);
        }
    }
    std::string warning = removeAside(aside);
    if (auto rebuilt = rebuildCatalog(m_dataDir); !rebuilt) {
        warning += (warning.empty() ? "" : "; ") + rebuilt.error();
    }
    return warning;
}

EventResult<EventManager::SeriesEvent> EventManager::seriesEvent(int event, int programa) const {
    if (programa < kFreePractice || programa > kRace) {
        return std::unexpected(EventError{EventError::NoSuchSeries,
                                          "only programme types 1 to 4 have series of their own"});
    }
    auto folder = existingEvent(event);
    if (!folder) {
        return std::unexpected(folder.error());
    }
    auto header = readCounts(*folder);
    if (!header) {
        return std::unexpected(header.error());
    }
    return SeriesEvent{*folder, *header};
}

EventResult<int> EventManager::addSeries(int event, int programa) {
    auto target = seriesEvent(event, programa);
    if (!target) {
        return std::unexpected(target.error());
    }
    const auto& [folder, header] = *target;
    int count = std::max<int>(header.seriesCounts[static_cast<std::size_t>(programa - 1)], 0);
    if (count >= 32767) {
        return std::unexpected(
            EventError{EventError::NoSuchSeries, "this programme has no room for more series"});
    }
    auto next = static_cast<std::int16_t>(count + 1);
    if (auto written = writeSeriesCount(folder / kEventHeaderFileName, programa, next); !written) {
        return std::unexpected(ioError(written.error()));
    }
    return next;
}

EventResult<std::string> EventManager::deleteSeries(int event, int programa, int serie) {
    auto target = seriesEvent(event, programa);
    if (!target) {
        return std::unexpected(target.error());
    }
    const fs::path& folder = target->folder;
    auto counts = target->header.seriesCounts;
    auto& count = counts[static_cast<std::size_t>(programa - 1)];
    if (serie < 1 || serie > count) {
        return std::unexpected(EventError{EventError::NoSuchSeries,
                                          "event " + std::to_string(event) + " has no series " +
                                              seriesBaseName(programa, serie)});
    }

    RenameLog log(m_rename);
    std::string reason;
    std::error_code ec;
    std::vector<fs::path> asides;
    for (auto ext : kSeriesExtensions) {
        fs::path file = folder / seriesFileName(programa, serie, ext);
        if (fs::exists(file, ec)) {
            fs::path aside = asideName(file);
            if (!log.move(file, aside, reason)) {
                return std::unexpected(
                    renameFailure(log, file, aside, reason, "the series was not deleted"));
            }
            asides.push_back(aside);
        }
    }
    for (int s = serie + 1; s <= count; ++s) {
        for (auto ext : kSeriesExtensions) {
            fs::path from = folder / seriesFileName(programa, s, ext);
            fs::path to = folder / seriesFileName(programa, s - 1, ext);
            if (fs::exists(from, ec) && !log.move(from, to, reason)) {
                return std::unexpected(
                    renameFailure(log, from, to, reason, "the series was not deleted"));
            }
        }
    }
    --count;
    if (auto written = writeSeriesCounts(folder / kEventHeaderFileName, counts); !written) {
        std::string failures = log.undo();
        return std::unexpected(
            ioError(written.error() + "; the series was not deleted" + failures));
    }
    std::string warning;
    for (const auto& aside : asides) {
        std::string failed = removeAside(aside);
        if (!failed.empty()) {
            warning += (warning.empty() ? "" : "; ") + failed;
        }
    }
    return warning;
}

} // namespace cronovolta
