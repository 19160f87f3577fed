#include "counter/decoder_test_support.h"
#include "counter/ds003_reader.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

using Result = RecordingHeatControl::Result;

const std::string kStx(1, '\x02');
const std::string kEot(1, '\x04');

TEST(Ds003, ResultBlockReplaysTheHeat) {
    DecoderRig rig{CounterModel::DS003, trackWith(2, {1})};
    rig.feed(1, "noise\r\n" + kStx + "0012123456 0010130000 " + kEot, 500.0);
    EXPECT_EQ(rig.heat.joined(), "start; arm end; result 1 12 12.3456; result 2 10 13.0000; end");
    EXPECT_DOUBLE_EQ(rig.heat.deadline, 502.5);
    EXPECT_FALSE(rig.heat.running);
}

TEST(Ds003, MinimumLapAndEmptyLanesGiveNoValidTime) {
    DecoderRig rig{CounterModel::DS003, trackWith(3, {1}, 5.0f)};
    rig.feed(1, kStx + "0020040000 0021050000 0000000000 " + kEot);
    EXPECT_EQ(rig.heat.results,
              (std::vector<Result>{{1, 20, 99.9999f}, {2, 21, 5.0f}, {3, 0, 99.9999f}}));
}

TEST(Ds003, FieldsReadBlanksAndStopAtOtherCharacters) {
    EXPECT_EQ(fieldValue("0012"), 12.0);
    EXPECT_EQ(fieldValue(" 1 2"), 12.0);
    EXPECT_EQ(fieldValue("    "), 0.0);
    EXPECT_EQ(fieldValue("12x4"), 12.0);
    EXPECT_EQ(fieldValue("-003"), -3.0);
    EXPECT_EQ(fieldValue("1.5"), 1.5);

    DecoderRig rig{CounterModel::DS003, trackWith(2, {1})};
    rig.feed(1, kStx + "  -3 12345|  7x 99999 " + kEot);
    EXPECT_EQ(rig.heat.results,
              (std::vector<Result>{{1, 0, 1.2345f}, {2, 7, 9.9999f}})); // negative laps: 0
}

TEST(Ds003, ShortBlockStopsAtTheFirstMissingRecord) {
    DecoderRig rig{CounterModel::DS003, trackWith(4, {1})};
    rig.feed(1, kStx + "0001100000 00021000" + kEot);
    EXPECT_EQ(rig.heat.joined(), "start; arm end; result 1 1 10.0000; end");
}

TEST(Ds003, AnySplitAndOnlyLanesOfTheTrack) {
    const std::string block = "xx" + kStx + "0001100000 0002200000 0003300000 " + kEot;
    for (std::size_t cut = 0; cut <= block.size(); ++cut) {
        DecoderRig rig{CounterModel::DS003, trackWith(2, {1})};
        rig.feed(1, block.substr(0, cut));
        rig.feed(1, block.substr(cut));
        EXPECT_EQ(rig.heat.joined(), "start; arm end; result 1 1 10.0000; result 2 2 20.0000; end");
    }
}

TEST(Ds003, HiddenPanelCollectsNothing) {
    DecoderRig rig{CounterModel::DS003, trackWith(2, {1})};
    rig.heat.panelShown = false;
    rig.feed(1, kStx + "0012123456 ");
    rig.heat.panelShown = true;
    rig.feed(1, "0010130000 " + kEot);
    EXPECT_EQ(rig.heat.joined(), ""); // no STX was collected: the block is discarded
    rig.feed(1, kStx + "0010130000 " + kEot);
    EXPECT_EQ(rig.heat.results, (std::vector<Result>{{1, 10, 13.0f}}));
}

TEST(Ds003, RefusedStartOrRunningHeat) {
    DecoderRig refused{CounterModel::DS003, trackWith(1, {1})};
    refused.heat.refuseStart = true;
    refused.feed(1, kStx + "0012123456 " + kEot);
    EXPECT_EQ(refused.heat.joined(), "start");

    DecoderRig running{CounterModel::DS003, trackWith(1, {1})};
    running.startRunning();
    running.feed(1, kStx + "0012123456 " + kEot);
    EXPECT_EQ(running.heat.joined(), "arm end; result 1 12 12.3456; end");
}

TEST(Ds003, EndlessNoiseDoesNotGrowTheBuffer) {
    DecoderRig rig{CounterModel::DS003, trackWith(1, {1})};
    rig.feed(1, std::string(100000, 'z') + kStx + "0001100000 " + kEot);
    EXPECT_EQ(rig.heat.results, (std::vector<Result>{{1, 1, 10.0f}}));
    rig.feed(1, kStx + std::string(100000, '9') + kEot); // no sound record survives the cut
    EXPECT_EQ(rig.heat.results.size(), 1u);
}

} // namespace
} // namespace cronovolta::test
