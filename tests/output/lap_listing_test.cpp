#include "output/lap_listing.h"

#include "storage/event_files.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "support/temp_dir.h"
#include "texts/language_tables.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

LapRecord lap(int lane, int participant, float since, float time, int laps, float kind = 0.0f) {
    LapRecord r;
    r.lane = static_cast<std::int16_t>(lane);
    r.participant = static_cast<std::int16_t>(participant);
    r.crossingTime = since;
    r.lapTime = time;
    r.laps = static_cast<std::int16_t>(laps);
    r.splitKind = kind;
    return r;
}

// A heat's block: header, records, end record, with the counts the heat end writes.
void addHeat(std::vector<LapRecord>& file, int heat, float start,
             const std::vector<LapRecord>& records) {
    const auto count = static_cast<std::int16_t>(records.size() + 1);
    LapRecord header = lap(0, 0, start, static_cast<float>(heat), count);
    file.push_back(header);
    file.insert(file.end(), records.begin(), records.end());
    file.push_back(lap(0, 0, start + 60.0f, 60.0f, count));
}

struct Listing : ::testing::Test {
    TempDir dir;

    // Heat 1: two participants, two pauses, a partial and a speed record, a crossing of a
    // lane that carries nobody; heat 2: two laps.
    void SetUp() override {
        ParticipantList list;
        list.heatsDone = 2;
        list.names = {"Anna Soler", "Pere Roca"};
        ASSERT_TRUE(writeParticipantList(dir.path() / "OFC001.PAR", list));
        std::vector<LapRecord> file;
        addHeat(file, 1, 36000.0f,
                {lap(1, 1, 1.0f, 99.9999f, 1), lap(2, 2, 1.5f, 99.9999f, 1),
                 lap(1, 1, 8.0f, 7.0f, 2), lap(2, 2, 8.5f, 7.0f, 2), lap(-1, 0, 10.0f, 30.0f, 1),
                 lap(3, 0, 11.0f, 2.5f, 0, 1.0f), lap(1, 1, 15.0f, 7.0f, 3),
                 lap(4, 0, 16.0f, 0.0f, 0, 13.0f), lap(-1, 0, 20.0f, 12.0f, 2),
                 lap(2, 2, 22.0f, 13.5f, 3), lap(3, 0, 23.0f, 5.0f, 1)});
        addHeat(file, 2, 37000.0f, {lap(1, 2, 2.0f, 99.9999f, 1), lap(2, 1, 3.0f, 99.9999f, 1)});
        ASSERT_TRUE(writeLapFile(dir.path() / "OFC001.VAV", file));
    }

    LapListing open(ProgrammeType programmeType = ProgrammeType::OfficialPractice,
                    bool programmeOpen = false) {
        LapListingSetup setup;
        setup.folder = dir.path();
        setup.programmeType = programmeType;
        setup.seriesCount = 1;
        setup.programmeOpen = programmeOpen;
        LapListing listing(setup);
        listing.load();
        return listing;
    }

    static std::vector<std::string> column(const LapListing& l, int c, bool visibleOnly = true) {
        std::vector<std::string> out;
        for (const auto& row : l.rows()) {
            if (row.visible || !visibleOnly) {
                out.push_back(row.cells[static_cast<std::size_t>(c)]);
            }
        }
        return out;
    }
};

using Strings = std::vector<std::string>;

TEST_F(Listing, OpensOnTheLastHeatOfTheSeries) {
    auto l = open();
    EXPECT_TRUE(l.seriesSelectorEnabled());
    EXPECT_FALSE(l.onlyLaneSelector());
    EXPECT_EQ(l.entries(LapListing::HeatSelector), (Strings{"1", "2"}));
    EXPECT_EQ(l.selectedHeat(), 2);
    EXPECT_EQ(l.startTime(), "10:16:40");
    EXPECT_EQ(l.entries(LapListing::ParticipantSelector),
              (Strings{"Tots", "Anna Soler", "Pere Roca"}));
    ASSERT_EQ(l.rows().size(), 2u);
    const auto& c = l.rows()[0].cells;
    EXPECT_EQ(Strings(c.begin(), c.end()), (Strings{"1.-", "1", "2", "Pere Roca", "", "1", "2", "1",
                                                    "2.0000", "99.9999", "2.0000", "0:00:02"}));
    EXPECT_FALSE(open(ProgrammeType::OfficialPractice, true).seriesSelectorEnabled());
}

