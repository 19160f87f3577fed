#include "storage/record_io.h"
#include "storage/track_config.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/temp_dir.h"

using namespace cronovolta;

namespace {

// A file built field by field, as an older version of the program may have left it.
std::string trackFile(int lanes, const std::vector<int>& order, int circuits = 2) {
    ByteWriter w;
    w.f32(2.5f);
    w.i16(100);
    w.zeros(3);
    w.i16(static_cast<std::int16_t>(circuits));
    for (int c = 1; c <= circuits; ++c) {
        w.i16(static_cast<std::int16_t>(c));
        w.i16(static_cast<std::int16_t>(1 + 4 * (c - 1)));
    }
    w.zeros(29 - w.size());
    w.i16(static_cast<std::int16_t>(lanes));
    for (int lane : order) {
        w.i16(static_cast<std::int16_t>(lane));
    }
    return w.take();
}

std::string withSplit(std::string bytes, int marker, int partials, int partialLane, int speedLane,
                      int distance) {
    bytes.resize(299, '\0');
    ByteWriter w;
    for (int v : {marker, partials, partialLane, speedLane, distance}) {
        w.i16(static_cast<std::int16_t>(v));
    }
    return bytes + w.bytes();
}

std::vector<std::int16_t> order(std::initializer_list<int> lanes) {
    std::vector<std::int16_t> out;
    for (int l : lanes) {
        out.push_back(static_cast<std::int16_t>(l));
    }
    return out;
}

} // namespace

TEST(TrackConfig, FirstStartDefaults) {
    TrackConfig c = defaultTrackConfig();
    EXPECT_EQ(c.lanes, 64);
    ASSERT_EQ(c.laneChangeOrder.size(), 65u);
    EXPECT_EQ(c.laneChangeOrder[0], 64);
    EXPECT_EQ(c.laneChangeOrder[17], 17);
    ASSERT_EQ(c.circuits.size(), 2u);
    EXPECT_EQ(c.circuits[1].port, 2);
    EXPECT_EQ(c.circuits[1].firstLane, 9);
    EXPECT_FALSE(c.splitTiming);
    EXPECT_EQ(c.partials, 3);
    EXPECT_EQ(c.partialLane, 10);
    EXPECT_EQ(c.speedLane, 11);
    EXPECT_EQ(c.speedDistance, 40);
    EXPECT_EQ(c.lapTotalFormat, "0");
}

TEST(TrackConfig, LoadDerivesHighestLaneFormatsAndSplitDefaults) {
    auto d = decodeTrackConfigChecked(trackFile(4, {2, 7, 1, 3}));
    EXPECT_TRUE(d.problems.empty());
    const TrackConfig& c = d.config;
    EXPECT_FLOAT_EQ(c.minimumLap, 2.5f);
    EXPECT_EQ(c.lanes, 4);
    EXPECT_EQ(c.laneChangeOrder, order({7, 2, 7, 1, 3}));
    EXPECT_EQ(c.highestLane(), 7);
    EXPECT_EQ(c.lapTotalFormat, "0.00");
    EXPECT_EQ(c.decimalsText, "00");
    EXPECT_FALSE(c.splitTiming);
    EXPECT_EQ(c.partialLane, 3);
    EXPECT_EQ(c.speedLane, 4);
    EXPECT_EQ(c.speedDistance, 40);
}

TEST(TrackConfig, LapTotalFormatFollowsDigitsOfLargestPartial) {
    EXPECT_EQ(lapTotalFormatFor(0), "0");
    EXPECT_EQ(lapTotalFormatFor(7), "0.");
    EXPECT_EQ(lapTotalFormatFor(100), "0.00");
    EXPECT_EQ(lapTotalFormatFor(9999), "0.000");
    TrackConfig c = defaultTrackConfig();
    c.largestPartial = 9999;
    deriveTrackConfig(c);
    EXPECT_EQ(c.decimalsText, "000");
}

TEST(TrackConfig, SplitTimingOnlyFromLongFilesWithMinusOneAt299) {
    std::string base = trackFile(8, {1, 2, 3, 4, 5, 6, 7, 8});
    auto on = decodeTrackConfig(withSplit(base, -1, 5, 2, 6, 0));
    EXPECT_TRUE(on.splitTiming);
    EXPECT_EQ(on.partials, 3); // stored 5
    EXPECT_EQ(on.partialLane, 2);
    EXPECT_EQ(on.speedLane, 6);
    EXPECT_EQ(on.speedDistance, 40); // 0 stands for the default distance

    auto off = decodeTrackConfig(withSplit(base, 0, 5, 2, 6, 30));
    EXPECT_FALSE(off.splitTiming);
    EXPECT_EQ(off.partialLane, 7);
    EXPECT_EQ(off.speedLane, 8);
    EXPECT_EQ(off.speedDistance, 40);

    // A 300-byte file has split timing off even with -1 at 299.
    std::string exactly300 = withSplit(base, -1, 3, 2, 6, 30).substr(0, 300);
    EXPECT_FALSE(decodeTrackConfig(exactly300).splitTiming);
    // Cut inside the split fields: on, but the missing fields take their defaults.
    auto cut = decodeTrackConfigChecked(withSplit(base, -1, 3, 2, 6, 30).substr(0, 305));
    EXPECT_TRUE(cut.config.splitTiming);
    EXPECT_EQ(cut.config.speedLane, 8);
    EXPECT_FALSE(cut.problems.empty());
}

