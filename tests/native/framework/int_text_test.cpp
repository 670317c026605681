#include "framework/int_text.h"

#include <climits>

#include <gtest/gtest.h>

namespace quarnel {
namespace {

int ParseOr(const char* text, int fallback) {
    int value = fallback;
    ParseIntField(text, value);
    return value;
}

TEST(IntField, AcceptsSignsBlanksAndTheWholeIntRange) {
    EXPECT_EQ(ParseOr("0", -1), 0);
    EXPECT_EQ(ParseOr("65535", -1), 65535);
    EXPECT_EQ(ParseOr("-12", 0), -12);
    EXPECT_EQ(ParseOr("+7", 0), 7);
    EXPECT_EQ(ParseOr("-0", 5), 0);
    EXPECT_EQ(ParseOr(" \t42\t ", 0), 42);
    EXPECT_EQ(ParseOr("007", 0), 7);
    EXPECT_EQ(ParseOr("2147483647", 0), INT_MAX);
    EXPECT_EQ(ParseOr("-2147483648", 0), INT_MIN);
    EXPECT_EQ(ParseOr("000000000000000000012", 0), 12);
}

TEST(IntField, RefusesAnythingElseAndKeepsTheValue) {
    const char* refused[] = {"",     " ",          "12x",         "x12",  "1 2", "- 1",
                             "+-1",  "--1",        "1.5",         "0x10", "1e3", "\n5",
                             "5\n",  "2147483648", "-2147483649", "99999999999999999999",
                             "+",    "-"};
    for (const char* text : refused) {
        int value = 1234;
        EXPECT_FALSE(ParseIntField(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 1234) << '"' << text << '"';
    }
    int value = 1;
    EXPECT_FALSE(ParseIntField(nullptr, value));
}

TEST(IntField, FormatsAsDecimal) {
    char buf[16];
    EXPECT_STREQ(FormatIntField(0, buf), "0");
    EXPECT_STREQ(FormatIntField(-45, buf), "-45");
    EXPECT_STREQ(FormatIntField(INT_MIN, buf), "-2147483648");
    int back = 0;
    ASSERT_TRUE(ParseIntField(FormatIntField(INT_MAX, buf), back));
    EXPECT_EQ(back, INT_MAX);
}

}  // namespace
}  // namespace quarnel
