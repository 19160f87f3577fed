#include "storage/event_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "support/temp_dir.h"

using namespace cronovolta;
using cronovolta::test::TempDir;

namespace {

void makeEvent(const fs::path& dataDir, int n, const std::string& name, const std::string& date) {
    fs::create_directories(eventFolder(dataDir, n));
    ASSERT_TRUE(writeNewEventHeader(eventFolder(dataDir, n) / kEventHeaderFileName,
                                    {{1, 1, 1, 1}, name, date}));
}

} // namespace

TEST(EventFileNames, FollowTheNumberingRules) {
    EXPECT_EQ(eventFolderName(1), "PROVA001");
    EXPECT_EQ(eventFolderName(1000), "PROVA1000"); // three digits is a minimum width
    EXPECT_EQ(seriesFileName(ProgrammeType::Race, 2, ".VAV"), "CRS002.VAV");
    EXPECT_EQ(seriesFileName(ProgrammeType::FreePractice, 1, ".PAR"), "LLR001.PAR");
    EXPECT_EQ(seriesFileName(ProgrammeType::OfficialPractice, 12, ".DAD"), "OFC012.DAD");
    EXPECT_EQ(seriesBaseName(ProgrammeType::SuperPole, 3), "SPP003");
    EXPECT_EQ(seriesFileName(ProgrammeType::Practice, 1, ".PAR"), "PROVA.PAR");
    EXPECT_EQ(seriesPrefix(static_cast<ProgrammeType>(7)), "");
    EXPECT_EQ(distributionTableName(8), "DISTRIBUCIONS08.TXT");
    EXPECT_EQ(distributionTableName(64), "DISTRIBUCIONS64.TXT");
}

TEST(ProgrammeTypes, OnlyStoredNumbersZeroToFourNameAType) {
    struct Case {
        int stored;
        std::optional<ProgrammeType> type;
        bool standings;
    };
    const Case cases[] = {
        {-1, std::nullopt, false},
        {0, ProgrammeType::Practice, false},
        {1, ProgrammeType::FreePractice, false},
        {2, ProgrammeType::OfficialPractice, true},
        {3, ProgrammeType::SuperPole, true},
        {4, ProgrammeType::Race, true},
        {5, std::nullopt, false},
        {32767, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const auto type = programmeTypeFrom(c.stored);
        EXPECT_EQ(type, c.type);
        if (type) {
            EXPECT_EQ(index(*type), c.stored); // the number goes back out unchanged
            EXPECT_EQ(hasStandings(*type), c.standings);
        }
    }
}

TEST(Catalog, EntriesRoundTripAndAnEmptyNameIsTwoZeroBytes) {
    std::vector<CatalogEntry> entries{{"Gran Premi de Reus", "12-05-2024"}, {"", "01-01-2025"}};
    std::string bytes = encodeCatalog(entries);
    std::string second = bytes.substr(2 + 18 + 2 + 10);
    EXPECT_EQ(second.substr(0, 4), std::string("\0\0\x0A\0", 4));
    Catalog back = decodeCatalog(bytes);
    EXPECT_EQ(back.entries, entries);
    EXPECT_FALSE(back.truncated);

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        Catalog part = decodeCatalog(std::string_view(bytes).substr(0, cut));
        EXPECT_EQ(part.truncated, cut != 0 && cut != 32) << cut;
        EXPECT_EQ(part.entries.size(), cut < 32 ? 0u : 1u);
    }
}

TEST(Catalog, GarbageReEncodesToAPrefixOfItself) {
    std::mt19937 rng(9);
    for (int round = 0; round < 500; ++round) {
        std::string bytes(rng() % 80, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<char>(i % 5 == 1 ? (rng() % 4 == 0 ? 0xF0 : 0) : rng() % 7);
        }
        Catalog catalog = decodeCatalog(bytes);
        std::string again = encodeCatalog(catalog.entries);
        EXPECT_EQ(again, bytes.substr(0, again.size()));
        EXPECT_EQ(catalog.truncated, again.size() != bytes.size());
    }
}

