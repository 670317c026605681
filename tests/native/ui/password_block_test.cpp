#include "ui/password_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "ui/password_digest.h"

namespace quarnel {
namespace {

using Block = std::uint8_t[PASSWORD_BLOCK_SIZE];

std::uint32_t LittleEndianAt(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool AllZero(const std::uint8_t* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i]) return false;
    return true;
}

TEST(PasswordBlock, DeleteOrEmptyMeansNoPassword) {
    struct Case { int del; const char* text; };
    const Case cases[] = {{1, "abc"}, {1, ""}, {0, ""}, {1, "far too long for the field"}};
    for (const Case& c : cases) {
        Block block;
        std::memset(block, 0xAA, sizeof block);
        EXPECT_TRUE(BuildPasswordBlock(c.del, c.text, block)) << c.text;
        EXPECT_TRUE(AllZero(block, PASSWORD_BLOCK_SIZE)) << c.text;
    }
}

TEST(PasswordBlock, PasswordsOfOneToTwelveCharacters) {
    const std::string texts[] = {"a", "abcdefgh", "abcdefghij", "abcdefghijkl"};
    for (const std::string& text : texts) {
        Block block;
        std::memset(block, 0xAA, sizeof block);
        ASSERT_TRUE(BuildPasswordBlock(0, text, block)) << text;

        std::uint8_t plain[8] = {};
        std::memcpy(plain, text.data(), std::min<std::size_t>(text.size(), 8));
        EXPECT_EQ(LittleEndianAt(block), ComputeDigest(plain, 4)) << text;
        EXPECT_EQ(LittleEndianAt(block + 4), ComputeDigest(plain + 4, 4)) << text;
        EXPECT_NE(LittleEndianAt(block + 4), 0u) << text;

        for (int i = 8; i < PASSWORD_BLOCK_SIZE; ++i) {
            const std::uint8_t typed = static_cast<std::size_t>(i) < text.size() ? text[i] : 0;
            EXPECT_EQ(block[i], typed) << text << " byte " << i;
        }
    }
}

TEST(PasswordBlock, LongerTextIsRefusedAndNothingChanges) {
    Block block;
    std::memset(block, 0x5C, sizeof block);
    EXPECT_FALSE(BuildPasswordBlock(0, "abcdefghijklm", block));
    for (std::uint8_t b : block) EXPECT_EQ(b, 0x5C);
}

}  // namespace
}  // namespace quarnel
