#include <gtest/gtest.h>

#include "envrecord/local_ip_check.h"
#include "record_test_util.h"

namespace quarnel {
namespace {

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
        {Ip(127, 0, 0, 1), m8, false},        {Ip(0, 0, 0, 0), m8, false},
        {Ip(224, 0, 0, 1), m8, false},        {Ip(255, 255, 255, 255), 0, false},
        {Ip(240, 1, 2, 3), 0, false},         {Ip(10, 0, 0, 0), m8, false},
        {Ip(10, 255, 255, 255), 0, false},    {Ip(172, 16, 0, 0), 0, false},
        {Ip(172, 16, 255, 255), 0, false},    {Ip(192, 168, 1, 0), 0, false},
        {Ip(192, 168, 1, 255), 0, false},     {Ip(0, 255, 255, 255), 0, false},
        // With a mask of 0 only the special and classful rules apply.
        {Ip(172, 16, 0, 1), 0, true},         {Ip(192, 168, 1, 254), 0, true},
        {Ip(10, 1, 255, 255), 0, true},       {Ip(10, 1, 255, 255), m16, false},
        {Ip(10, 1, 0, 0), m16, false},        {Ip(10, 1, 0, 1), m16, true},
        {Ip(192, 168, 1, 10), m24, true},     {Ip(192, 168, 1, 127), m25, false},
        {Ip(192, 168, 1, 128), m25, false},   {Ip(0, 1, 2, 3), m8, true},
        {Ip(192, 168, 1, 10), full, false},   {Ip(0, 1, 2, 3), full, false},
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
