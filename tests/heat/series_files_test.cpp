#include "heat/series_files.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

LapRecord header(int heat, int count) {
    LapRecord r;
    r.lapTime = static_cast<float>(heat);
    r.laps = static_cast<std::int16_t>(count);
    return r;
}
LapRecord endRecord(float duration, int count) {
    LapRecord r;
    r.crossingTime = 40000.0f;
    r.lapTime = duration;
    r.laps = static_cast<std::int16_t>(count);
    return r;
}
LapRecord lap(int lane) {
    return LapRecord{static_cast<std::int16_t>(lane), 1, 5.0f, 5.0f, 0, 1, 0.0f, 0.0f};
}

TEST(SeriesFiles, LapBlocksFollowTheChainOfHeaders) {
    // Heat 1 lasted exactly 2 s: its end record must not pass for the header of heat 2.
    std::vector<LapRecord> file{header(1, 2), lap(1), endRecord(2.0f, 2), header(2, 3),
                                lap(1),       lap(2), endRecord(60.0f, 3)};
    EXPECT_EQ(lapBlockStart(file, 1), 0u);
    EXPECT_EQ(lapBlockStart(file, 2), 3u);
    EXPECT_EQ(lapBlockStart(file, 3), 7u);
    EXPECT_EQ(lapBlockStart(file, 4), std::nullopt);
    // A broken first header: the plain search still finds heat 2.
    file[0].lapTime = 9.0f;
    EXPECT_EQ(lapBlockStart(file, 3), 7u);
}

// A header that counts more records than the file holds must not send the next block past
// the end, where it would leave a hole of zero records.
TEST(SeriesFiles, ACountBeyondTheFileIsNoBlock) {
    std::vector<LapRecord> file{header(1, 50), lap(1), endRecord(2.0f, 2)};
    EXPECT_EQ(lapBlockStart(file, 2), std::nullopt);
    TempDir dir;
    fs::path vav = dir.path() / "CRS001.VAV";
    writeBytes(vav, encodeLapFile(file));
    ASSERT_TRUE(writeLapBlock(vav, 2, {header(2, 1), endRecord(10.0f, 1)}));
    auto back = readLapFile(vav);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->records.size(), 5u);
    EXPECT_EQ(back->records[3], header(2, 1));
}

TEST(SeriesFiles, BlocksAreWrittenInPlaceWithoutTruncating) {
    TempDir dir;
    fs::path vav = dir.path() / "CRS001.VAV";
    ASSERT_TRUE(writeLapBlock(vav, 1, {header(1, 3), lap(1), lap(2), endRecord(30.0f, 3)}));
    ASSERT_TRUE(writeLapBlock(vav, 2, {header(2, 2), lap(2), endRecord(20.0f, 2)}));
    ASSERT_TRUE(writeLapBlock(vav, 3, {header(3, 1), endRecord(20.0f, 1)}));
    // Heat 2 again, shorter: heat 3's records beyond it stay where they were.
    ASSERT_TRUE(writeLapBlock(vav, 2, {header(2, 1), endRecord(10.0f, 1)}));
    auto back = readLapFile(vav);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->records.size(), 9u);
    EXPECT_EQ(back->records[4], header(2, 1));
    EXPECT_EQ(back->records[5], endRecord(10.0f, 1));
    EXPECT_EQ(back->records[6], endRecord(20.0f, 2)); // left from the old heat 2
    EXPECT_EQ(back->records[7], header(3, 1));
}

TEST(SeriesFiles, ResultBlocksByHeatNumber) {
    TempDir dir;
    fs::path dad = dir.path() / "OFC001.DAD";
    HeatResultRecord a;
    a.participant = 1;
    a.seriesLaps = 10;
    HeatResultRecord b;
    b.participant = 2;
    ASSERT_TRUE(writeResultBlock(dad, 1, 36000.0f, {a, b}));
    a.seriesLaps = 20;
    ASSERT_TRUE(writeResultBlock(dad, 2, 36600.0f, {b, a}));
    auto file = readHeatResultFile(dad);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->records.size(), 6u);
    EXPECT_EQ(file->records[3].lane, 2);
    EXPECT_EQ(file->records[3].adjustments, 2);
    EXPECT_FLOAT_EQ(file->records[3].crossingTime, 36600.0f);
    auto block = resultBlock(file->records, 2);
    ASSERT_TRUE(block);
    EXPECT_EQ(*block, (std::vector<HeatResultRecord>{b, a}));
    EXPECT_EQ(resultBlock(file->records, 3), std::nullopt);
    // Heat 1 again starts a new file.
    ASSERT_TRUE(writeResultBlock(dad, 1, 1.0f, {a}));
    EXPECT_EQ(readHeatResultFile(dad)->records.size(), 2u);
    // A header announcing more records than the file holds gives what is there.
    std::vector<HeatResultRecord> cut{file->records[0], a};
    cut[0].adjustments = 40;
    EXPECT_EQ(resultBlock(cut, 1)->size(), 1u);
}

} // namespace
} // namespace cronovolta::test
