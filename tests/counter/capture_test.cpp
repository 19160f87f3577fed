#include "counter/capture.h"
#include "storage/program_settings.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace cronovolta::test {
namespace {

TEST(Capture, WrittenLinesReadBack) {
    TempDir dir;
    CaptureWriter writer(dir.path() / "heat.cap");
    ASSERT_TRUE(writer.comment("DS030\non circuit 1"));
    ASSERT_TRUE(writer.bytes(36000.12346, 2, std::string("\x01\x12\xA6\x00", 4)));
    ASSERT_TRUE(writer.bytes(36001.5, 1, std::string(40, '\xE0')));
    for (int key : std::initializer_list<int>{'s', kKeyEsc, kKeyEnter, kKeyShift, ' ', '+', 8}) {
        ASSERT_TRUE(writer.key(36002.0, key));
    }
    ASSERT_TRUE(writer.lane(36003.25, 12));

    const std::string text = readBytes(writer.file());
    EXPECT_TRUE(text.starts_with("# DS030 on circuit 1\n36000.1235 2 01 12 A6 00\n"));
    EXPECT_NE(text.find("36002.0000 key esc\n36002.0000 key enter\n36002.0000 key shift\n"
                        "36002.0000 key space\n36002.0000 key +\n36002.0000 key 0x08\n"),
              std::string::npos);

    const auto contents = parseCapture(text);
    EXPECT_TRUE(contents.problems.empty());
    ASSERT_EQ(contents.events.size(), 11u); // the 40 bytes take two lines
    EXPECT_EQ(contents.events[0].circuit, 2);
    EXPECT_EQ(contents.events[0].bytes, std::string("\x01\x12\xA6\x00", 4));
    EXPECT_EQ(contents.events[1].bytes.size() + contents.events[2].bytes.size(), 40u);
    EXPECT_EQ(contents.events[3].key, 's');
    EXPECT_EQ(contents.events[6].key, kKeyShift);
    EXPECT_EQ(contents.events[9].key, 8);
    EXPECT_EQ(contents.events[10].kind, CaptureEvent::Kind::Lane);
    EXPECT_EQ(contents.events[10].lane, 12);
    EXPECT_DOUBLE_EQ(contents.events[10].seconds, 36003.25);
}

TEST(Capture, BadLinesAreReportedWithTheirNumberAndSkipped) {
    const auto contents = parseCapture("# a heat\r\n"
                                       "100.0000 1 A0 a1\r\n"
                                       "\n"
                                       "abc 1 A0\n"
                                       "100.5 5 A0\n"
                                       "100.5 1 A\n"
                                       "100.5 1 GG\n"
                                       "100.5 key\n"
                                       "100.5 key ab\n"
                                       "100.5 lane 65\n"
                                       "90000 1 00\n"
                                       "101,5 lane 3\n"
                                       "   \t\n"
                                       "102 KEY Esc\n"
                                       "103 1 -1\n"
                                       "104 key 0x-1");
    ASSERT_EQ(contents.events.size(), 3u);
    EXPECT_EQ(contents.events[0].bytes, "\xA0\xA1");
    EXPECT_DOUBLE_EQ(contents.events[1].seconds, 101.5);
    EXPECT_EQ(contents.events[2].key, kKeyEsc);
    std::vector<int> lines;
    for (const auto& problem : contents.problems) {
        lines.push_back(problem.line);
        EXPECT_FALSE(problem.message.empty());
    }
    EXPECT_EQ(lines, (std::vector<int>{4, 5, 6, 7, 8, 9, 10, 11, 15, 16}));
}

// The host clock just before midnight must not be written as 86400, which no reader takes.
TEST(Capture, TheLastInstantOfTheDayReadsBack) {
    TempDir dir;
    CaptureWriter writer(dir.path() / "heat.cap");
    ASSERT_TRUE(writer.lane(86399.99997, 4));
    ASSERT_TRUE(writer.bytes(86399.99999, 1, "\xA1"));
    const auto contents = parseCapture(readBytes(writer.file()));
    EXPECT_TRUE(contents.problems.empty());
    ASSERT_EQ(contents.events.size(), 2u);
    EXPECT_DOUBLE_EQ(contents.events[0].seconds, 86399.9999);
}

} // namespace
} // namespace cronovolta::test

// The comments that name the counter model the bytes came from.
TEST(Capture, ModelLinesOfBothWritersAreRead) {
    const auto contents = cronovolta::parseCapture("# simulated DS300\n"
                                                   "36000.0000 1 01\n"
                                                   "# three race heats\n"
                                                   "#DS300 & DS4port on 2 circuit(s)\n"
                                                   "# simulated DS999\n"
                                                   "# DS030 on 1 circuit(s)\n");
    ASSERT_EQ(contents.models.size(), 3u);
    EXPECT_EQ(contents.models[0].line, 1);
    EXPECT_EQ(contents.models[0].model, static_cast<int>(cronovolta::CounterModel::DS300));
    EXPECT_EQ(contents.models[1].line, 4);
    EXPECT_EQ(contents.models[1].model, static_cast<int>(cronovolta::CounterModel::DS300DS4port));
    EXPECT_EQ(contents.models[2].model, static_cast<int>(cronovolta::CounterModel::DS030));
    EXPECT_EQ(contents.events.size(), 1u);
    EXPECT_TRUE(contents.problems.empty());
    EXPECT_TRUE(cronovolta::parseCapture("# a heat\n36000.0000 key s\n").models.empty());
}