TEST_F(Listing, PausesAreHiddenUnderAllLanesAndPartialAndSpeedRecordsNeverListed) {
    auto l = open();
    l.choose(LapListing::HeatSelector, 0);
    EXPECT_EQ(l.startTime(), "10:00:00");
    EXPECT_EQ(l.rows().size(), 9u);
    EXPECT_EQ(l.visibleCount(), 7);
    EXPECT_EQ(l.entries(LapListing::LaneSelector), (Strings{"Totes", "-1", "1", "2", "3"}));
    EXPECT_EQ(column(l, lapcol::Lane), (Strings{"1", "2", "3", "1", "2", "1", "2"}));
    l.choose(LapListing::LaneSelector, 1);
    EXPECT_EQ(column(l, lapcol::Lap), (Strings{"1", "2"}));
    EXPECT_EQ(column(l, lapcol::LapTime), (Strings{"30.0000", "12.0000"}));
    EXPECT_EQ(column(l, lapcol::Ordinal), (Strings{"1.-", "2.-"}));
    EXPECT_EQ(l.visibleCount(), 2);
}

TEST_F(Listing, SortsAndFiltersNumberTheVisibleRows) {
    auto l = open();
    l.choose(LapListing::HeatSelector, 0);
    l.sortBy(2);
    // Equal lap times keep the order of their time since the start.
    EXPECT_EQ(column(l, lapcol::SinceStart),
              (Strings{"23.0000", "8.0000", "8.5000", "15.0000", "22.0000", "1.0000", "1.5000"}));
    l.sortBy(3);
    EXPECT_EQ(column(l, lapcol::SinceStart),
              (Strings{"1.0000", "1.5000", "8.0000", "8.5000", "15.0000", "22.0000", "23.0000"}));
    const int runs = l.filterRuns();
    l.choose(LapListing::ParticipantSelector, 2);
    EXPECT_EQ(l.filterRuns(), runs + 1);
    EXPECT_EQ(column(l, lapcol::Name), (Strings{"Pere Roca", "Pere Roca", "Pere Roca"}));
    EXPECT_EQ(column(l, lapcol::Ordinal), (Strings{"1.-", "2.-", "3.-"}));
    EXPECT_EQ(l.visibleCount(), 3);
    // One choice of heat reloads, resets the lane and filters once; the participant stays.
    l.choose(LapListing::HeatSelector, 1);
    EXPECT_EQ(l.filterRuns(), runs + 2);
    EXPECT_EQ(column(l, lapcol::Name), (Strings{"Pere Roca"}));
    l.choose(LapListing::SeriesSelector, 0);
    EXPECT_EQ(l.filterRuns(), runs + 3);
    EXPECT_EQ(l.position(LapListing::ParticipantSelector), 0);
    EXPECT_EQ(l.visibleCount(), 2);
}

TEST_F(Listing, DumpWritesEveryCrossingWithAParticipantOfEveryHeat) {
    auto l = open();
    l.choose(LapListing::ParticipantSelector, 1);
    auto path = l.writeDump();
    ASSERT_TRUE(path) << path.error();
    EXPECT_EQ(*path, dir.path() / "VLTAVLT.TXT");
    EXPECT_EQ(readBytes(*path), "Anna Soler;1;1;1;99.9999;0:00:01\r\n"
                                "Pere Roca;2;1;1;99.9999;0:00:02\r\n"
                                "Anna Soler;1;1;2;7.0000;0:00:08\r\n"
                                "Pere Roca;2;1;2;7.0000;0:00:09\r\n"
                                "Anna Soler;1;1;3;7.0000;0:00:15\r\n"
                                "Pere Roca;2;1;3;13.5000;0:00:22\r\n"
                                "Pere Roca;1;2;1;99.9999;0:00:02\r\n"
                                "Anna Soler;2;2;1;99.9999;0:00:03\r\n");
}

