// Command texts and reply parsing of the console protocol.
#include "exchange/console_protocol.h"

#include "converter_model.h"
#include "exchange/device_exchange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace quarnel;

std::string Text(const CommandText& command) { return std::string(command.text, command.length); }

TEST(ConsoleCommands, ReadCommandsOfAMonitorRead) {
    CommandText c;
    FormatReadCommand(c, 32, 128);
    EXPECT_EQ(Text(c), "r 20 80\r");
    EXPECT_EQ(c.length, 8);
    FormatReadCommand(c, 160, 128);
    EXPECT_EQ(Text(c), "r a0 80\r");
    FormatReadCommand(c, 288, 128);
    EXPECT_EQ(Text(c), "r 120 80\r");
    EXPECT_EQ(c.length, 9);
    FormatReadCommand(c, 416, 96);
    EXPECT_EQ(Text(c), "r 1a0 60\r");
    EXPECT_EQ(ReadReplyLength(c.length, 96), 305);
    FormatReadCommand(c, 5, 1);
    EXPECT_EQ(Text(c), "r 05 01\r");
}

TEST(ConsoleCommands, MonitorWriteIsSpacedLowerCaseHex) {
    uint8_t bytes[16];
    for (int i = 0; i < 16; ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);
    CommandText c;
    ASSERT_TRUE(FormatMonitorWriteCommand(c, 0x40, bytes, 16));
    EXPECT_EQ(c.length, 54);
    EXPECT_EQ(Text(c), "!w 40 a0 a1 a2 a3 a4 a5 a6 a7 a8 a9 aa ab ac ad ae af\r");
    ASSERT_TRUE(FormatMonitorWriteCommand(c, 0x1f0, bytes, 2));
    EXPECT_EQ(Text(c), "!w 1f0 a0 a1\r");
}

TEST(ConsoleCommands, ShellWriteAlwaysHasThreeAddressDigits) {
    uint8_t bytes[16] = {0x00, 0x0F, 0xFF};
    CommandText c;
    ASSERT_TRUE(FormatShellWriteCommand(c, 32, bytes, 16));
    EXPECT_EQ(c.length, 40);
    EXPECT_EQ(Text(c), "WH 020 000fff" + std::string(26, '0') + "\r");
    ASSERT_TRUE(FormatShellWriteCommand(c, 0x1d0, bytes, 1));
    EXPECT_EQ(Text(c), "WH 1d0 00\r");
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

TEST(ConsoleTokens, NextTokenSkipsDelimiterRunsAndContinuesAfterThePiece) {
    char piece[8];
    const char* rest = NextToken("\r\rab\rcd", piece, sizeof piece, '\r');
    EXPECT_STREQ(piece, "ab");
    EXPECT_STREQ(rest, "cd");
    rest = NextToken(rest, piece, sizeof piece, '\r');
    EXPECT_STREQ(piece, "cd");
    EXPECT_EQ(*rest, 0);
    rest = NextToken(rest, piece, sizeof piece, '\r');
    EXPECT_STREQ(piece, "");
    // A piece longer than its buffer is cut, and the text still moves on.
    rest = NextToken("0123456789 x", piece, sizeof piece, ' ');
    EXPECT_STREQ(piece, "0123456");
    EXPECT_STREQ(rest, "x");
}

// The answer of the simulated converter to one read command.
std::string ReadAnswer(tarvosim::ConverterModel& device, const char* command) {
    device.Receive(reinterpret_cast<const uint8_t*>(command), std::strlen(command), 115200);
    std::string answer(device.PendingOutput(), '\0');
    device.TakeOutput(reinterpret_cast<uint8_t*>(&answer[0]), answer.size());
    return answer;
}

TEST(ReadReplies, ConverterAnswersHaveTheExactLengthAndParseBack) {
    tarvosim::ConverterModel device;
    const struct { int address, length; } chunks[] = {{32, 128}, {160, 128}, {288, 128}, {416, 96}};
    for (const auto& chunk : chunks) {
        CommandText c;
        FormatReadCommand(c, chunk.address, chunk.length);
        std::string answer = ReadAnswer(device, c.text);
        ASSERT_EQ(static_cast<int>(answer.size()), ReadReplyLength(c.length, chunk.length));
        uint8_t parsed[128];
        EXPECT_EQ(ParseReadReply(answer.c_str(), parsed, chunk.length), chunk.length);
        EXPECT_EQ(std::memcmp(parsed, device.Block() + chunk.address - 32, chunk.length), 0);
    }
    tarvosim::ConverterModel again;
    EXPECT_EQ(ReadAnswer(again, "r 20 80\r").size(), 400u);
}

TEST(ReadReplies, RefusedEmptyOrDatalessRepliesStoreNothing) {
    uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_EQ(ParseReadReply("r 20 04\r\n801\r\n", bytes, 4), 0);
    EXPECT_EQ(ParseReadReply("r 20 04\r\n701\r\n11 22 801 44 \r\n", bytes, 4), 0);
    EXPECT_EQ(ParseReadReply("", bytes, 4), 0);
    EXPECT_EQ(ParseReadReply("r 20 04\r\n11 22 33 44 \r\n", bytes, 4), 0);
    EXPECT_EQ(ParseReadReply("r 20 04\r\n701", bytes, 4), 0);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[3], 4);
}

