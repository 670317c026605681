#include "ui/password_digest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quarnel {
namespace {

const std::uint8_t* T = DigestTable;

std::uint32_t Word(unsigned j, unsigned k) {
    return T[j] | T[255 - j] << 8 | T[k] << 16 | static_cast<std::uint32_t>(T[255 - k]) << 24;
}

std::uint32_t Digest(std::vector<std::uint8_t> bytes) {
    return ComputeDigest(bytes.data(), static_cast<int>(bytes.size()));
}

std::uint32_t LittleEndianAt(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

TEST(ComputeDigest, NothingToDigestGivesZero) {
    const std::uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(ComputeDigest(bytes, 0), 0u);
    EXPECT_EQ(ComputeDigest(bytes, -1), 0u);
    EXPECT_EQ(ComputeDigest(nullptr, -300), 0u);
}

TEST(ComputeDigest, OrderOfBytesDoesNotMatter) {
    std::vector<std::uint8_t> bytes = {'p', 'a', 's', 's', 0x80, 0xFF, 0};
    const std::uint32_t expected = Digest(bytes);
    std::sort(bytes.begin(), bytes.end());
    do {
        ASSERT_EQ(Digest(bytes), expected);
    } while (std::next_permutation(bytes.begin(), bytes.end()));
}

TEST(ComputeDigest, IndexRules) {
    // Length 4: bytes 252-255 wrap to j 0-3.
    EXPECT_EQ(Digest({252, 253, 254, 255}), Word(0, 64) + Word(1, 65) + Word(2, 66) + Word(3, 67));
    // Length 1: j = byte + 1.
    EXPECT_EQ(Digest({190}), Word(191, 255));
    EXPECT_EQ(Digest({191}), Word(192, 1));
    EXPECT_EQ(Digest({254}), Word(255, 64));
    // j 255 and j 0 meet at k 64: the upper halves of their words agree.
    EXPECT_EQ(Digest({254}) >> 16, Digest({255}) >> 16);
    // Bytes are unsigned.
    EXPECT_EQ(Digest({0xE9, 0x80}), Word(235, 235 - 191) + Word(130, 194));
    // Only the length modulo 256 enters the index.
    EXPECT_EQ(Digest(std::vector<std::uint8_t>(257, 0)), 257u * Word(1, 65));
}

TEST(ComputeDigest, KnownValuesStayFixed) {
    // The converter compares digests made with this table: it must never change.
    EXPECT_EQ(Digest({'a', 'b', 'c', 'd'}), 0xAE55BBD1u);
    EXPECT_EQ(Digest({0, 0, 0, 0}), 0xCB257784u);  // never zero
}

TEST(PackPassword, ClearsFromTheFirstZeroThroughByteEight) {
    for (int zeroAt = 0; zeroAt < 8; ++zeroAt) {
        std::uint8_t buffer[12];
        std::memset(buffer, 'q', sizeof buffer);
        buffer[zeroAt] = 0;
        std::uint8_t plain[8];
        for (int i = 0; i < 8; ++i) plain[i] = i < zeroAt ? 'q' : 0;
        PackPassword(buffer);
        SCOPED_TRACE(zeroAt);
        EXPECT_EQ(LittleEndianAt(buffer), ComputeDigest(plain, 4));
        EXPECT_EQ(LittleEndianAt(buffer + 4), ComputeDigest(plain + 4, 4));
        EXPECT_EQ(buffer[8], 0);
        EXPECT_EQ(buffer[9], 'q');
        EXPECT_EQ(buffer[11], 'q');
    }
}

}  // namespace
}  // namespace quarnel