TEST_F(Listing, PracticeListsTheJournalWithTheLaneSelectorOnly) {
    std::vector<LapRecord> journal;
    addHeat(journal, 1, 36000.0f, {lap(3, 0, 1.0f, 99.9999f, 1), lap(3, 0, 9.0f, 8.0f, 2)});
    ASSERT_TRUE(writeLapFile(dir.path() / "VLTAVLT.TMP", journal));
    for (ProgrammeType programmeType : {ProgrammeType::Practice, ProgrammeType::FreePractice}) {
        auto l = open(programmeType, true);
        EXPECT_TRUE(l.onlyLaneSelector());
        EXPECT_EQ(l.lapFile(), dir.path() / "VLTAVLT.TMP");
        EXPECT_EQ(l.entries(LapListing::HeatSelector), (Strings{"1"}));
        EXPECT_EQ(column(l, lapcol::LapTime), (Strings{"99.9999", "8.0000"}));
        EXPECT_EQ(column(l, lapcol::Name), (Strings{"", ""}));
        EXPECT_FALSE(l.canAssignFastest());
    }
}

TEST_F(Listing, MissingOrDamagedLapFilesListNothing) {
    for (const std::string& bytes :
         {std::string(), std::string(30, '\x7f'), std::string(5, '\0')}) {
        writeBytes(dir.path() / "OFC001.VAV", bytes);
        auto l = open();
        EXPECT_EQ(l.rows().size(), 0u);
        EXPECT_EQ(l.visibleCount(), 0);
    }
    fs::remove(dir.path() / "OFC001.PAR");
    auto l = open();
    EXPECT_TRUE(l.entries(LapListing::HeatSelector).empty());
    EXPECT_TRUE(l.rows().empty());
}

// Damaged bytes are skipped as before, and the listing now says how many, in the
// organiser's language; the laps recovered stay the same.
TEST_F(Listing, SkippedBytesOfTheLapFileAreReported) {
    const fs::path vav = dir.path() / "OFC001.VAV";
    const std::string sound = readBytes(vav);
    const std::vector<std::string> lapTimes = {"99.9999", "99.9999"};
    struct Case {
        std::string tail;        // appended to the sound file
        std::uintmax_t sparseTo; // then grown with zeros to this size (0: not)
        int language;
        std::string said; // in the report; empty: no report
    };
    const std::uintmax_t big = kMaxLapFileBytes + 1000;
    const Case cases[] = {
        {"", 0, kLanguageCatalan, ""},
        {std::string(7, '\x55'), 0, kLanguageCatalan,
         "El fitxer OFC001.VAV té 7 bytes que no es llegeixen"},
        {std::string(23, '\0'), 0, kLanguageCastilian,
         "El archivo OFC001.VAV tiene 23 bytes que no se leen"},
        {"", big, kLanguageCatalan, "té 1000 bytes que no es llegeixen"},
    };
    for (const auto& c : cases) {
        writeBytes(vav, sound + c.tail);
        if (c.sparseTo > 0) {
            fs::resize_file(vav, c.sparseTo);
        }
        LapListingSetup setup;
        setup.folder = dir.path();
        setup.programmeType = ProgrammeType::OfficialPractice;
        setup.language = c.language;
        LapListing l(setup);
        l.load();
        EXPECT_EQ(column(l, lapcol::LapTime), lapTimes) << c.said;
        if (c.said.empty()) {
            EXPECT_TRUE(l.problems().empty());
        } else {
            ASSERT_EQ(l.problems().size(), 1u) << c.said;
            EXPECT_NE(l.problems()[0].find(c.said), std::string::npos) << l.problems()[0];
        }
    }
}

// A heat counter of thousands lists as many heats, but the dump reads the file once and
// writes the heats it holds.
TEST_F(Listing, DumpOfAHugeHeatCounterWritesTheHeatsTheFileHolds) {
    ASSERT_TRUE(writeHeatCounter(dir.path() / "OFC001.PAR", 32767));
    auto l = open();
    EXPECT_EQ(l.entries(LapListing::HeatSelector).size(), 32767u);
    auto path = l.writeDump();
    ASSERT_TRUE(path) << path.error();
    EXPECT_EQ(std::ranges::count(readBytes(*path), '\n'), 8);
    EXPECT_EQ(l.selectedHeat(), 32767);
    EXPECT_TRUE(l.rows().empty());
}

} // namespace
} // namespace cronovolta::test
