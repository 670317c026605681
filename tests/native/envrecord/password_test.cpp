// The password digest and the block the converter keeps it in.
#include "envrecord/password_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "envrecord/password_digest.h"

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

TEST(ComputeDigest, IndexRules) {
    const std::uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(ComputeDigest(bytes, 0), 0u);  // nothing to digest
    EXPECT_EQ(ComputeDigest(nullptr, -300), 0u);
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

// Delete or an empty text clears the block; one to twelve characters are
// digested in two halves of four with the rest kept as typed; a longer text
// is refused and changes nothing.
TEST(PasswordBlock, BuiltFromDeleteOrOneToTwelveCharacters) {
    const struct {
        int del;
        std::string text;
        bool accepted;
    } cases[] = {{1, "abc", true},
                 {1, "", true},
                 {0, "", true},
                 {1, std::string(26, 'f'), true},
                 {0, "a", true},
                 {0, "abcdefgh", true},
                 {0, "abcdefghij", true},
                 {0, "abcdefghijkl", true},
                 {0, "abcdefghijklm", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MainBlock::PasswordBlock block;
        block.fill(0xAA);
        EXPECT_EQ(BuildPasswordBlock(c.del, c.text, block), c.accepted);
        std::uint8_t want[PASSWORD_BLOCK_SIZE];
        std::memset(want, c.accepted ? 0 : 0xAA, sizeof want);
        if (c.accepted && !c.del && !c.text.empty()) {
            std::memcpy(want, c.text.data(), c.text.size());
            std::uint8_t plain[8] = {};
            std::memcpy(plain, want, 8);
            for (int half : {0, 4}) {
                const std::uint32_t digest = ComputeDigest(plain + half, 4);
                for (int i = 0; i < 4; ++i) want[half + i] = static_cast<std::uint8_t>(digest >> (8 * i));
            }
            EXPECT_NE(LittleEndianAt(want + 4), 0u);
        }
        EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.end()),
                  std::vector<std::uint8_t>(want, want + sizeof want));
    }
}

}  // namespace
}  // namespace quarnel
