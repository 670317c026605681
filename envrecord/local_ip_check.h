#pragma once

// The check that guards Write: the converter's own address must be a usable
// host address.

#include <cstdint>

#include "envrecord/env_record.h"

namespace quarnel {

// Host-order address and mask. Refused: 0.0.0.0, 127.x.x.x and 224.0.0.0 and
// above; the classful network or broadcast address; an address whose host
// part under the mask is all zeros or all ones. A mask of 0.0.0.0 therefore
// leaves only the first two rules, and 255.255.255.255 refuses every address.
bool IsValidLocalIp(std::uint32_t address, std::uint32_t mask);

// The same for local_ip and subnet_mask of the record's main block.
bool IsValidLocalIp(const MainBlock& main);

}  // namespace quarnel
