// The four dialogues of the console, driven against the simulated converter.
#include "exchange_bench.h"

#include <cstdio>

namespace quarnel_test {
namespace {

using namespace quarnel;

std::string Hex(const uint8_t* bytes, int count, const char* separator) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        text += separator;
        text += pair;
    }
    return text;
}

using ExchangeDialogue = ExchangeBench;

TEST_F(ExchangeDialogue, MonitorReadIsProbeAndFourChunks) {
    PressRead();
    Run();

    EXPECT_EQ(line.AllSent(), "r\r" "r 20 80\r" "r a0 80\r" "r 120 80\r" "r 1a0 60\r");
    for (const auto& chunk : line.sent) EXPECT_EQ(chunk.baud, 115200);
    EXPECT_EQ(line.progressPositions, (std::vector<int>{160, 288, 416, 512}));
    EXPECT_TRUE(RecordMatchesDevice());
    EXPECT_EQ(ex.monitorMode, 1);
    ExpectCompleted("Reading complete.", 1);
}

TEST_F(ExchangeDialogue, ShellReadFallsBackAfterExactlyOneSecondAt19200) {
    device.SetMode(tarvosim::ConsoleMode::Shell);
    PressRead();
    Run();

    ASSERT_EQ(SentAt("r\r"), 0);
    EXPECT_EQ(SentAt("\rC1\r"), 1000);
    EXPECT_EQ(line.AllSent(), "r\r" "\rC1\r" "env xconfig\r" "L0\r" "RA 00\r" "C1\r");
    EXPECT_EQ(line.sent.front().baud, 115200);
    for (size_t i = 1; i < line.sent.size(); ++i) EXPECT_EQ(line.sent[i].baud, 19200);
    EXPECT_EQ(line.baudCode, BAUD_CODE_SHELL);  // stays at the last speed

    // The dump fills all 480 bytes, the never-written first 32 included.
    EXPECT_TRUE(RecordMatchesDevice());
    ASSERT_EQ(line.progressPositions.size(), 480u);
    EXPECT_EQ(line.progressPositions.front(), 272);
    EXPECT_EQ(line.progressPositions.back(), 511);
    EXPECT_EQ(ex.monitorMode, 0);
    EXPECT_EQ(ex.op, OP_NONE);
    ExpectCompleted("Reading complete.", 1);
}

TEST_F(ExchangeDialogue, MonitorWriteSendsUnlocksAnd28Chunks) {
    std::memcpy(record, device.Block(), sizeof record);
    for (int i = 0; i < 32; ++i) record[i] = 0x11;  // never sent
    record[36] = 10;
    record[479] = 0x7E;
    PressWrite();
    Run();

    std::string expected = "r\r" "!u e7\r" "!u 3d\r";
    std::vector<int> positions;
    for (int address = 0x40; address < 0x200; address += 16) {
        char head[16];
        std::snprintf(head, sizeof head, "!w %02x", address);
        expected += head + Hex(record + address - 32, 16, " ") + "\r";
        positions.push_back(address + 16);
    }
    EXPECT_EQ(line.AllSent(), expected);
    EXPECT_EQ(CountSent("!w "), 28);
    EXPECT_EQ(line.sent[3].bytes.size(), 54u);
    EXPECT_EQ(line.progressPositions, positions);
    EXPECT_TRUE(RecordMatchesDevice(32));
    EXPECT_NE(device.Block()[0], 0x11);
    ExpectCompleted("Writing complete.", 1);
}

TEST_F(ExchangeDialogue, ShellWriteSends28WhChunksThenCommitsWithoutRefresh) {
    device.SetMode(tarvosim::ConsoleMode::Shell);
    std::memcpy(record, device.Block(), sizeof record);
    for (int i = 0; i < 32; ++i) record[i] = 0x11;
    record[288] = 'X';
    record[479] = 0xAB;
    PressWrite();
    Run();

    std::string expected = "r\r" "\rC1\r" "env xconfig\r" "L0\r";
    std::vector<int> positions;
    for (int address = 0x020; address < 0x1e0; address += 16) {
        char head[16];
        std::snprintf(head, sizeof head, "WH %03x ", address);
        expected += head + Hex(record + address, 16, "") + "\r";
        positions.push_back(address);
    }
    expected += "C0\r";
    EXPECT_EQ(line.AllSent(), expected);
    EXPECT_EQ(CountSent("WH "), 28);
    EXPECT_EQ(line.sent[4].bytes, "WH 020 " + Hex(record + 32, 16, "") + "\r");
    EXPECT_EQ(line.sent[4].bytes.size(), 40u);
    EXPECT_EQ(line.progressPositions, positions);
    EXPECT_TRUE(RecordMatchesDevice(32));
    EXPECT_NE(device.Block()[0], 0x11);
    ExpectCompleted("Writing complete.", 0);
}

// Each reply examined many times while incomplete (every character takes
// 40 ms or more to arrive), or extra ticks run whenever bytes arrive (as the
// window does on data notifications): every dialogue still completes.
TEST_F(ExchangeDialogue, SlowRepliesAndExtraTicksChangeNothing) {
    for (bool extraTicks : {false, true}) {
        SCOPED_TRACE(extraTicks);
        line = VirtualLine(device);
        if (extraTicks) line.afterTick = [this] { RunPumpTick(ex, line, record); };
        else line.latencyMs = 40;
        for (auto [mode, write] : {std::pair{tarvosim::ConsoleMode::Shell, false}, {tarvosim::ConsoleMode::Monitor, false},
                                   {tarvosim::ConsoleMode::Shell, true}, {tarvosim::ConsoleMode::Monitor, true}}) {
            device.SetMode(mode);
            record[100] ^= 0xFF;
            write ? PressWrite() : PressRead();
            Run();
            EXPECT_EQ(ex.recordLoaded, 1);
            EXPECT_TRUE(RecordMatchesDevice(write ? 32 : 0));
        }
        EXPECT_TRUE(line.messages.empty());
        EXPECT_EQ(CountSent("WH "), 28);
        EXPECT_EQ(CountSent("!w "), 28);
    }
}

}  // namespace
}  // namespace quarnel_test
