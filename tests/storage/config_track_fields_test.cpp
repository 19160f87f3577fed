#include "storage/record_io.h"
#include "storage/track_fields.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

using namespace cronovolta;

namespace {

TrackConfig track(int lanes) {
    TrackConfig c = defaultTrackConfig();
    leaveLaneCount(c, std::to_string(lanes));
    return c;
}

std::vector<int> orderOf(const TrackConfig& c) {
    return {c.laneChangeOrder.begin() + 1, c.laneChangeOrder.end()};
}

std::vector<int> firstLanes(const TrackConfig& c) {
    std::vector<int> out;
    for (const auto& circuit : c.circuits) {
        out.push_back(circuit.firstLane);
    }
    return out;
}

std::vector<int> ports(const TrackConfig& c) {
    std::vector<int> out;
    for (const auto& circuit : c.circuits) {
        out.push_back(circuit.port);
    }
    return out;
}

std::string i16(int v) {
    ByteWriter w;
    w.i16(static_cast<std::int16_t>(v));
    return w.take();
}

} // namespace

TEST(TrackFields, LaneCountClampsAndResetsOrderAndSplitLanes) {
    TrackConfig c = defaultTrackConfig();
    EXPECT_EQ(leaveLaneCount(c, "0"), "1");
    EXPECT_EQ(c.lanes, 1);
    EXPECT_EQ(c.partialLane, 1);
    EXPECT_EQ(leaveLaneCount(c, "200"), "64");
    EXPECT_EQ(leaveLaneCount(c, "abc"), "1");
    EXPECT_EQ(leaveLaneCount(c, "8,7"), "8");
    EXPECT_EQ(orderOf(c), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(c.highestLane(), 8);
    EXPECT_EQ(c.speedLane, 8);
    EXPECT_EQ(c.partialLane, 7);

    // Leaving the field with the same count keeps the order that was typed.
    leaveOrderBox(c, 1, "8");
    c.speedLane = 3;
    EXPECT_EQ(leaveLaneCount(c, "8"), "8");
    EXPECT_EQ(c.laneChangeOrder[1], 8);
    EXPECT_EQ(c.speedLane, 3);
    leaveLaneCount(c, "4");
    EXPECT_EQ(orderOf(c), (std::vector<int>{1, 2, 3, 4}));
}

TEST(TrackFields, OrderBoxesStayDistinctBySwapping) {
    TrackConfig c = track(8);
    auto change = leaveOrderBox(c, 7, "9"); // lanes beyond N are allowed
    EXPECT_EQ(change.swappedPosition, 0);
    change = leaveOrderBox(c, 3, "9");
    EXPECT_EQ(change.text, "9");
    EXPECT_EQ(change.swappedPosition, 7);
    EXPECT_EQ(c.laneChangeOrder[3], 9);
    EXPECT_EQ(c.laneChangeOrder[7], 3);
    EXPECT_EQ(c.highestLane(), 9);

    EXPECT_EQ(leaveOrderBox(c, 1, "-4").text, "1"); // 1 is already there: nothing moves
    EXPECT_EQ(leaveOrderBox(c, 2, "65").text, "64");
    EXPECT_EQ(c.highestLane(), 64);
    EXPECT_EQ(leaveOrderBox(c, 9, "5").text, ""); // no such position
    EXPECT_EQ(nextOrderBox(3, 8), 4);
    EXPECT_EQ(nextOrderBox(8, 8), 1);
}

TEST(TrackFields, MinimumLapAndLargestPartial) {
    TrackConfig c = defaultTrackConfig();
    EXPECT_EQ(leaveMinimumLap(c, "1,5"), "1.50");
    EXPECT_FLOAT_EQ(c.minimumLap, 1.5f);
    EXPECT_EQ(leaveMinimumLap(c, "-2"), "00.00");
    EXPECT_EQ(c.minimumLap, 0.0f);
    EXPECT_EQ(leaveMinimumLap(c, "150"), "99.99");
    EXPECT_FLOAT_EQ(c.minimumLap, 99.99f);
    EXPECT_EQ(leaveMinimumLap(c, "3.456"), "3.46");
    EXPECT_FLOAT_EQ(c.minimumLap, 3.46f); // what the field shows is what is kept
    EXPECT_EQ(leaveMinimumLap(c, "x"), "0.00");

    EXPECT_EQ(leaveLargestPartial(c, "100"), "100");
    EXPECT_EQ(c.lapTotalFormat, "0.00");
    EXPECT_EQ(leaveLargestPartial(c, "12345"), "9999");
    EXPECT_EQ(c.lapTotalFormat, "0.000");
    EXPECT_EQ(leaveLargestPartial(c, "-3"), "0");
    EXPECT_EQ(leaveLargestPartial(c, "cent"), "0");
    EXPECT_EQ(c.lapTotalFormat, "0");
    EXPECT_EQ(leaveLargestPartial(c, "37.9"), "37");
}

TEST(TrackFields, CircuitCountSpreadsPortsAndFirstLanes) {
    TrackConfig c = track(8);
    chooseCircuitCount(c, 2);
    EXPECT_EQ(ports(c), (std::vector<int>{1, 2}));
    EXPECT_EQ(firstLanes(c), (std::vector<int>{1, 5}));
    c = track(10);
    chooseCircuitCount(c, 4); // 10 / 4 steps of 2.5, rounded half away from zero
    EXPECT_EQ(firstLanes(c), (std::vector<int>{1, 4, 6, 9}));
    EXPECT_EQ(ports(c), (std::vector<int>{1, 2, 3, 4}));
    chooseCircuitCount(c, 1);
    EXPECT_EQ(firstLanes(c), (std::vector<int>{1}));
    EXPECT_EQ(portCaption(3), "COM3");
}

TEST(TrackFields, PortsSwapAndFirstLanesStayOrdered) {
    TrackConfig c = track(16);
    chooseCircuitCount(c, 3);
    EXPECT_EQ(choosePort(c, 1, 3), 3);
    EXPECT_EQ(ports(c), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(choosePort(c, 2, 4), 0);
    EXPECT_EQ(ports(c), (std::vector<int>{3, 4, 1}));

    EXPECT_EQ(firstLanes(c), (std::vector<int>{1, 6, 12}));
    EXPECT_EQ(leaveFirstLane(c, 1, "5"), "1"); // circuit 1 cannot be edited
    EXPECT_EQ(leaveFirstLane(c, 2, "-14"), "14");
    EXPECT_EQ(firstLanes(c), (std::vector<int>{1, 14, 15}));
    EXPECT_EQ(leaveFirstLane(c, 2, "0"), "2");
    EXPECT_EQ(firstLanes(c), (std::vector<int>{1, 2, 15}));
    EXPECT_EQ(leaveFirstLane(c, 3, "1"), "3");
    EXPECT_EQ(leaveFirstLane(c, 3, "2"), "2"); // equal to the predecessor is kept
    EXPECT_EQ(leaveFirstLane(c, 2, "99999"), "64");
    // The circuits pushed on after it stay on the track too.
    EXPECT_EQ(firstLanes(c), (std::vector<int>{1, 64, 64}));
    chooseCircuitCount(c, 4);
    leaveFirstLane(c, 2, "63");
    leaveFirstLane(c, 3, "64");
    leaveFirstLane(c, 4, "1");
    EXPECT_EQ(firstLanes(c), (std::vector<int>{1, 63, 64, 64}));
}

TEST(TrackFields, SplitFieldsClampToTheLaneCount) {
    TrackConfig c = track(12);
    chooseSplitTiming(c, true);
    EXPECT_TRUE(c.splitTiming);
    EXPECT_EQ(leavePartialLane(c, "0"), "1");
    EXPECT_EQ(leavePartialLane(c, "30"), "12");
    EXPECT_EQ(leaveSpeedLane(c, "5.9"), "5");
    EXPECT_EQ(c.speedLane, 5);
    EXPECT_EQ(leaveSpeedDistance(c, "-35"), "35");
    EXPECT_EQ(leaveSpeedDistance(c, "0"), "40");
    EXPECT_EQ(c.speedDistance, 40);
    leavePartials(c, "5");
    EXPECT_EQ(c.partials, 5);
}

TEST(TrackFields, DialogOpeningClampsAStoredCountAboveTheMaximum) {
    TrackConfig c = defaultTrackConfig();
    c.storedLanes = 90;
    c.laneChangeOrder[1] = 40;
    c.laneChangeOrder[40] = 1;
    prepareTrackDialog(c);
    EXPECT_FALSE(c.lanesAboveMaximum());
    EXPECT_EQ(c.lanes, 64);
    EXPECT_EQ(c.laneChangeOrder[1], 1);

    TrackConfig kept = track(4);
    leaveOrderBox(kept, 1, "4");
    prepareTrackDialog(kept);
    EXPECT_EQ(orderOf(kept), (std::vector<int>{4, 2, 3, 1}));
}

TEST(TrackFields, HeatsRunLockTheLaneCount) {
    test::TempDir dir;
    const auto& event = dir.path();
    EXPECT_FALSE(heatsAlreadyRun(event));
    // Three race series; only the third has run a heat.
    test::writeBytes(event / "PROVA.DAD", i16(0) + i16(1) + i16(1) + i16(3));
    test::writeBytes(event / "OFC001.PAR", i16(0));
    test::writeBytes(event / "CRS001.PAR", i16(0));
    test::writeBytes(event / "CRS003.PAR", i16(2) + "rest");
    EXPECT_TRUE(heatsAlreadyRun(event));
    test::writeBytes(event / "PROVA.DAD", i16(0) + i16(1) + i16(1) + i16(2));
    EXPECT_FALSE(heatsAlreadyRun(event)); // series 3 is not listed
    test::writeBytes(event / "SPP001.PAR", i16(1));
    EXPECT_TRUE(heatsAlreadyRun(event));
    test::writeBytes(event / "SPP001.PAR", "\x01"); // truncated counter
    EXPECT_FALSE(heatsAlreadyRun(event));
}
