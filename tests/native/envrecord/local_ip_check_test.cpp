#include <gtest/gtest.h>

#include "envrecord/local_ip_check.h"
#include "record_test_util.h"

namespace quarnel {
namespace {

constexpr std::uint32_t Ip(int a, int b, int c, int d) {
    return static_cast<std::uint32_t>(a) << 24 | b << 16 | c << 8 | d;
}

TEST(LocalIpCheck, ReservedAndSpecialAddressesAreRefused) {
    const std::uint32_t mask8 = Ip(255, 0, 0, 0);
    EXPECT_FALSE(IsValidLocalIp(Ip(127, 0, 0, 1), mask8));
    EXPECT_FALSE(IsValidLocalIp(Ip(0, 0, 0, 0), mask8));
    EXPECT_FALSE(IsValidLocalIp(Ip(224, 0, 0, 1), mask8));
    EXPECT_FALSE(IsValidLocalIp(Ip(255, 255, 255, 255), 0));
    EXPECT_FALSE(IsValidLocalIp(Ip(240, 1, 2, 3), 0));
}

TEST(LocalIpCheck, ClassfulNetworkAndBroadcastAreRefused) {
    EXPECT_FALSE(IsValidLocalIp(Ip(10, 0, 0, 0), Ip(255, 0, 0, 0)));
    EXPECT_FALSE(IsValidLocalIp(Ip(10, 255, 255, 255), 0));
    EXPECT_FALSE(IsValidLocalIp(Ip(172, 16, 0, 0), 0));
    EXPECT_FALSE(IsValidLocalIp(Ip(172, 16, 255, 255), 0));
    EXPECT_FALSE(IsValidLocalIp(Ip(192, 168, 1, 0), 0));
    EXPECT_FALSE(IsValidLocalIp(Ip(192, 168, 1, 255), 0));
    EXPECT_FALSE(IsValidLocalIp(Ip(0, 255, 255, 255), 0));
    // A host of a class B or C network with a mask of 0 passes: only the
    // first two rules apply.
    EXPECT_TRUE(IsValidLocalIp(Ip(172, 16, 0, 1), 0));
    EXPECT_TRUE(IsValidLocalIp(Ip(192, 168, 1, 254), 0));
    EXPECT_TRUE(IsValidLocalIp(Ip(10, 1, 255, 255), 0));
}

TEST(LocalIpCheck, HostPartUnderTheMaskMustBeNeitherAllZerosNorAllOnes) {
    const std::uint32_t mask16 = Ip(255, 255, 0, 0);
    EXPECT_FALSE(IsValidLocalIp(Ip(10, 1, 255, 255), mask16));
    EXPECT_FALSE(IsValidLocalIp(Ip(10, 1, 0, 0), mask16));
    EXPECT_TRUE(IsValidLocalIp(Ip(10, 1, 0, 1), mask16));
    EXPECT_TRUE(IsValidLocalIp(Ip(192, 168, 1, 10), Ip(255, 255, 255, 0)));
    EXPECT_FALSE(IsValidLocalIp(Ip(192, 168, 1, 127), Ip(255, 255, 255, 128)));
    EXPECT_FALSE(IsValidLocalIp(Ip(192, 168, 1, 128), Ip(255, 255, 255, 128)));
    EXPECT_TRUE(IsValidLocalIp(Ip(0, 1, 2, 3), Ip(255, 0, 0, 0)));
}

TEST(LocalIpCheck, FullMaskRefusesEveryAddress) {
    const std::uint32_t full = 0xFFFFFFFF;
    for (std::uint32_t a : {Ip(192, 168, 1, 10), Ip(10, 1, 0, 1), Ip(0, 1, 2, 3), Ip(172, 16, 5, 6)})
        EXPECT_FALSE(IsValidLocalIp(a, full)) << std::hex << a;
}

TEST(LocalIpCheck, ReadsTheRecordInNetworkOrder) {
    EnvRecord r = ZeroRecord();
    const std::uint8_t ip[] = {192, 168, 1, 10}, mask[] = {255, 255, 255, 0};
    std::copy(ip, ip + 4, r.Data() + 36);
    std::copy(mask, mask + 4, r.Data() + 40);
    EXPECT_TRUE(IsValidLocalIp(r.main));
    r.Data()[39] = 255;
    EXPECT_FALSE(IsValidLocalIp(r.main));
}

}  // namespace
}  // namespace quarnel
