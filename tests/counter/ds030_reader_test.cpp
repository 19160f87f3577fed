#include "counter/counter_model.h"
#include "counter/decoder_test_support.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

using Crossing = RecordingHeatControl::Crossing;

TEST(CounterModel, LaneOfBitFollowsEachModelsBitOrder) {
    EXPECT_EQ(laneOfBit(1, CounterModel::DS030), 8);
    EXPECT_EQ(laneOfBit(128, CounterModel::DS030), 1);
    EXPECT_EQ(laneOfBit(4, CounterModel::DS030), 6);
    EXPECT_EQ(laneOfBit(4, CounterModel::DS300), 6);
    EXPECT_EQ(laneOfBit(4, CounterModel::DS200), 3);
    EXPECT_EQ(laneOfBit(128, CounterModel::DS200), 8);
    for (int value : {0, 3, 5, 255, 0xA0}) {
        EXPECT_EQ(laneOfBit(static_cast<std::uint8_t>(value), CounterModel::DS030), 0) << value;
    }
    for (auto model : {CounterModel::DS030, CounterModel::DS200}) {
        for (int lane = 1; lane <= 8; ++lane) {
            EXPECT_EQ(laneOfBit(laneMask(lane, model), model), lane);
        }
    }
}

TEST(CounterModel, BcdDigitsAboveNineEndTheNumber) {
    EXPECT_EQ(bcdValue(0x59), 59);
    EXPECT_EQ(bcdValue(0x07), 7);
    EXPECT_EQ(bcdValue(0x1A), 1);
    EXPECT_EQ(bcdValue(0xA1), 0);
    EXPECT_EQ(bcdValue(0xFF), 0);
    EXPECT_EQ(toBcd(42), 0x42);
}

TEST(CounterModel, NamesAndLineSpeeds) {
    EXPECT_EQ(counterModelFromName("ds300 & ds4port"), CounterModel::DS300DS4port);
    EXPECT_EQ(counterModelFromName("DS4port"), CounterModel::DS300DS4port);
    EXPECT_EQ(counterModelFromName("DS200"), CounterModel::DS200);
    EXPECT_EQ(counterModelFromName("0"), CounterModel::DS003);
    EXPECT_FALSE(counterModelFromName("DS9000"));
    EXPECT_EQ(counterModelName(CounterModel::DS300DS4port), "DS300 & DS4port");
    EXPECT_EQ(counterBaudRate(CounterModel::DS003), 1200);
    EXPECT_EQ(counterBaudRate(CounterModel::DS030), 4800);
    EXPECT_EQ(counterBaudRate(CounterModel::DS300), 56000);
    EXPECT_EQ(counterBaudRate(CounterModel::DS300DS4port), 56000);
    EXPECT_EQ(counterBaudRate(CounterModel::DS200), 4800);
}

TEST(CircuitLayout, EachCircuitEndsWhereTheNextBegins) {
    auto setup = counterSetup(trackWith(8, {1, 5}), CounterModel::DS030);
    ASSERT_EQ(setup.circuits.size(), 2u);
    EXPECT_EQ(setup.circuits[0].first, 1);
    EXPECT_EQ(setup.circuits[0].last, 4);
    EXPECT_EQ(setup.circuits[1].first, 5);
    EXPECT_EQ(setup.circuits[1].last, 8);

    // The last circuit ends at the highest lane of the order, not at the lane count.
    TrackConfig track = trackWith(4, {1});
    track.laneChangeOrder = {12, 3, 12, 7, 1};
    EXPECT_EQ(counterSetup(track, CounterModel::DS030).circuits[0].last, 12);
}

class Ds030 : public ::testing::Test {
protected:
    DecoderRig rig{CounterModel::DS030, trackWith(8, {1})};
};

TEST_F(Ds030, LaneReportGivesLaneAndCounterTime) {
    rig.startRunning();
    rig.feed(1, bytes({1, 0x12, 0x34, 0x56}));
    rig.feed(1, bytes({128, 0xA6, 0x09, 0xB3, 0x99, 0x00}));
    ASSERT_EQ(rig.heat.crossings.size(), 2u);
    EXPECT_EQ(rig.heat.crossings[0], (Crossing{8, 12.3456f}));
    EXPECT_EQ(rig.heat.crossings[1], (Crossing{1, 9.99f}));
}

TEST_F(Ds030, AnySplitOfTheStreamDecodesTheSame) {
    rig.startRunning();
    const std::string stream =
        bytes({4, 0xA7, 0x45, 0x00, 0xA6, 0x01, 0xA3, 0xA2, 32, 0x05, 0x50, 0x99, 0xA4, 0xA5});
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        DecoderRig split{CounterModel::DS030, trackWith(8, {1})};
        split.startRunning();
        split.feed(1, stream.substr(0, cut));
        split.feed(1, stream.substr(cut));
        EXPECT_EQ(split.heat.calls,
                  std::vector<std::string>(
                      {"lap 6 45.0001", "pause", "resume", "lap 3 5.5099", "arm end", "arm end"}))
            << "cut at " << cut;
    }
}

