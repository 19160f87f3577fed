#include "storage/event_manager.h"

#include "storage/record_io.h"
#include "storage/rename_journal.h"
#include "storage/text_encoding.h"
#include "storage/track_config.h"

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

} // namespace

EventManager::EventManager(fs::path dataDir, RenameFunction rename, StepGate gate)
    : m_dataDir(std::move(dataDir)), m_rename(std::move(rename)), m_gate(std::move(gate)) {}

EventResult<std::string> EventManager::runDeletion(const std::vector<RenameStep>& plan,
                                                   std::string_view whatKept) {
    RenameOutcome outcome = RenameJournal(m_dataDir, m_rename, m_gate).run(plan);
    if (!outcome.done) {
        return std::unexpected(
            EventError{EventError::RenameFailed, outcome.problem + "; " + std::string(whatKept)});
    }
    return outcome.problem;
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
    if (lanes < 1 || lanes > kMaxLanes) {
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
                                       (ec ? reasonOf(ec) : "something of that name exists")));
    }
    IoResult written = writeFileAtomic(folder / kTrackFileName, *trackBytes);
    if (written) {
        // The lane count as the copy holds it: a count above the maximum has no table.
        auto config = loadTrackConfig(folder / kTrackFileName);
        int lanes = config ? config->storedLanes : 0;
        auto count = static_cast<std::int16_t>(initialSeriesCount(lanes));
        written = writeNewEventHeader(folder / kEventHeaderFileName,
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

EventResult<EventHeader> EventManager::readCounts(const fs::path& eventDir) const {
    fs::path file = eventDir / kEventHeaderFileName;
    auto header = readEventHeader(file);
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

    // The event is parked aside until the folders behind it have moved down.
    const fs::path aside = asideName(*folder).filename();
    std::vector<RenameStep> plan{{RenameStep::Rename, folder->filename(), aside, {}}};
    for (int k = event + 1; k <= events; ++k) {
        plan.push_back({RenameStep::Rename, eventFolderName(k), eventFolderName(k - 1), {}});
    }
    plan.push_back({RenameStep::Remove, aside, {}, {}});
    auto deleted = runDeletion(plan, "the event was not deleted");
    auto rebuilt = rebuildCatalog(m_dataDir);
    if (deleted && !rebuilt) {
        *deleted += (deleted->empty() ? "" : "; ") + rebuilt.error();
    }
    return deleted;
}

EventResult<EventManager::SeriesEvent>
EventManager::seriesEvent(int event, ProgrammeType programmeType) const {
    if (programmeType < ProgrammeType::FreePractice || programmeType > ProgrammeType::Race) {
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

EventResult<int> EventManager::addSeries(int event, ProgrammeType programmeType) {
    auto target = seriesEvent(event, programmeType);
    if (!target) {
        return std::unexpected(target.error());
    }
    const auto& [folder, header] = *target;
    int count =
        std::max<int>(header.seriesCounts[static_cast<std::size_t>(index(programmeType) - 1)], 0);
    if (count >= 32767) {
        return std::unexpected(
            EventError{EventError::NoSuchSeries, "this programme has no room for more series"});
    }
    auto next = static_cast<std::int16_t>(count + 1);
    if (auto written = writeSeriesCount(folder / kEventHeaderFileName, programmeType, next);
        !written) {
        return std::unexpected(ioError(written.error()));
    }
    return next;
}

EventResult<std::string> EventManager::deleteSeries(int event, ProgrammeType programmeType,
                                                    int seriesNumber) {
    auto target = seriesEvent(event, programmeType);
    if (!target) {
        return std::unexpected(target.error());
    }
    const fs::path& folder = target->folder;
    auto counts = target->header.seriesCounts;
    auto& count = counts[static_cast<std::size_t>(index(programmeType) - 1)];
    if (seriesNumber < 1 || seriesNumber > count) {
        return std::unexpected(EventError{EventError::NoSuchSeries,
                                          "event " + std::to_string(event) + " has no series " +
                                              seriesBaseName(programmeType, seriesNumber)});
    }

    const fs::path eventDir = folder.filename();
    std::vector<RenameStep> plan;
    std::vector<fs::path> asides;
    std::error_code ec;
    for (auto ext : kSeriesExtensions) {
        fs::path file = folder / seriesFileName(programmeType, seriesNumber, ext);
        if (fs::exists(file, ec)) {
            asides.push_back(eventDir / asideName(file).filename());
            plan.push_back({RenameStep::Rename, eventDir / file.filename(), asides.back(), {}});
        }
    }
    for (int s = seriesNumber + 1; s <= count; ++s) {
        for (auto ext : kSeriesExtensions) {
            const std::string from = seriesFileName(programmeType, s, ext);
            if (fs::exists(folder / from, ec)) {
                plan.push_back({RenameStep::Rename,
                                eventDir / from,
                                eventDir / seriesFileName(programmeType, s - 1, ext),
                                {}});
            }
        }
    }
    --count;
    plan.push_back({RenameStep::WriteCounts, eventDir / kEventHeaderFileName, {}, counts});
    for (const auto& aside : asides) {
        plan.push_back({RenameStep::Remove, aside, {}, {}});
    }
    return runDeletion(plan, "the series was not deleted");
}

std::optional<RenameOutcome> EventManager::finishInterruptedDeletion() {
    auto outcome = RenameJournal(m_dataDir, m_rename, m_gate).finishInterrupted();
    if (!outcome) {
        return std::nullopt;
    }
    std::error_code ec;
    fs::remove(m_dataDir / kCatalogFileName, ec);
    if (auto rebuilt = rebuildCatalog(m_dataDir); !rebuilt) {
        outcome->problem += (outcome->problem.empty() ? "" : "; ") + rebuilt.error();
    }
    return outcome;
}

std::string describeInterruptedDeletion(const RenameOutcome& outcome) {
    std::string note = outcome.done ? "a deletion stopped half-way has been finished"
                                    : "a deletion stopped half-way has been undone";
    return outcome.problem.empty() ? note : note + ": " + outcome.problem;
}

} // namespace cronovolta
