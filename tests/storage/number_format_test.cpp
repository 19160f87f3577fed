#include "storage/number_format.h"

#include <gtest/gtest.h>

using namespace cronovolta;

TEST(NumberFormat, PatternsOfTheConventionsTable) {
    struct Case {
        const char* pattern;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"0.0000", 12.34567, "12.3457"}, {"0.0000", -3, "-3.0000"}, {"0.0000", 0, "0.0000"},
        {"0.00", 12.34567, "12.35"},     {"0.00", -3, "-3.00"},     {"0", 12.34567, "12"},
        {"0", -3, "-3"},                 {"0", 0, "0"},             {"#", 12.34567, "12"},
        {"#", -3, "-3"},                 {"#", 0, ""},              {"##", 0, ""},
        {"000", 12.34567, "012"},        {"000", -3, "-003"},       {"000", 1000, "1000"},
        {"+0.0", 12.34567, "+12.3"},     {"+0.0", 0, "+0.0"},       {"0.0000;;\\ \\", 0, " "},
        {"#;;\\ \\", 12, "12"},          {"#;;\\ \\", 0, " "},      {"+#;-#;\\ \\", 12, "+12"},
        {"+#;-#;\\ \\", -3, "-3"},       {"+#;-#;\\ \\", 0, " "},   {"0.0000;;99.9999", 0, "99.9999"},
        {"0.0000;;99.9999", 12.34567, "12.3457"}, {"(#)", 12, "(12)"}, {"(#)", -3, "(-3)"},
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
