#include "envrecord/local_ip_check.h"

namespace quarnel {

namespace {

// Host bits of the address's class (A, B or C); called below 224 only.
std::uint32_t ClassHostBits(std::uint32_t address) {
    const std::uint32_t first = address >> 24;
    if (first < 128) return 0x00FFFFFFu;
    if (first < 192) return 0x0000FFFFu;
    return 0x000000FFu;
}

}  // namespace

bool IsValidLocalIp(std::uint32_t address, std::uint32_t mask) {
    const std::uint32_t first = address >> 24;
    if (address == 0 || first == 127 || first >= 224) return false;

    const std::uint32_t classHost = ClassHostBits(address);
    const std::uint32_t hostPart = address & classHost;
    if (hostPart == 0 || hostPart == classHost) return false;

    // Under a mask of 0 the host part is the whole address, whose all-zero and
    // all-ones values the first rule has refused already.
    const std::uint32_t maskHost = address & ~mask;
    if (maskHost == 0 || maskHost == ~mask) return false;
    return true;
}

bool IsValidLocalIp(const MainBlock& main) { return IsValidLocalIp(main.local_ip(), main.subnet_mask()); }

}  // namespace quarnel
