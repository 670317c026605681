#include "ui/field_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace quarnel {
namespace {

TEST(FieldRules, CommentIsCutAfter32Characters) {
    std::string exact(32, 'c');
    EXPECT_FALSE(LimitComment(exact));
    EXPECT_EQ(exact.size(), 32u);

    std::string longer = std::string(32, 'a') + "bcd";
    EXPECT_TRUE(LimitComment(longer));
    EXPECT_EQ(longer, std::string(32, 'a'));
}

TEST(FieldRules, SerialTypeAndMultiConn) {
    struct Case {
        int selection;
        bool flowEnabled;
        bool reset;
    };
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
