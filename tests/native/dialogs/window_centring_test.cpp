#include "ui/window_centring.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

TEST(WindowCentring, NarrowerWindowDropsHalfOfAnOddDifference) {
    EXPECT_EQ(CentredStart(100, 207, 100), 103);  // difference 7 -> offset 3
    EXPECT_EQ(CentredStart(0, 300, 100), 100);
}

TEST(WindowCentring, WiderWindowStartsBeforeTheOwnerRoundedTowardZero) {
    EXPECT_EQ(CentredStart(100, 195, 100), 98);  // excess 5 -> offset -2, not -3
    EXPECT_EQ(CentredStart(-50, -45, 10), -52);  // owner partly off screen
}

}  // namespace
}  // namespace quarnel
