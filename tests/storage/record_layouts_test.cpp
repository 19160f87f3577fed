#include "storage/event_files.h"
#include "storage/heat_result_record.h"
#include "storage/lap_record.h"
#include "storage/participant_list.h"
#include "storage/penalty_record.h"

#include <gtest/gtest.h>

#include <random>

#include "support/temp_dir.h"

using namespace cronovolta;
using cronovolta::test::TempDir;

namespace {

std::string randomBytes(std::mt19937& rng, std::size_t n) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(n, '\0');
    for (auto& c : out) {
        c = static_cast<char>(byte(rng));
    }
    return out;
}

// Garbage with small, mostly plausible lengths so that the variable layouts get past
// their first field now and then.
std::string lengthyGarbage(std::mt19937& rng, std::size_t n) {
    std::string out = randomBytes(rng, n);
    for (std::size_t i = 0; i + 1 < out.size(); i += 7) {
        out[i + 1] = static_cast<char>(rng() % 3 == 0 ? 0x80 : 0);
        out[i] = static_cast<char>(rng() % 9);
    }
    return out;
}

LapRecord sampleLap(int i) {
    return {static_cast<std::int16_t>(i % 8 + 1),
            static_cast<std::int16_t>(i % 5 + 1),
            41000.5f + static_cast<float>(i),
            7.1234f,
            static_cast<std::int16_t>(-(i % 2)),
            static_cast<std::int16_t>(i),
            0.0f,
            0.0f};
}

} // namespace

TEST(LapRecordLayout, FieldsSitAtTheirOffsets) {
    LapRecord r{3, 7, 41000.5f, 99.9999f, -1, 12, 13.0f, 2.5f};
    std::string bytes = encodeLapRecord(r);
    ASSERT_EQ(bytes.size(), kLapRecordSize);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x03\x00\x07\x00", 4));
    EXPECT_EQ(bytes.substr(12, 4), std::string("\xFF\xFF\x0C\x00", 4));
    EXPECT_EQ(bytes.substr(16, 4), std::string("\x00\x00\x50\x41", 4)); // 13.0f
    EXPECT_EQ(decodeLapRecord(bytes), r);
}

TEST(LapRecordLayout, FileKeepsWholeRecordsAndFlagsATornOne) {
    std::vector<LapRecord> records;
    for (int i = 0; i < 5; ++i) {
        records.push_back(sampleLap(i));
    }
    std::string bytes = encodeLapFile(records);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        LapFile file = decodeLapFile(std::string_view(bytes).substr(0, cut));
        ASSERT_EQ(file.records.size(), cut / kLapRecordSize);
        EXPECT_EQ(file.partialTail, cut % kLapRecordSize != 0);
        for (std::size_t i = 0; i < file.records.size(); ++i) {
            EXPECT_EQ(file.records[i], records[i]);
        }
    }
}

TEST(LapRecordLayout, GarbageRoundTripsBitForBit) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes = randomBytes(rng, rng() % 200);
        LapFile file = decodeLapFile(bytes);
        std::string whole = bytes.substr(0, bytes.size() / kLapRecordSize * kLapRecordSize);
        EXPECT_EQ(encodeLapFile(file.records), whole); // NaN payloads included
    }
}

TEST(LapRecordLayout, AppendOverwritesATornRecordAndWritesByNumber) {
    TempDir dir;
    fs::path file = dir.path() / "VLTAVLT.TMP";
    ASSERT_TRUE(appendLapRecord(file, sampleLap(0)));
    ASSERT_TRUE(appendLapRecord(file, sampleLap(1)));
    // A crash in the middle of the third record leaves 10 stray bytes.
    test::writeBytes(file, test::readBytes(file) + encodeLapRecord(sampleLap(2)).substr(0, 10));
    ASSERT_TRUE(appendLapRecord(file, sampleLap(3)));
    auto read = readLapFile(file);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->partialTail);
    EXPECT_EQ(read->records, (std::vector<LapRecord>{sampleLap(0), sampleLap(1), sampleLap(3)}));

    LapRecord header = sampleLap(0);
    header.laps = 3;
    ASSERT_TRUE(writeLapRecord(file, 1, header));
    read = readLapFile(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->records[0].laps, 3);
    EXPECT_EQ(read->records.size(), 3u);

    auto missing = readLapFile(dir.path() / "CRS001.VAV");
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->records.empty());
}

