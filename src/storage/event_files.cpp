#include "storage/event_files.h"

#include "storage/number_format.h"
#include "storage/record_io.h"

namespace cronovolta {

std::string_view seriesPrefix(ProgrammeType programmeType) {
    switch (programmeType) {
    case ProgrammeType::FreePractice:
        return "LLR";
    case ProgrammeType::OfficialPractice:
        return "OFC";
    case ProgrammeType::SuperPole:
        return "SPP";
    case ProgrammeType::Race:
        return "CRS";
    default:
        return "";
    }
}

std::string seriesBaseName(ProgrammeType programmeType, int seriesNumber) {
    if (programmeType == ProgrammeType::Practice) {
        return "PROVA";
    }
    return std::string(seriesPrefix(programmeType)) + formatNumber(seriesNumber, "000");
}

std::string seriesFileName(ProgrammeType programmeType, int seriesNumber, std::string_view ext) {
    return seriesBaseName(programmeType, seriesNumber) + std::string(ext);
}

std::string eventFolderName(int event) {
    return "PROVA" + formatNumber(event, "000");
}

fs::path eventFolder(const fs::path& dataDir, int event) {
    return dataDir / eventFolderName(event);
}

std::string distributionTableName(int lanes) {
    return "DISTRIBUCIONS" + formatNumber(lanes, "00") + ".TXT";
}

int countEventFolders(const fs::path& dataDir) {
    int n = 0;
    std::error_code ec;
    while (n < static_cast<int>(kMaxCatalogEntries) &&
           fs::is_directory(eventFolder(dataDir, n + 1), ec)) {
        ++n;
    }
    return n;
}

// --- Catalogue ---

std::string encodeCatalogEntry(const CatalogEntry& entry) {
    ByteWriter w;
    w.string16(entry.name);
    w.string16(entry.date);
    return w.take();
}

std::string encodeCatalog(const std::vector<CatalogEntry>& entries) {
    std::string out;
    for (const auto& entry : entries) {
        out += encodeCatalogEntry(entry);
    }
    return out;
}

Catalog decodeCatalog(std::string_view bytes) {
    Catalog catalog;
    ByteReader r(bytes);
    while (!r.atEnd() && catalog.entries.size() < kMaxCatalogEntries) {
        CatalogEntry entry;
        entry.name = r.string16();
        entry.date = r.string16();
        if (!r.ok()) {
            catalog.truncated = true;
            break;
        }
        catalog.entries.push_back(std::move(entry));
    }
    catalog.leftOut = r.remaining();
    return catalog;
}

std::expected<Catalog, std::string> readCatalog(const fs::path& file) {
    return readOptionalBounded(file, kMaxFileBytes, decodeCatalog);
}

IoResult appendCatalogEntry(const fs::path& file, const CatalogEntry& entry) {
    return appendToFile(file, encodeCatalogEntry(entry));
}

std::expected<CatalogRebuild, std::string> rebuildCatalog(const fs::path& dataDir) {
    CatalogRebuild result;
    int events = countEventFolders(dataDir);
    for (int n = 1; n <= events; ++n) {
        fs::path folder = eventFolder(dataDir, n);
        auto header = readEventHeader(folder / kEventHeaderFileName);
        if (!header) {
            result.problems.push_back(header.error());
            result.entries.push_back({eventFolderName(n), ""});
            continue;
        }
        CatalogEntry entry{header->header.name, header->header.date};
        if (!header->complete) {
            result.problems.push_back("the event header " +
                                      (folder / kEventHeaderFileName).string() +
                                      " is damaged: its name or date could not be read");
            if (entry.name.empty()) {
                entry.name = eventFolderName(n); // an empty line would hide the event
            }
        }
        result.entries.push_back(std::move(entry));
    }
    fs::path file = dataDir / kCatalogFileName;
    if (result.entries.empty()) {
        std::error_code ec;
        fs::remove(file, ec);
        if (ec) {
            return std::unexpected("cannot delete " + file.string() + ": " + reasonOf(ec));
        }
        return result;
    }
    if (auto written = writeFileAtomic(file, encodeCatalog(result.entries)); !written) {
        return std::unexpected(written.error());
    }
    return result;
}

std::expected<Catalog, std::string> loadCatalog(const fs::path& dataDir) {
    fs::path file = dataDir / kCatalogFileName;
    std::error_code ec;
    bool missing = !fs::exists(file, ec);
    if (!missing) {
        auto read = readCatalog(file);
        if (!read) {
            return read;
        }
        if (!read->truncated && read->leftOut == 0 &&
            read->entries.size() == static_cast<std::size_t>(countEventFolders(dataDir))) {
            return read;
        }
    }
    auto rebuilt = rebuildCatalog(dataDir);
    if (!rebuilt) {
        return std::unexpected(rebuilt.error());
    }
    Catalog catalog;
    catalog.entries = std::move(rebuilt->entries);
    catalog.repaired = !missing;
    catalog.problems = std::move(rebuilt->problems);
    return catalog;
}

// --- Event header ---

std::string encodeEventHeader(const EventHeader& header) {
    ByteWriter w;
    for (auto count : header.seriesCounts) {
        w.i16(count);
    }
    w.zeros(kHeaderNameOffset - 8);
    w.string16(header.name);
    w.string16(header.date);
    return w.take();
}

EventHeaderRead decodeEventHeader(std::string_view bytes) {
    EventHeaderRead result;
    ByteReader counts(bytes);
    for (auto& count : result.header.seriesCounts) {
        count = counts.i16();
    }
    ByteReader text(bytes, kHeaderNameOffset);
    result.header.name = text.string16();
    if (text.ok()) {
        result.header.date = text.string16();
    }
    result.complete = counts.ok() && text.ok();
    return result;
}

std::expected<EventHeaderRead, std::string> readEventHeader(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        return std::unexpected("the event header " + file.string() + " is missing");
    }
    auto bytes = readFileBytes(file);
    if (!bytes) {
        return std::unexpected(bytes.error());
    }
    return decodeEventHeader(*bytes);
}

IoResult writeNewEventHeader(const fs::path& file, const EventHeader& header) {
    return writeFileAtomic(file, encodeEventHeader(header));
}

IoResult writeSeriesCounts(const fs::path& file, const std::array<std::int16_t, 4>& counts) {
    ByteWriter w;
    for (auto count : counts) {
        w.i16(count);
    }
    return writeAt(file, 0, w.bytes());
}

IoResult writeSeriesCount(const fs::path& file, ProgrammeType programmeType, std::int16_t count) {
    if (programmeType < ProgrammeType::FreePractice || programmeType > ProgrammeType::Race) {
        return std::unexpected(describeIoError(file, "no series count for this programme"));
    }
    ByteWriter w;
    w.i16(count);
    return writeAt(file, 2u * static_cast<unsigned>(index(programmeType) - 1), w.bytes());
}

IoResult writeEventNameAndDate(const fs::path& file, std::string_view name, std::string_view date) {
    if (!fitsString16(name) || !fitsString16(date)) {
        return std::unexpected(describeIoError(file, "the name or the date is too long"));
    }
    ByteWriter w;
    w.string16(name);
    w.string16(date);
    return writeAt(file, kHeaderNameOffset, w.bytes());
}

} // namespace cronovolta
