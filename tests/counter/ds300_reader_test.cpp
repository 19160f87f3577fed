#include "counter/decoder_test_support.h"
#include "counter/ds300_reader.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

using Crossing = RecordingHeatControl::Crossing;

// A frame with the given status, box and mask and the time bytes 0x01 0x02 0x03 0x04;
// `tag` fills an unused position so that otherwise equal frames differ.
std::string frame(int status, int box = 1, int mask = 0, int tag = 0) {
    std::string f(ds300::kFrameSize, '\0');
    f[0] = static_cast<char>(ds300::kFrameStart);
    f[1] = static_cast<char>(tag);
    f[ds300::kBox] = static_cast<char>(box);
    f[ds300::kStatus] = static_cast<char>(status);
    f[ds300::kMask] = static_cast<char>(mask);
    f[ds300::kMinutes] = 0x01;
    f[ds300::kMinutes + 1] = 0x02;
    f[ds300::kMinutes + 2] = 0x03;
    f[ds300::kMinutes + 3] = 0x04;
    f[20] = static_cast<char>(ds300::kFrameEnd);
    return f;
}

std::vector<Crossing> lapsOf(CounterModel model, const TrackConfig& track, int box) {
    DecoderRig rig{model, track};
    rig.startRunning();
    rig.feed(1, frame(0, box, 1));
    return rig.heat.crossings;
}

TEST(Ds300, LaneAndTimeOfEachModel) {
    const auto track = trackWith(16, {1});
    EXPECT_EQ(lapsOf(CounterModel::DS300, track, 1), (std::vector<Crossing>{{8, 62.0304f}}));
    EXPECT_EQ(lapsOf(CounterModel::DS300DS4port, track, 2),
              (std::vector<Crossing>{{16, 62.0304f}}));
    EXPECT_EQ(lapsOf(CounterModel::DS200, track, 1), (std::vector<Crossing>{{1, 62.0304f}}));
    // The box number only counts for the DS4port model.
    EXPECT_EQ(lapsOf(CounterModel::DS300, track, 2), (std::vector<Crossing>{{8, 62.0304f}}));
    // Box 2 of a DS4port is lane 16, outside a track of 8 lanes; box 0 lies below lane 1.
    EXPECT_TRUE(lapsOf(CounterModel::DS300DS4port, trackWith(8, {1}), 2).empty());
    EXPECT_TRUE(lapsOf(CounterModel::DS300DS4port, trackWith(8, {1}), 0).empty());
}

TEST(Ds300, SameMaskFromDs200AndDs030IsADifferentLane) {
    DecoderRig rig{CounterModel::DS200, trackWith(8, {1})};
    rig.startRunning();
    rig.feed(1, frame(0, 1, 4));
    EXPECT_EQ(rig.heat.crossings.at(0).lane, 3);
}

TEST(Ds300, FrameAssemblyHuntsForStartAndDropsBrokenFrames) {
    DecoderRig rig{CounterModel::DS300, trackWith(8, {1})};
    rig.startRunning();
    const std::string good = frame(0, 1, 2);
    rig.feed(1, bytes({0x00, 0xEB, 0x55}) + good);
    EXPECT_EQ(rig.heat.crossings.size(), 1u);

    // 21st byte is not 0xEB: dropped; when it is 0xE0 it opens the next frame.
    std::string broken = frame(0, 1, 4, 1);
    broken[20] = static_cast<char>(0xE0);
    rig.feed(1, broken + frame(0, 1, 8, 2).substr(1));
    ASSERT_EQ(rig.heat.crossings.size(), 2u);
    EXPECT_EQ(rig.heat.crossings[1].lane, 5);

    broken[20] = 0x33;
    rig.feed(1, broken + frame(0, 1, 16, 3));
    ASSERT_EQ(rig.heat.crossings.size(), 3u);
    EXPECT_EQ(rig.heat.crossings[2].lane, 4);
}

TEST(Ds300, RepeatedFrameCountsOnceEvenAcrossAHiddenPanel) {
    DecoderRig rig{CounterModel::DS300, trackWith(8, {1})};
    rig.startRunning();
    const std::string lap = frame(0, 1, 1);
    rig.feed(1, lap + lap);
    EXPECT_EQ(rig.heat.crossings.size(), 1u);
    rig.feed(1, frame(0, 1, 1, 7) + lap);
    EXPECT_EQ(rig.heat.crossings.size(), 3u);

    // Frames keep being assembled while the panel is hidden, and still count as the last one.
    rig.heat.panelShown = false;
    const std::string other = frame(0, 1, 2);
    rig.feed(1, other);
    rig.heat.panelShown = true;
    rig.feed(1, other);
    EXPECT_EQ(rig.heat.crossings.size(), 3u);
}

TEST(Ds300, AnySplitOfAFrameDecodesTheSame) {
    const std::string stream = frame(0xA5) + frame(0xA6) + frame(0, 1, 64) + frame(0xA3);
    for (std::size_t cut = 0; cut <= stream.size(); cut += 3) {
        DecoderRig rig{CounterModel::DS300, trackWith(8, {1})};
        rig.startRunning();
        for (std::size_t at = 0; at < stream.size(); at += cut == 0 ? 1 : cut) {
            rig.feed(1, stream.substr(at, cut == 0 ? 1 : cut));
        }
        EXPECT_EQ(rig.heat.joined(), "pause; restart red; lap 2 62.0304; resume") << cut;
    }
}

TEST(Ds300, StatusBeforeAndDuringTheHeat) {
    DecoderRig rig{CounterModel::DS300, trackWith(8, {1})};
    int tag = 0;
    auto send = [&](int status) { rig.feed(1, frame(status, 1, 0, ++tag)); };
    send(0xA4);
    send(0xA5);
    send(0xA6);
    EXPECT_TRUE(rig.heat.calls.empty());
    send(0xA1);
    send(0xA2);
    send(0xA3);
    EXPECT_EQ(rig.heat.joined(), "lights red; lights green; lights normal; start");
    rig.heat.calls.clear();
    send(0xA2); // not paused: nothing
    send(0xA6);
    send(0xA3);
    send(0xA5);
    send(0xA5);
    send(0xA6);
    send(0xA2);
    send(0xA3);
    send(0xA4);
    send(0xA7);
    EXPECT_EQ(rig.heat.joined(), "pause; restart red; restart green; resume; arm end; arm end");
}

TEST(Ds300, RedStatusWhileRunningIsALaneReport) {
    DecoderRig rig{CounterModel::DS300, trackWith(8, {1})};
    rig.startRunning();
    rig.feed(1, frame(0xA1, 1, 128));
    rig.feed(1, frame(0x00, 1, 3));
    EXPECT_EQ(rig.heat.joined(), "lap 1 62.0304");
}

TEST(Ds300, SecondCircuitIsOffsetByItsFirstLane) {
    DecoderRig rig{CounterModel::DS300, trackWith(8, {1, 5})};
    rig.startRunning();
    rig.feed(1, frame(0, 1, 1)); // lane 8 of circuit 1: outside 1..4
    rig.feed(2, frame(0, 1, 1)); // lane 12: outside 5..8
    rig.feed(2, frame(0, 1, 16));
    EXPECT_EQ(rig.heat.crossings, (std::vector<Crossing>{{8, 62.0304f}}));
}

} // namespace
} // namespace cronovolta::test