TEST(HeatResultLayout, FieldsArePackedInto46Of50Bytes) {
    HeatResultRecord r{4,     31.0f, -41234.5f, 6.789f, 3,    -2,   5,
                       12.0f, -1,    7.0f,      6.8f,   2.0f, 1.5f, 2.5f};
    std::string bytes = encodeHeatResultRecord(r);
    ASSERT_EQ(bytes.size(), kHeatResultRecordSize);
    EXPECT_EQ(bytes.substr(14, 6), std::string("\x03\x00\xFE\xFF\x05\x00", 6));
    EXPECT_EQ(bytes.substr(24, 2), std::string("\xFF\xFF", 2));
    EXPECT_EQ(bytes.substr(42, 4), std::string("\x00\x00\x20\x40", 4)); // 2.5f
    EXPECT_EQ(bytes.substr(46), std::string(4, '\0'));
    EXPECT_EQ(decodeHeatResultRecord(bytes), r);

    HeatResultRecord header;
    header.crossingTime = 36000.0f;
    header.lane = 2;
    header.adjustments = 8;
    HeatResultRecord back = decodeHeatResultRecord(encodeHeatResultRecord(header));
    EXPECT_TRUE(back.isHeader());
    EXPECT_EQ(back.headerHeatNumber(), 2);
    EXPECT_EQ(back.headerRecordCount(), 8);
}

TEST(HeatResultLayout, ALastRecordWithoutItsUnusedTailIsWhole) {
    std::vector<HeatResultRecord> records(3);
    records[1].participant = 1;
    records[2].participant = 2;
    records[2].heatLaps = 9.0f;
    std::string bytes = encodeHeatResultFile(records);
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        HeatResultFile file = decodeHeatResultFile(std::string_view(bytes).substr(0, cut));
        std::size_t expected = cut / 50 + (cut % 50 >= 46 ? 1 : 0);
        ASSERT_EQ(file.records.size(), expected) << cut;
        EXPECT_EQ(file.partialTail, cut % 50 != 0 && cut % 50 < 46) << cut;
        for (std::size_t i = 0; i < file.records.size(); ++i) {
            EXPECT_EQ(file.records[i], records[i]);
        }
    }
}

TEST(HeatResultLayout, GarbageKeepsItsUsedBytes) {
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        std::string bytes = randomBytes(rng, rng() % 300);
        HeatResultFile file = decodeHeatResultFile(bytes);
        std::string again = encodeHeatResultFile(file.records);
        for (std::size_t i = 0; i < file.records.size(); ++i) {
            EXPECT_EQ(again.substr(i * 50, 46), bytes.substr(i * 50, 46));
        }
    }
}

TEST(HeatResultLayout, RecordsAreWrittenByNumberInPlace) {
    TempDir dir;
    fs::path file = dir.path() / "CRS001.DAD";
    std::vector<HeatResultRecord> records(3);
    records[1].participant = 1;
    records[2].participant = 2;
    ASSERT_TRUE(writeHeatResultFile(file, records));
    EXPECT_EQ(fs::file_size(file), 150u);
    records[1].heatLaps = 14.0f;
    ASSERT_TRUE(writeHeatResultRecord(file, 2, records[1]));
    auto read = readHeatResultFile(file);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->records, records);
    EXPECT_FALSE(read->partialTail);
}

TEST(ParticipantListLayout, RoundTripsNamesAndHeatCounter) {
    ParticipantList list{3, {"Pere Ròdenas", "", "Núria Çanet", "Jordi"}, false};
    std::string bytes = encodeParticipantList(list);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x03\x00\x0C\x00", 4));
    EXPECT_EQ(bytes.substr(4, 12), "Pere R\xF2"
                                   "denas");
    EXPECT_EQ(bytes.substr(16, 2), std::string("\0\0", 2)); // the empty name
    ParticipantList back = decodeParticipantList(bytes);
    EXPECT_EQ(back.heatsDone, 3);
    EXPECT_EQ(back.names, list.names);
    EXPECT_FALSE(back.truncated);
    EXPECT_EQ(encodeParticipantList(back), bytes);

    EXPECT_TRUE(decodeParticipantList(std::string("\x05\x00", 2)).names.empty());
    EXPECT_FALSE(decodeParticipantList("").truncated);
}

TEST(ParticipantListLayout, TruncationKeepsTheWholeNamesBeforeIt) {
    ParticipantList list{2, {"Anna", "Bernat", "Carles"}, false};
    std::string bytes = encodeParticipantList(list);
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
        ParticipantList back = decodeParticipantList(std::string_view(bytes).substr(0, cut));
        ASSERT_LE(back.names.size(), 3u);
        for (std::size_t i = 0; i < back.names.size(); ++i) {
            EXPECT_EQ(back.names[i], list.names[i]);
        }
        bool boundary = cut == 2 || cut == 8 || cut == 16;
        EXPECT_EQ(back.truncated, !boundary) << cut;
    }
    // Negative and oversized lengths stop the reading.
    ParticipantList negative = decodeParticipantList(std::string("\0\0\x02\0ab\xF0\xFFxyz", 11));
    EXPECT_EQ(negative.names, std::vector<std::string>{"ab"});
    EXPECT_TRUE(negative.truncated);
    ParticipantList huge = decodeParticipantList(std::string("\0\0\xFF\x7Fxyz", 7));
    EXPECT_TRUE(huge.names.empty());
    EXPECT_TRUE(huge.truncated);
}

