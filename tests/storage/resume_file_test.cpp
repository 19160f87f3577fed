#include "storage/resume_file.h"

#include <gtest/gtest.h>

#include <random>

#include "support/temp_dir.h"

using namespace cronovolta;
using cronovolta::test::TempDir;

TEST(ResumeFile, TheLastStartTimeCounts) {
    auto state = parseResumeState("3\r\n4\r\n2\r\n5\r\n41000.5\r\n41100.25\r\n");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->event, 3);
    EXPECT_EQ(state->programmeType, ProgrammeType::Race);
    EXPECT_EQ(state->seriesNumber, 2);
    EXPECT_EQ(state->heat, 5);
    EXPECT_EQ(state->heatStart, 41100.25f);

    // Blanks around the numbers, Unix line ends, a decimal comma.
    auto loose = parseResumeState(" 1 \n 2\n3 \n 0 \n 36000,5 \n");
    ASSERT_TRUE(loose);
    EXPECT_EQ(loose->heatStart, 36000.5f);
}

TEST(ResumeFile, WrittenLinesReadBack) {
    ResumeState state{12, ProgrammeType::OfficialPractice, 3, 0, 45296.75f};
    std::string text = encodeResumeState(state);
    EXPECT_EQ(text, " 12 \r\n 2 \r\n 3 \r\n 0 \r\n 45296.75 \r\n");
    auto back = parseResumeState(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->event, 12);
    EXPECT_EQ(back->heatStart, 45296.75f);
}

TEST(ResumeFile, ResumesAppendAndATornLineIsPassedOver) {
    TempDir dir;
    fs::path file = dir.path() / "ZTR4.TMP";
    ASSERT_TRUE(writeResumeFile(file, {1, ProgrammeType::Race, 1, 2, 40000.0f}));
    ASSERT_TRUE(appendResumeStart(file, 40100.5f));
    EXPECT_EQ(readResumeFile(file)->heatStart, 40100.5f);

    // A crash while appending leaves half a line; the next resume starts a new line.
    test::writeBytes(file, test::readBytes(file) + " 402");
    ASSERT_TRUE(appendResumeStart(file, 40300.0f));
    EXPECT_EQ(readResumeFile(file)->heatStart, 40300.0f);

    test::writeBytes(file, test::readBytes(file) + " 4x0\r\n");
    EXPECT_EQ(readResumeFile(file)->heatStart, 40300.0f);
    // A number cut short looks sound; without its line end it does not count.
    test::writeBytes(file, test::readBytes(file) + " 404");
    EXPECT_EQ(readResumeFile(file)->heatStart, 40300.0f);
    EXPECT_EQ(parseResumeState("1\n1\n1\n0\n 500")->heatStart, 500.0f);
    EXPECT_FALSE(readResumeFile(dir.path() / "missing.tmp"));
}

TEST(ResumeFile, StatesThatCannotNameAHeatAreRefused) {
    for (const char* text : {"", "3\n4\n2\n5\n",  // no start time
                             "3\n4\n2\nx\n100\n", // garbled heat counter
                             "3\n9\n2\n5\n100\n", // no such programme
                             "0\n4\n2\n5\n100\n", // no event
                             "3\n4\n70000\n5\n100\n", "3\n4\n2\n5\n-5\n", "3\n4\n2\n5\n1e400\n",
                             "3.5\n4\n2\n5\n100\n"}) {
        EXPECT_FALSE(parseResumeState(text)) << text;
    }
    std::mt19937 rng(1);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(rng() % 60, '\0');
        for (auto& c : bytes) {
            c = "0123456789 .,-\r\n\xFFx"[rng() % 17];
        }
        parseWindowState(bytes);
        auto state = parseResumeState(bytes);
        if (state) {
            EXPECT_GE(state->event, 1);
            EXPECT_GE(state->heatStart, 0.0f);
            EXPECT_LE(state->heatStart, 86400.0f);
        }
    }
}

TEST(WindowStateFile, SelectionsRoundTrip) {
    WindowState state{2, {0, -1, 3}, true};
    std::string text = encodeWindowState(state);
    EXPECT_EQ(text, " 2 \r\n 0 \r\n-1 \r\n 3 \r\n-1 \r\n");
    auto back = parseWindowState(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->eventIndex, 2);
    EXPECT_EQ(back->seriesIndexes, (std::vector<int>{0, -1, 3}));
    EXPECT_TRUE(back->infoShown);

    EXPECT_FALSE(parseWindowState(""));
    EXPECT_FALSE(parseWindowState(" \r\n\r\n"));
    EXPECT_FALSE(parseWindowState("1\r\n\x01\x02\r\n0\r\n"));
    auto single = parseWindowState("-1\n");
    ASSERT_TRUE(single);
    EXPECT_EQ(single->eventIndex, -1);
    EXPECT_TRUE(single->seriesIndexes.empty());
}

TEST(WindowStateFile, TakingTheFileDeletesIt) {
    TempDir dir;
    fs::path file = dir.path() / "ZTR4.INI";
    ASSERT_TRUE(writeWindowState(file, {0, {1, 2, 3, 4, 5}, false}));
    auto state = takeWindowState(file);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->seriesIndexes.size(), 5u);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(takeWindowState(file)); // the sign of an abnormal end

    test::writeBytes(file, "");
    EXPECT_FALSE(takeWindowState(file));
    EXPECT_FALSE(fs::exists(file));
}