TEST(ReadReplies, StoresAtMostTheRequestedBytesAndTakesLowEightBits) {
    uint8_t bytes[4] = {};
    EXPECT_EQ(ParseReadReply("x\r\n701\r\nab 1ff zz 7\r\n", bytes, 3), 3);
    EXPECT_EQ(bytes[0], 0xAB);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0x00);  // no digit leads: 0
    EXPECT_EQ(bytes[3], 0x00);
}

TEST(ShellDump, OnlyNineHundredSixtyHexDigitsMakeACompleteDump) {
    char reply[REPLY_BUFFER_SIZE] = {};
    std::string good = std::string(958, 'a') + "0F\r\n@701\r\n";
    std::memcpy(reply, good.data(), good.size());
    EXPECT_TRUE(IsCompleteDump(reply));
    EXPECT_EQ(DumpByte(reply, 0), 0xAA);
    EXPECT_EQ(DumpByte(reply, 479), 0x0F);

    reply[500] = 'g';
    EXPECT_FALSE(IsCompleteDump(reply));
    std::memset(reply, 0, sizeof reply);
    std::string cut = std::string(900, '1') + "\r\n@701\r\n";
    std::memcpy(reply, cut.data(), cut.size());
    EXPECT_FALSE(IsCompleteDump(reply));
    std::memset(reply, 0, sizeof reply);
    std::memset(reply, 'f', 959);
    EXPECT_FALSE(IsCompleteDump(reply));
}

class CollectHost : public ExchangeHost {
public:
    int Write(const char*, int length) override { return length; }
    int ReadByte(uint8_t& byte) override {
        if (delivered == available) return 0;
        byte = static_cast<uint8_t>('A' + delivered++ % 26);
        return 1;
    }
    void SetBaudCodeAndConfigure(int) override {}
    void PumpTransmit() override {}
    void PumpReceive() override {}
    bool IsLinkActive() override { return true; }
    void ArmReplyTimer(int) override {}
    void KillReplyTimer() override {}
    void ShowProgressText(const char*) override {}
    void SetProgressPosition(int) override {}
    void CloseProgress() override {}
    void RefreshFormFromRecord() override {}
    void EnableMainWindow() override {}
    void ShowMessage(const char*, unsigned) override {}
    int available = 0;
    int delivered = 0;
};

TEST(ReplyBuffer, ExtraBytesAreDrainedAndDroppedKeepingTheTerminator) {
    DeviceExchange ex;
    CollectHost host;
    host.available = 2000;
    CollectReply(ex, host);
    EXPECT_EQ(host.delivered, 2000);
    EXPECT_EQ(ex.replyCount, REPLY_BUFFER_SIZE - 1);
    EXPECT_EQ(ex.ReplyBuffer[REPLY_BUFFER_SIZE - 1], 0);
    EXPECT_EQ(ex.ReplyBuffer[REPLY_BUFFER_SIZE - 2], 'A' + (REPLY_BUFFER_SIZE - 2) % 26);
    host.available = 2100;
    CollectReply(ex, host);
    EXPECT_EQ(ex.replyCount, REPLY_BUFFER_SIZE - 1);
    EXPECT_EQ(std::strlen(ex.ReplyBuffer), static_cast<size_t>(REPLY_BUFFER_SIZE - 1));
    ClearReply(ex);
    EXPECT_EQ(ex.replyCount, 0);
    for (char c : ex.ReplyBuffer) ASSERT_EQ(c, 0);
}

}  // namespace