TEST(Catalog, RebuildStopsAtTheFirstMissingFolder) {
    TempDir dir;
    makeEvent(dir.path(), 1, "Primera", "01-02-2024");
    makeEvent(dir.path(), 2, "Segona", "08-02-2024");
    makeEvent(dir.path(), 4, "Quarta", "22-02-2024");
    test::writeBytes(dir.path() / kCatalogFileName, "stale");
    auto rebuilt = rebuildCatalog(dir.path());
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(rebuilt->entries,
              (std::vector<CatalogEntry>{{"Primera", "01-02-2024"}, {"Segona", "08-02-2024"}}));
    auto read = readCatalog(dir.path() / kCatalogFileName);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->entries, rebuilt->entries);
    EXPECT_EQ(countEventFolders(dir.path()), 2);
}

TEST(Catalog, RebuildWithoutEventsLeavesNoFile) {
    TempDir dir;
    test::writeBytes(dir.path() / kCatalogFileName, std::string("\0\0\0\0", 4));
    fs::create_directories(eventFolder(dir.path(), 2)); // no PROVA001
    auto rebuilt = rebuildCatalog(dir.path());
    ASSERT_TRUE(rebuilt);
    EXPECT_TRUE(rebuilt->entries.empty());
    EXPECT_FALSE(fs::exists(dir.path() / kCatalogFileName));

    auto loaded = loadCatalog(dir.path());
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->entries.empty());
    EXPECT_FALSE(fs::exists(dir.path() / kCatalogFileName));
}

TEST(Catalog, AnEventWithoutHeaderKeepsItsPlace) {
    TempDir dir;
    makeEvent(dir.path(), 1, "Primera", "d1");
    fs::create_directories(eventFolder(dir.path(), 2));
    makeEvent(dir.path(), 3, "Tercera", "d3");
    auto rebuilt = rebuildCatalog(dir.path());
    ASSERT_TRUE(rebuilt);
    ASSERT_EQ(rebuilt->entries.size(), 3u);
    EXPECT_EQ(rebuilt->entries[1].name, "PROVA002");
    EXPECT_EQ(rebuilt->entries[2].name, "Tercera");
    EXPECT_EQ(rebuilt->problems.size(), 1u);

    // A garbled header too; the load that rebuilds says which ones.
    test::writeBytes(eventFolder(dir.path(), 3) / kEventHeaderFileName, std::string(25, '\xFF'));
    fs::remove(dir.path() / kCatalogFileName);
    auto loaded = loadCatalog(dir.path());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->entries[2].name, "PROVA003");
    ASSERT_EQ(loaded->problems.size(), 2u);
    EXPECT_NE(loaded->problems[1].find("PROVA003"), std::string::npos);
}

TEST(Catalog, LoadRebuildsAMissingDamagedOrStaleFile) {
    TempDir dir;
    makeEvent(dir.path(), 1, "Primera", "d1");
    auto loaded = loadCatalog(dir.path());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->entries.size(), 1u);
    EXPECT_FALSE(loaded->repaired);
    // A sound file of the right length is trusted as it is.
    ASSERT_TRUE(writeFileAtomic(dir.path() / kCatalogFileName, encodeCatalog({{"Altre", "x"}})));
    loaded = loadCatalog(dir.path());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->entries, (std::vector<CatalogEntry>{{"Altre", "x"}}));
    EXPECT_FALSE(loaded->repaired);

    ASSERT_TRUE(appendCatalogEntry(dir.path() / kCatalogFileName, {"Extra", "d2"}));
    loaded = loadCatalog(dir.path());
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->repaired);
    EXPECT_EQ(loaded->entries, (std::vector<CatalogEntry>{{"Primera", "d1"}}));

    test::writeBytes(dir.path() / kCatalogFileName, std::string("\x07\0Prim", 6));
    loaded = loadCatalog(dir.path());
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->repaired);
    EXPECT_EQ(loaded->entries, (std::vector<CatalogEntry>{{"Primera", "d1"}}));
    EXPECT_EQ(readCatalog(dir.path() / kCatalogFileName)->entries, loaded->entries);
}

