// The converter a patch is tried on when the input brings no block of its own.
#pragma once

#include <cstdint>

#include "envrecord/env_record.h"

namespace quarnel_fuzz {

// Factory values of the model in the low five bits of `selector`; the higher
// bits set the flags that change what a patch may store: long limits,
// XON/XOFF offered, comment present.
quarnel::EnvRecord SampleConverter(std::uint8_t selector);

}  // namespace quarnel_fuzz
