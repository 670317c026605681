#include "framework/int_text.h"

#include <climits>

#include <gtest/gtest.h>

namespace quarnel {
namespace {

// A refused text keeps the field's value.
TEST(IntField, TakesSignsBlanksAndTheWholeIntRangeAndNothingElse) {
    const struct {
        const char* text;
        bool taken;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"65535", true, 65535},
        {"-12", true, -12},
        {"+7", true, 7},
        {"-0", true, 0},
        {" \t42\t ", true, 42},
        {"007", true, 7},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"000000000000000000012", true, 12},
        {"", false, 0},
        {" ", false, 0},
        {"12x", false, 0},
        {"x12", false, 0},
        {"1 2", false, 0},
        {"- 1", false, 0},
        {"+-1", false, 0},
        {"--1", false, 0},
        {"1.5", false, 0},
        {"0x10", false, 0},
        {"1e3", false, 0},
        {"\n5", false, 0},
        {"5\n", false, 0},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"+", false, 0},
        {"-", false, 0},
    };
    for (const auto& c : cases) {
        int value = 1234;
        EXPECT_EQ(ParseIntField(c.text, value), c.taken) << '"' << c.text << '"';
        EXPECT_EQ(value, c.taken ? c.value : 1234) << '"' << c.text << '"';
    }
    int value = 1;
    EXPECT_FALSE(ParseIntField(nullptr, value));
}

TEST(IntField, FormatsAsDecimal) {
    char buf[16];
    EXPECT_STREQ(FormatIntField(0, buf), "0");
    EXPECT_STREQ(FormatIntField(-45, buf), "-45");
    EXPECT_STREQ(FormatIntField(INT_MIN, buf), "-2147483648");
    EXPECT_STREQ(FormatIntField(INT_MAX, buf), "2147483647");
}

}  // namespace
}  // namespace quarnel