TEST(ParticipantListLayout, GarbageReEncodesToTheBytesItCameFrom) {
    std::mt19937 rng(3);
    for (int round = 0; round < 500; ++round) {
        std::string bytes = lengthyGarbage(rng, 2 + rng() % 120);
        ParticipantList list = decodeParticipantList(bytes);
        std::string again = encodeParticipantList(list);
        if (list.truncated) {
            ASSERT_LT(again.size(), bytes.size());
            EXPECT_EQ(again, bytes.substr(0, again.size()));
        } else {
            EXPECT_EQ(again, bytes);
        }
    }
}

TEST(ParticipantListLayout, SeriesLoadPadsToTheLanesAndCounterIsPatchedInPlace) {
    TempDir dir;
    ASSERT_TRUE(writeParticipantList(dir.path() / "CRS002.PAR", {4, {"A", "B", "C"}, false}));
    auto series = loadSeriesParticipants(dir.path(), ProgrammeType::Race, 2, 8);
    ASSERT_TRUE(series);
    EXPECT_EQ(series->heatsDone, 4);
    EXPECT_EQ(series->names, (std::vector<std::string>{"A", "B", "C", "", "", "", "", ""}));

    ASSERT_TRUE(writeHeatCounter(dir.path() / "CRS002.PAR", 5));
    auto again = readParticipantList(dir.path() / "CRS002.PAR");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->heatsDone, 5);
    EXPECT_EQ(again->names.size(), 3u);

    // Practice reads the event's entrant list; a missing file is empty with counter 0.
    auto practice = loadSeriesParticipants(dir.path(), ProgrammeType::Practice, 1, 4);
    ASSERT_TRUE(practice);
    EXPECT_EQ(practice->heatsDone, 0);
    EXPECT_EQ(practice->names, std::vector<std::string>(4));
    // A corrupt lane count does not make an unbounded list.
    auto wild = loadSeriesParticipants(dir.path(), ProgrammeType::Race, 2, 30000);
    ASSERT_TRUE(wild);
    EXPECT_EQ(wild->names.size(), 64u);

    ParticipantList tooLong{0, {std::string(40000, 'x')}, false};
    EXPECT_FALSE(writeParticipantList(dir.path() / "PROVA.PAR", tooLong));
    EXPECT_FALSE(fs::exists(dir.path() / "PROVA.PAR"));
}

TEST(PenaltyLayout, RoundTripsRecordsInOrder) {
    std::vector<PenaltyRecord> records{{2, 1.5f, "Sortida avançada"}, {5, 2.0f, ""}};
    std::string bytes = encodePenalties(records);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x02\x00\x00\x00\xC0\x3F\x10\x00", 8));
    PenaltyFile back = decodePenalties(bytes);
    EXPECT_EQ(back.records, records);
    EXPECT_FALSE(back.truncated);
    EXPECT_EQ(encodePenalties(back.records), bytes);

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        PenaltyFile part = decodePenalties(std::string_view(bytes).substr(0, cut));
        bool boundary = cut == 0 || cut == 24;
        EXPECT_EQ(part.truncated, !boundary) << cut;
        EXPECT_EQ(part.records.size(), cut < 24 ? 0u : 1u);
    }
}

TEST(PenaltyLayout, GarbageNeverReadsPastTheEnd) {
    std::mt19937 rng(5);
    for (int round = 0; round < 500; ++round) {
        std::string bytes = lengthyGarbage(rng, rng() % 150);
        PenaltyFile file = decodePenalties(bytes);
        std::string again = encodePenalties(file.records);
        ASSERT_LE(again.size(), bytes.size());
        EXPECT_EQ(again, bytes.substr(0, again.size()));
        EXPECT_EQ(file.truncated, again.size() != bytes.size());
    }
}

TEST(PenaltyLayout, FileIsReplacedWhole) {
    TempDir dir;
    fs::path file = dir.path() / "CRS001.PEN";
    ASSERT_TRUE(writePenalties(file, {{1, 3.0f, "x"}, {2, 1.0f, "y"}}));
    ASSERT_TRUE(writePenalties(file, {}));
    EXPECT_EQ(fs::file_size(file), 0u);
    auto read = readPenalties(file);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->records.empty());
    auto missing = readPenalties(dir.path() / "CRS009.PEN");
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->records.empty());
}