TEST(TrackConfig, SavedFileHasExactLengthAndRoundTrips) {
    test::TempDir dir;
    auto path = dir.path() / "PISTA.CFG";
    TrackConfig c = decodeTrackConfig(trackFile(6, {6, 5, 4, 3, 2, 1}, 3));
    c.minimumLap = 1.5f;
    ASSERT_TRUE(saveTrackConfig(path, c));
    std::string bytes = test::readBytes(path);
    EXPECT_EQ(bytes.size(), 31u + 2 * 6);
    EXPECT_EQ(bytes.substr(23, 6), std::string(6, '\0')); // unused gap up to the lane count
    auto back = loadTrackConfig(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(encodeTrackConfig(*back), bytes);

    c.splitTiming = true;
    c.partialLane = 2;
    c.speedLane = 5;
    c.speedDistance = 55;
    ASSERT_TRUE(saveTrackConfig(path, c));
    bytes = test::readBytes(path);
    EXPECT_EQ(bytes.size(), 309u);
    EXPECT_EQ(bytes.substr(43, 299 - 43), std::string(299 - 43, '\0'));
    back = loadTrackConfig(path);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->splitTiming);
    EXPECT_EQ(back->speedDistance, 55);
    EXPECT_EQ(encodeTrackConfig(*back), bytes);

    // 64 lanes and four circuits: the order ends at offset 158.
    TrackConfig full = defaultTrackConfig();
    full.circuits = {{1, 1}, {2, 17}, {3, 33}, {4, 49}};
    EXPECT_EQ(encodeTrackConfig(full).size(), 159u);
    EXPECT_EQ(decodeTrackConfig(encodeTrackConfig(full)).circuits[3].firstLane, 49);
}

TEST(TrackConfig, LaneCountAboveMaximumStaysVisibleButIsNotAllocated) {
    std::vector<int> lanes(200);
    for (int i = 0; i < 200; ++i) {
        lanes[static_cast<std::size_t>(i)] = i + 1;
    }
    TrackConfig c = decodeTrackConfig(trackFile(200, lanes));
    EXPECT_EQ(c.storedLanes, 200);
    EXPECT_TRUE(c.lanesAboveMaximum());
    EXPECT_EQ(c.lanes, 64);
    EXPECT_EQ(c.laneChangeOrder.size(), 65u);

    TrackConfig huge = decodeTrackConfig(trackFile(32767, {}));
    EXPECT_TRUE(huge.lanesAboveMaximum());
    EXPECT_EQ(huge.laneChangeOrder.size(), 65u);

    auto negative = decodeTrackConfigChecked(trackFile(-3, {}));
    EXPECT_FALSE(negative.config.lanesAboveMaximum());
    EXPECT_EQ(negative.config.lanes, 1);
    EXPECT_FALSE(negative.problems.empty());
}

TEST(TrackConfig, DamagedFilesReadAsFarAsSoundWithoutCrashing) {
    std::string good = trackFile(8, {8, 7, 6, 5, 4, 3, 2, 1});
    for (std::size_t n = 0; n < good.size(); ++n) {
        auto d = decodeTrackConfigChecked(good.substr(0, n));
        const TrackConfig& c = d.config;
        EXPECT_FALSE(d.problems.empty()) << n;
        ASSERT_GE(c.lanes, 1);
        ASSERT_LE(c.lanes, 64);
        ASSERT_EQ(c.laneChangeOrder.size(), static_cast<std::size_t>(c.lanes) + 1);
        ASSERT_GE(c.circuits.size(), 1u);
        ASSERT_LE(c.circuits.size(), 4u);
        std::vector<bool> seen(65);
        for (int i = 1; i <= c.lanes; ++i) {
            int lane = c.laneChangeOrder[static_cast<std::size_t>(i)];
            ASSERT_TRUE(lane >= 1 && lane <= 64 && !seen[static_cast<std::size_t>(lane)]) << n;
            seen[static_cast<std::size_t>(lane)] = true;
        }
    }
    // Cut in the middle of the order: what was read stays, the rest is filled with free lanes.
    auto cut = decodeTrackConfig(good.substr(0, 31 + 2 * 3));
    EXPECT_EQ(cut.laneChangeOrder, order({8, 8, 7, 6, 1, 2, 3, 4, 5}));
}

TEST(TrackConfig, ImpossibleValuesAreReplacedAndReported) {
    ByteWriter w;
    w.f32(std::numeric_limits<float>::quiet_NaN());
    w.i16(-5);
    w.zeros(3);
    w.i16(9); // circuits
    for (int v : {3, 1, 3, 0, 7, 5, 2, 9}) {
        w.i16(static_cast<std::int16_t>(v));
    }
    w.zeros(29 - w.size());
    w.i16(4);
    for (int lane : {3, 3, 0, 99}) {
        w.i16(static_cast<std::int16_t>(lane));
    }
    auto d = decodeTrackConfigChecked(w.bytes());
    const TrackConfig& c = d.config;
    EXPECT_EQ(c.minimumLap, 0.0f);
    EXPECT_EQ(c.largestPartial, 0);
    ASSERT_EQ(c.circuits.size(), 4u);
    // Duplicated and impossible ports take the free ones; a lane 0 start follows the rule.
    EXPECT_EQ(c.circuits[0].port, 3);
    EXPECT_EQ(c.circuits[1].port, 1);
    EXPECT_EQ(c.circuits[2].port, 4);
    EXPECT_EQ(c.circuits[3].port, 2);
    EXPECT_EQ(c.circuits[1].firstLane, 2);
    EXPECT_EQ(c.laneChangeOrder, order({4, 3, 1, 2, 4}));
    EXPECT_GE(d.problems.size(), 6u);
}

TEST(TrackConfig, UnreadableFileIsAnError) {
    test::TempDir dir;
    auto r = loadTrackConfig(dir.path() / "PISTA.CFG");
    ASSERT_FALSE(r);
    EXPECT_NE(r.error().find("PISTA.CFG"), std::string::npos);
}
