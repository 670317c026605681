// Command texts and reply parsing of the console protocol.
#include "exchange/console_protocol.h"

#include "exchange/device_exchange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace quarnel;

std::string Text(const CommandText& command) { return std::string(command.text, command.length); }

// The dialogue tests check the commands of whole reads and writes; here the
// address and length edges they do not reach.
TEST(ConsoleCommands, AddressesAndLengthsAtTheirEdges) {
    uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);
    CommandText c;
    FormatReadCommand(c, 5, 1);
    EXPECT_EQ(Text(c), "r 05 01\r");
    FormatReadCommand(c, 416, 96);
    EXPECT_EQ(Text(c), "r 1a0 60\r");
    EXPECT_EQ(ReadReplyLength(c.length, 96), 305);
    ASSERT_TRUE(FormatMonitorWriteCommand(c, 0x1f0, bytes, 2));
    EXPECT_EQ(Text(c), "!w 1f0 a0 a1\r");
    ASSERT_TRUE(FormatShellWriteCommand(c, 0x1d0, bytes, 1));
    EXPECT_EQ(Text(c), "WH 1d0 a0\r");
}

TEST(ConsoleCommands, AppendingIsAllOrNothing) {
    uint8_t bytes[40] = {};
    CommandText c;
    ASSERT_TRUE(FormatMonitorWriteCommand(c, 0x40, bytes, 16));
    c.length = 6;  // back to "!w 40 "
    c.text[6] = 0;
    EXPECT_FALSE(AppendSpacedHex(c, bytes, 20));
    EXPECT_EQ(c.length, 6);
    EXPECT_TRUE(AppendSpacedHex(c, bytes, 2));
    EXPECT_EQ(Text(c), "!w 40  00 00");
    EXPECT_FALSE(AppendHex(c, bytes, 40));
    EXPECT_TRUE(AppendHex(c, bytes + 1, 1));
    EXPECT_EQ(Text(c), "!w 40  00 0000");
}

TEST(ReadReplies, OnlyExactlyTheRequestedPiecesAfterThe701LineAreStored) {
    const struct {
        const char* reply;
        bool usable;
        int stored;
    } cases[] = {
        {"r 20 03\r\n701\r\nab 0F 7c \r\n", true, 3},
        {"r 20 03\r\n701\r\n801 ?? ?? \r\n", true, 0},  // refused: completes, stores nothing
        {"r 20 03\r\n801\r\n", true, 0},
        {"r 20 03\r\n701\r\n0g 0F 7c \r\n", false, 0},     // damaged digit
        {"r 20 03\r\n701\r\nab00F 7c \r\n", false, 0},     // digit in place of a blank
        {"r 20 03\r\n701\r\nab 0F \r\n", false, 0},        // a piece short
        {"r 20 03\r\n701\r\nab 0F 7c 11 \r\n", false, 0},  // a piece over
        {"r 20 03\r\n701\r\nab 0F 7c\r\n", false, 0},      // no blank after the last piece
        {"r 20 03\r\n701\r\nab 0F 7c \r\nx", false, 0},    // text after the line end
        {"r 20 03\r\n701\rab 0F 7c \r\n", false, 0},
        {"r 20 03\r\nab 0F 7c \r\n", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        uint8_t bytes[4] = {1, 2, 3, 4};
        EXPECT_EQ(IsUsableReadReply(c.reply, 3), c.usable) << c.reply;
        EXPECT_EQ(ParseReadReply(c.reply, bytes, 3), c.stored) << c.reply;
        const uint8_t expected[4] = {static_cast<uint8_t>(c.stored ? 0xAB : 1),
                                     static_cast<uint8_t>(c.stored ? 0x0F : 2),
                                     static_cast<uint8_t>(c.stored ? 0x7C : 3), 4};
        EXPECT_EQ(std::memcmp(bytes, expected, 4), 0) << c.reply;
    }
}

// A shell dump is 960 digits and its line end, nothing else: a damaged digit
// anywhere in it, one digit more or less, refuses it.
TEST(ShellDump, OnlyNineHundredSixtyDigitsAndTheLineEnd) {
    const std::string whole = std::string(960, 'a') + "\r\n";
    EXPECT_TRUE(IsCompleteDump(whole.c_str()));
    for (const size_t damaged : {size_t{0}, size_t{481}, size_t{959}}) {
        std::string dump = whole;
        dump[damaged] = 'g';
        EXPECT_FALSE(IsCompleteDump(dump.c_str())) << damaged;
    }
    EXPECT_FALSE(IsCompleteDump(whole.substr(1).c_str()));
    EXPECT_FALSE(IsCompleteDump(("0" + whole).c_str()));
}

}  // namespace
