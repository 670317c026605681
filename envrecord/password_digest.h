#pragma once

// The digest that turns the first eight characters of a console password into
// the eight bytes the converter keeps in its password field. The converter
// compares digests only, so the table and the arithmetic must never change.

#include <cstdint>

namespace quarnel {

// A fixed permutation of 0..255, chosen once for this product.
extern const std::uint8_t DigestTable[256];

// Sum (mod 2^32) of one table-driven word per byte; the byte order does not
// matter. A length of 0 or less gives 0.
std::uint32_t ComputeDigest(const std::uint8_t* bytes, int length);

// Rewrites bytes 0-7 of a password work buffer (at least 9 bytes) as the two
// little-endian digests of its halves. Everything after the first zero byte
// among bytes 0-7 is cleared first, up to and including byte 8.
void PackPassword(std::uint8_t* buffer);

}  // namespace quarnel