TEST(EventHeader, LayoutPutsNameAndDateAtOffset19) {
    EventHeader header{{0, 1, 2, 3}, "Copa Sènior", "07-07-2024"};
    std::string bytes = encodeEventHeader(header);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\0\0\1\0\2\0\3\0", 8));
    EXPECT_EQ(bytes.substr(8, 11), std::string(11, '\0'));
    EXPECT_EQ(bytes.substr(19, 2), std::string("\x0B\0", 2));
    EXPECT_EQ(bytes.substr(21, 11), "Copa S\xE8nior");
    EXPECT_EQ(bytes.size(), 21u + 11 + 2 + 10);
    EventHeaderRead back = decodeEventHeader(bytes);
    EXPECT_TRUE(back.complete);
    EXPECT_EQ(back.header.seriesCounts, header.seriesCounts);
    EXPECT_EQ(back.header.name, header.name);
    EXPECT_EQ(back.header.date, header.date);
    EXPECT_EQ(encodeEventHeader(back.header), bytes);
}

TEST(EventHeader, TruncatedAndGarbageHeadersReadWhatIsSound) {
    std::string bytes = encodeEventHeader({{4, 3, 2, 1}, "Nom", "Data"});
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        EventHeaderRead part = decodeEventHeader(std::string_view(bytes).substr(0, cut));
        EXPECT_FALSE(part.complete) << cut;
        if (cut >= 8) {
            EXPECT_EQ(part.header.seriesCounts, (std::array<std::int16_t, 4>{4, 3, 2, 1}));
        }
        if (cut >= 24) {
            EXPECT_EQ(part.header.name, "Nom");
        }
    }
    std::mt19937 rng(2);
    for (int round = 0; round < 300; ++round) {
        std::string garbage(rng() % 60, '\0');
        for (auto& c : garbage) {
            c = static_cast<char>(rng());
        }
        EventHeaderRead read = decodeEventHeader(garbage);
        EXPECT_LE(read.header.name.size() + read.header.date.size(), 2 * garbage.size());
    }
}

TEST(EventHeader, InPlaceRewritesKeepTheRestOfTheFile) {
    TempDir dir;
    fs::path file = dir.path() / kEventHeaderFileName;
    ASSERT_TRUE(writeNewEventHeader(file, {{1, 1, 1, 1}, "Un nom força llarg", "31-12-2024"}));
    auto before = fs::file_size(file);

    ASSERT_TRUE(writeSeriesCount(file, ProgrammeType::Race, 5));
    ASSERT_TRUE(writeSeriesCount(file, ProgrammeType::FreePractice, 0));
    EXPECT_EQ(readEventHeader(file)->header.seriesCounts,
              (std::array<std::int16_t, 4>{0, 1, 1, 5}));
    EXPECT_FALSE(writeSeriesCount(file, ProgrammeType::Practice, 1));
    ASSERT_TRUE(writeSeriesCounts(file, {2, 0, 3, 4}));
    EXPECT_EQ(readEventHeader(file)->header.seriesCounts,
              (std::array<std::int16_t, 4>{2, 0, 3, 4}));

    ASSERT_TRUE(writeEventNameAndDate(file, "Curt", "1-1-25"));
    EXPECT_EQ(fs::file_size(file), before); // not truncated
    auto read = readEventHeader(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->header.name, "Curt");
    EXPECT_EQ(read->header.date, "1-1-25");
    EXPECT_EQ(read->header.seriesCounts, (std::array<std::int16_t, 4>{2, 0, 3, 4}));

    EXPECT_FALSE(writeEventNameAndDate(file, std::string(33000, 'x'), ""));
    EXPECT_EQ(readEventHeader(file)->header.name, "Curt");
    EXPECT_FALSE(readEventHeader(dir.path() / "nowhere.dad"));
}
