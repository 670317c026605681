#include <gtest/gtest.h>

#include <cstring>

#include "envrecord/field_limits.h"
#include "envrecord/hex_text.h"

namespace quarnel {
namespace {

TEST(HexText, BytesBecomeUpperCasePairsAndComeBack) {
    const std::uint8_t key[5] = {0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ("1A2B3C4D5E", BytesToHex(key, 5));
    const std::uint8_t edge[3] = {0x00, 0xFF, 0x0A};
    EXPECT_EQ("00FF0A", BytesToHex(edge, 3));
    EXPECT_EQ("", BytesToHex(edge, 0));

    std::uint8_t out[6] = {9, 9, 9, 9, 9, 0x77};
    EXPECT_TRUE(HexToBytes(out, 5, "1a2B3c4D5e"));
    const std::uint8_t want[6] = {0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x77};
    EXPECT_EQ(0, std::memcmp(want, out, 6));
}

TEST(HexText, StoresAtMostSizeBytesAndIgnoresAnOddDigit) {
    std::uint8_t out[4] = {1, 2, 3, 4};
    EXPECT_TRUE(HexToBytes(out, 2, "AABBCCDD"));
    EXPECT_EQ(0xAA, out[0]);
    EXPECT_EQ(0xBB, out[1]);
    EXPECT_EQ(3, out[2]);

    std::uint8_t odd[3] = {1, 2, 3};
    EXPECT_TRUE(HexToBytes(odd, 3, "ABC"));
    EXPECT_EQ(0xAB, odd[0]);
    EXPECT_EQ(2, odd[1]);
}

TEST(HexText, NonHexPairIsRefusedAndNothingIsStored) {
    for (const char* bad : {"1A2B3C4DZZ", "GG2B3C4D5E", " 12B3C4D5E", "-12B3C4D5E", "0x2B3C4D5E"}) {
        std::uint8_t out[5] = {7, 7, 7, 7, 7};
        EXPECT_FALSE(HexToBytes(out, 5, bad)) << bad;
        for (std::uint8_t b : out) EXPECT_EQ(7, b) << bad;
    }
}

TEST(FieldLimits, PortsAreKeptIn0To65535) {
    EXPECT_EQ(0, ClampPort(-1));
    EXPECT_EQ(65535, ClampPort(65535));
    EXPECT_EQ(65535, ClampPort(70000));
    EXPECT_EQ(1470, ClampPort(1470));
}

TEST(FieldLimits, LeavingAFieldFollowsLongLimits) {
    EXPECT_EQ(3600, ClampTimeoutOnLeave(5000, 0));
    EXPECT_EQ(5000, ClampTimeoutOnLeave(5000, 1));
    EXPECT_EQ(30000, ClampTimeoutOnLeave(40000, 1));
    EXPECT_EQ(0, ClampTimeoutOnLeave(-5, 1));

    for (int model : {7, 9, 10, 11}) EXPECT_EQ(1000, ClampWaterMarkOnLeave(1000, 0, model));
    EXPECT_EQ(512, ClampWaterMarkOnLeave(1000, 0, 2));
    EXPECT_EQ(512, ClampWaterMarkOnLeave(1000, 0, 8));
    EXPECT_EQ(1000, ClampWaterMarkOnLeave(1000, 1, 1));
    EXPECT_EQ(2048, ClampWaterMarkOnLeave(3000, 1, 9));
    EXPECT_EQ(32768, ClampWaterMarkOnLeave(40000, 0, 10));
    EXPECT_EQ(0, ClampWaterMarkOnLeave(-1, 0, 0));
}

TEST(BaudTable, NearestEntryWithHalfWayBoundaries) {
    const struct {
        std::uint32_t rate;
        int index;
    } cases[] = {{0, 0},        {1799, 0},     {1800, 1},     {3599, 1},      {3600, 2},
                 {7199, 2},     {7200, 3},     {11999, 3},    {12000, 4},     {16799, 4},
                 {16800, 5},    {28799, 5},    {28800, 6},    {47999, 6},     {48000, 7},
                 {86399, 7},    {86400, 8},    {100000, 8},   {115200, 8},    {172799, 8},
                 {172800, 9},   {230400, 9},   {0xFFFFFFFF, 9}};
    for (const auto& c : cases) EXPECT_EQ(c.index, BaudIndexForRate(c.rate)) << c.rate;

    EXPECT_EQ(230400u, BaudRateForIndex(9));
    EXPECT_EQ(19200u, BaudRateForIndex(-1));
    EXPECT_EQ(19200u, BaudRateForIndex(10));
}

}  // namespace
}  // namespace quarnel
