#include <gtest/gtest.h>

#include <cstring>

#include "envrecord/field_limits.h"
#include "envrecord/hex_text.h"
#include "envrecord/local_ip_check.h"
#include "record_test_util.h"

namespace quarnel {
namespace {

// Keys as the transfer stores them are tested there; here the edges it does
// not reach.
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
    } cases[] = {{0, 0},      {1799, 0},   {1800, 1},   {3599, 1},   {3600, 2},      {7199, 2},
                 {7200, 3},   {11999, 3},  {12000, 4},  {16799, 4},  {16800, 5},     {28799, 5},
                 {28800, 6},  {47999, 6},  {48000, 7},  {86399, 7},  {86400, 8},     {100000, 8},
                 {115200, 8}, {172799, 8}, {172800, 9}, {230400, 9}, {0xFFFFFFFF, 9}};
    for (const auto& c : cases) EXPECT_EQ(c.index, BaudIndexForRate(c.rate)) << c.rate;

    EXPECT_EQ(230400u, BaudRateForIndex(9));
    EXPECT_EQ(19200u, BaudRateForIndex(-1));
    EXPECT_EQ(19200u, BaudRateForIndex(10));
}

constexpr std::uint32_t Ip(int a, int b, int c, int d) {
    return static_cast<std::uint32_t>(a) << 24 | b << 16 | c << 8 | d;
}

TEST(LocalIpCheck, RefusesSpecialAddressesClassfulNetworkAndBroadcastAndHostPartsAllZerosOrOnes) {
    const std::uint32_t m8 = Ip(255, 0, 0, 0), m16 = Ip(255, 255, 0, 0), m24 = Ip(255, 255, 255, 0),
                        m25 = Ip(255, 255, 255, 128), full = 0xFFFFFFFF;
    const struct {
        std::uint32_t ip, mask;
        bool valid;
    } cases[] = {
        {Ip(127, 0, 0, 1), m8, false},
        {Ip(0, 0, 0, 0), m8, false},
        {Ip(224, 0, 0, 1), m8, false},
        {Ip(255, 255, 255, 255), 0, false},
        {Ip(240, 1, 2, 3), 0, false},
        {Ip(10, 0, 0, 0), m8, false},
        {Ip(10, 255, 255, 255), 0, false},
        {Ip(172, 16, 0, 0), 0, false},
        {Ip(172, 16, 255, 255), 0, false},
        {Ip(192, 168, 1, 0), 0, false},
        {Ip(192, 168, 1, 255), 0, false},
        {Ip(0, 255, 255, 255), 0, false},
        // With a mask of 0 only the special and classful rules apply.
        {Ip(172, 16, 0, 1), 0, true},
        {Ip(192, 168, 1, 254), 0, true},
        {Ip(10, 1, 255, 255), 0, true},
        {Ip(10, 1, 255, 255), m16, false},
        {Ip(10, 1, 0, 0), m16, false},
        {Ip(10, 1, 0, 1), m16, true},
        {Ip(192, 168, 1, 10), m24, true},
        {Ip(192, 168, 1, 127), m25, false},
        {Ip(192, 168, 1, 128), m25, false},
        {Ip(0, 1, 2, 3), m8, true},
        {Ip(192, 168, 1, 10), full, false},
        {Ip(0, 1, 2, 3), full, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.valid, IsValidLocalIp(c.ip, c.mask)) << std::hex << c.ip << " " << c.mask;
}

TEST(LocalIpCheck, ReadsTheRecordInNetworkOrder) {
    EnvRecord r = ZeroRecord();
    const std::uint8_t ipAndMask[] = {192, 168, 1, 10, 255, 255, 255, 0};
    std::copy(ipAndMask, ipAndMask + 8, r.Data() + 36);
    EXPECT_TRUE(IsValidLocalIp(r.main));
    r.Data()[39] = 255;
    EXPECT_FALSE(IsValidLocalIp(r.main));
}

}  // namespace
}  // namespace quarnel
