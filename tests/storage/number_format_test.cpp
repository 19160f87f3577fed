#include "storage/number_format.h"

#include "storage/formatting.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

using namespace cronovolta;

TEST(NumberFormat, PatternsOfTheConventionsTable) {
    struct Case {
        const char* pattern;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"0.0000", 12.34567, "12.3457"},
        {"0.0000", -3, "-3.0000"},
        {"0.0000", 0, "0.0000"},
        {"0.00", 12.34567, "12.35"},
        {"0.00", -3, "-3.00"},
        {"0", 12.34567, "12"},
        {"0", -3, "-3"},
        {"0", 0, "0"},
        {"#", 12.34567, "12"},
        {"#", -3, "-3"},
        {"#", 0, ""},
        {"##", 0, ""},
        {"000", 12.34567, "012"},
        {"000", -3, "-003"},
        {"000", 1000, "1000"},
        {"+0.0", 12.34567, "+12.3"},
        {"+0.0", 0, "+0.0"},
        {"0.0000;;\\ \\", 0, " "},
        {"#;;\\ \\", 12, "12"},
        {"#;;\\ \\", 0, " "},
        {"+#;-#;\\ \\", 12, "+12"},
        {"+#;-#;\\ \\", -3, "-3"},
        {"+#;-#;\\ \\", 0, " "},
        {"0.0000;;99.9999", 0, "99.9999"},
        {"0.0000;;99.9999", 12.34567, "12.3457"},
        {"(#)", 12, "(12)"},
        {"(#)", -3, "(-3)"},
        {"(#)", 0, "()"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatNumber(c.value, c.pattern), c.expected) << c.pattern << " " << c.value;
    }
}

TEST(NumberFormat, RoundsHalfAwayFromZeroOnTheDecimalValue) {
    EXPECT_EQ(formatNumber(2.5, "0"), "3");
    EXPECT_EQ(formatNumber(-2.5, "0"), "-3");
    EXPECT_EQ(formatNumber(0.00005, "0.0000"), "0.0001");
    EXPECT_EQ(formatSingle(0.00005f, "0.0000"), "0.0001");
    EXPECT_EQ(formatNumber(2.675, "0.00"), "2.68");
    EXPECT_EQ(formatNumber(9.99995, "0.0000"), "10.0000");
    EXPECT_EQ(formatNumber(0.4, "#"), "");
    EXPECT_EQ(formatNumber(-0.0001, "0.00"), "0.00");
    EXPECT_EQ(formatSingle(11.2f, "0.0000"), "11.2000");
}

TEST(NumberFormat, TextConversions) {
    EXPECT_EQ(singleToText(11.2f), "11.2");
    EXPECT_EQ(singleToText(36001.0f), "36001");
    EXPECT_EQ(singleToText(0.1f), "0.1");
    EXPECT_EQ(singleToText(-3.0f), "-3");
    EXPECT_EQ(singleToText(41100.25f), "41100.25");
    EXPECT_EQ(singleToText(0.0001f), "0.0001");
    EXPECT_EQ(strValue(3.0f), " 3");
    EXPECT_EQ(strValue(-3.0f), "-3");
    EXPECT_EQ(printedNumber(3.0f), " 3 ");
    EXPECT_EQ(longTime(0), "0:00:00");
    EXPECT_EQ(longTime(83), "0:01:23");
    EXPECT_EQ(longTime(41100.25), "11:25:00");
    EXPECT_EQ(longTime(86399.4), "23:59:59");
}

// A float from a damaged file may hold anything up to 3.4e38: it must print in a bounded
// width that reads back as a huge number of the right sign, while every value a heat
// can produce prints as before.
TEST(NumberFormat, OutOfRangeValuesPrintBoundedAndReadBack) {
    struct Case {
        float value;
        const char* pattern; // nullptr: singleToText
        const char* expected;
    };
    const Case cases[] = {
        {-3e38f, "0.0000", "-999999999.9999"},
        {3e38f, "0.0000;;99.9999", "999999999.9999"},
        {3.4028235e38f, "0", "999999999"},
        {-1e10f, "#", "-999999999"},
        {2e9f, "+0.0", "+999999999.9"},
        {-3e38f, nullptr, "-999999999"},
        {1e20f, nullptr, "999999999"},
        {1e-30f, nullptr, "0"},
        {-1.2e-12f, nullptr, "-0.000000000001"},
        // The largest values still printed as they are.
        {999999872.0f, "0", "999999900"},
        {86399.99f, "0.0000", "86399.9900"},
        {16777216.0f, nullptr, "16777216"},
    };
    for (const auto& c : cases) {
        const std::string text =
            c.pattern ? formatSingle(c.value, c.pattern) : singleToText(c.value);
        EXPECT_EQ(text, c.expected) << c.value << " " << (c.pattern ? c.pattern : "text");
        EXPECT_LE(text.size(), 20u);
        EXPECT_NEAR(numericValue(text), std::clamp(static_cast<double>(c.value), -1e9, 1e9), 100.0)
            << text;
        if (c.pattern && std::fabs(c.value) >= 1e9f) {
            EXPECT_EQ(formatNumber(static_cast<double>(c.value), c.pattern), text) << c.value;
        }
    }
}
