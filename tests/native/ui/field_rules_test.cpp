#include "ui/field_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace quarnel {
namespace {

TEST(FieldRules, PortLimit) {
    const int cases[][2] = {{65535, 65535}, {65536, 65535}, {INT_MAX, 65535}, {80, 80},
                            {0, 0},         {-1, 0},        {INT_MIN, 0}};
    for (const auto& c : cases) EXPECT_EQ(LimitPort(c[0]), c[1]) << c[0];
}

TEST(FieldRules, TimeoutLimit) {
    struct Case { int value, longLimits, shown; };
    const Case cases[] = {
        {5000, 0, 3600}, {5000, 1, 5000}, {40000, 1, 30000}, {3600, 0, 3600},
        {3601, 0, 3600}, {-5, 0, 0},      {-5, 1, 0},        {0, 1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(LimitTimeout(c.value, c.longLimits), c.shown) << c.value;
}

TEST(FieldRules, WaterMarkLimit) {
    struct Case { int value, longLimits, model, shown; };
    const Case cases[] = {
        {1000, 1, 1, 1000}, {1000, 0, 7, 1000},   {1000, 0, 9, 1000},  {1000, 0, 10, 1000},
        {1000, 0, 11, 1000}, {1000, 0, 8, 512},   {1000, 0, 1, 512},   {3000, 1, 9, 2048},
        {40000, 0, 9, 32768}, {32768, 0, 11, 32768}, {513, 0, 12, 512}, {-1, 0, 9, 0},
        {-1, 1, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LimitWaterMark(c.value, c.longLimits, c.model), c.shown)
            << c.value << " long=" << c.longLimits << " model=" << c.model;
}

TEST(FieldRules, CommentIsCutAfter32Characters) {
    std::string exact(32, 'c');
    EXPECT_FALSE(LimitComment(exact));
    EXPECT_EQ(exact.size(), 32u);

    std::string longer = std::string(32, 'a') + "bcd";
    EXPECT_TRUE(LimitComment(longer));
    EXPECT_EQ(longer, std::string(32, 'a'));
    EXPECT_STREQ(COMMENT_TOO_LONG_MESSAGE, "The maximum size of comment is 32(16)!");
}

TEST(FieldRules, SerialTypeAndMultiConn) {
    struct Case { int selection; bool flowEnabled; bool reset; };
    const Case cases[] = {{0, true, false}, {1, false, true}, {2, false, true}, {-1, false, true}};
    for (const Case& c : cases) {
        const SerialTypeEffect e = OnSerialTypeSelected(c.selection);
        EXPECT_EQ(e.flowEnabled, c.flowEnabled) << c.selection;
        EXPECT_EQ(e.resetFlowSelection, c.reset) << c.selection;
    }

    EXPECT_FALSE(OnMultiConnChanged(0).forceSelections);
    const MultiConnEffect on = OnMultiConnChanged(1);
    EXPECT_TRUE(on.forceSelections);
    EXPECT_EQ(on.modeSelection, 0);
    EXPECT_EQ(on.flowSelection, 0);
    EXPECT_EQ(on.serialTypeSelection, 0);
}

}  // namespace
}  // namespace quarnel
