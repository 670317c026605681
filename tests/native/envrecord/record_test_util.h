#pragma once

#include <cstdint>
#include <cstring>
#include <random>

#include "envrecord/env_record.h"

namespace quarnel {

inline EnvRecord RandomRecord(std::uint32_t seed) {
    std::mt19937 rng(seed);
    EnvRecord r;
    for (int i = 0; i < 480; ++i) r.Data()[i] = static_cast<std::uint8_t>(rng());
    return r;
}

inline EnvRecord ZeroRecord() {
    EnvRecord r;
    std::memset(r.Data(), 0, 480);
    return r;
}

}  // namespace quarnel