TEST_F(Ds030, StartLightsAndStartBeforeTheHeat) {
    rig.feed(1, bytes({0xA0, 0xA1, 0xA3, 0xA4, 0x01, 0xA2}));
    EXPECT_EQ(rig.heat.joined(), "lights red; lights green; lights normal; start");
    EXPECT_TRUE(rig.heat.running);
}

TEST_F(Ds030, PauseResumeAndStatusBytesThatDoNothingWhileRunning) {
    rig.startRunning();
    rig.feed(1, bytes({0xA2, 0xA0, 0xA1, 0xA3, 0xA3, 0xA2, 0x03, 0xFF}));
    EXPECT_EQ(rig.heat.joined(), "pause; resume");
    EXPECT_FALSE(rig.heat.paused);
}

TEST_F(Ds030, EachEndSignalPushesTheDeadlineOn) {
    rig.startRunning();
    rig.feed(1, bytes({0xA4}), 300.0);
    rig.feed(1, bytes({0xA5}), 301.0);
    EXPECT_DOUBLE_EQ(rig.heat.deadline, 303.5);
}

TEST_F(Ds030, EndSignalInsideAReportArmsTheEndAndIsNoDigit) {
    rig.startRunning();
    rig.feed(1, bytes({2, 0x10, 0xA4, 0x20, 0x30}), 50.0);
    EXPECT_EQ(rig.heat.joined(), "arm end; lap 7 10.2030");
}

TEST_F(Ds030, NothingHappensWhileThePanelIsHidden) {
    rig.heat.panelShown = false;
    rig.feed(1, bytes({0xA0, 0xA2, 1, 0x12, 0x34, 0x56}));
    rig.startRunning();
    rig.feed(1, bytes({0xA3, 1, 0x12, 0x34, 0x56, 0xA4}));
    EXPECT_TRUE(rig.heat.calls.empty());
}

TEST_F(Ds030, ReportCutShortByTheEndOfTheHeatIsDropped) {
    rig.startRunning();
    rig.feed(1, bytes({1, 0x12}));
    rig.heat.running = false; // the operator ended the heat with S meanwhile
    rig.feed(1, bytes({0x34, 0x56}));
    EXPECT_TRUE(rig.heat.crossings.empty());
}

TEST(Ds030TwoCircuits, LanesOutsideTheCircuitAreIgnoredWithTheirTimeBytes) {
    DecoderRig rig{CounterModel::DS030, trackWith(8, {1, 5})};
    rig.startRunning();
    // Mask 1 is lane 8 of circuit 1 (lanes 1..4); its time bytes 0x20 0x40 0x80 would read
    // as masks of lanes 3, 2 and 1 if they were taken as fresh bytes.
    rig.feed(1, bytes({1, 0x20, 0x40, 0x80}));
    EXPECT_TRUE(rig.heat.crossings.empty());
    rig.feed(1, bytes({16, 0x20, 0x40, 0x80}));
    rig.feed(2, bytes({128, 0x01, 0x00, 0x00}));
    rig.feed(2, bytes({1, 0x01, 0x00, 0x00}));
    EXPECT_EQ(rig.heat.crossings,
              (std::vector<Crossing>{{4, 20.408f}, {5, 1.0f}})); // lane 12 of circuit 2 ignored
}

TEST(Ds030TwoCircuits, CircuitsKeepTheirOwnHalfReceivedReports) {
    DecoderRig rig{CounterModel::DS030, trackWith(8, {1, 5})};
    rig.startRunning();
    rig.feed(1, bytes({16, 0x11}));
    rig.feed(2, bytes({16, 0x22}));
    rig.feed(1, bytes({0x00, 0x00}));
    rig.feed(2, bytes({0x00, 0x00}));
    EXPECT_EQ(rig.heat.crossings, (std::vector<Crossing>{{4, 11.0f}, {8, 22.0f}}));
    rig.feed(3, bytes({0xA4})); // no such circuit
    EXPECT_EQ(rig.heat.calls.size(), 2u);
}

TEST(Ds030Mapping, SameMaskDiffersBetweenDs030AndDs200) {
    DecoderRig ds030{CounterModel::DS030, trackWith(8, {1})};
    ds030.startRunning();
    ds030.feed(1, bytes({4, 0x01, 0x00, 0x00}));
    EXPECT_EQ(ds030.heat.crossings.at(0).lane, 6);
}

} // namespace
} // namespace cronovolta::test
