// The simulated converter keeps the console's rules.
#include "block_text.h"
#include "converter_model.h"
#include "sim_control.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace tarvosim;

std::string Say(ConverterModel& device, const std::string& text, int baud) {
    device.Receive(reinterpret_cast<const uint8_t*>(text.data()), text.size(), baud);
    std::string answer(device.PendingOutput(), '\0');
    device.TakeOutput(reinterpret_cast<uint8_t*>(&answer[0]), answer.size());
    return answer;
}

TEST(ConverterSpeeds, EachModeAnswersOnlyAtItsOwnSpeed) {
    ConverterModel device;
    EXPECT_EQ(Say(device, "r\r", SHELL_BAUD), "");
    EXPECT_NE(Say(device, "r\r", MONITOR_BAUD).find("00 \r\n"), std::string::npos);

    device.SetMode(ConsoleMode::Shell);
    EXPECT_EQ(Say(device, "\rC1\r", MONITOR_BAUD), "");
    EXPECT_NE(Say(device, "\rC1\r", SHELL_BAUD).find("C1: unknown command\r\nmsh>"), std::string::npos);

    device.SetMode(ConsoleMode::Silent);
    EXPECT_EQ(Say(device, "r\r", MONITOR_BAUD) + Say(device, "\rC1\r", SHELL_BAUD), "");

    ASSERT_EQ(device.Log().size(), 9u);
    EXPECT_EQ(device.Log()[0].baud, SHELL_BAUD);
    EXPECT_EQ(device.Log()[0].text, "r\r");
    EXPECT_EQ(device.Log()[3].text, "C1\r");
}

TEST(ConverterMonitor, WritesNeedTheUnlockAndStayInsideTheWritableBlock) {
    ConverterModel device;
    const uint8_t before = device.Block()[32];
    EXPECT_EQ(Say(device, "!w 40 5a\r", MONITOR_BAUD), "!w 40 5a\r\n801\r\n");
    EXPECT_EQ(Say(device, "!u 3d\r", MONITOR_BAUD), "!u 3d\r\n801\r\n");
    EXPECT_EQ(Say(device, "!u e7\r", MONITOR_BAUD), "!u e7\r\n701\r\n");
    EXPECT_EQ(Say(device, "!u 3d\r", MONITOR_BAUD), "!u 3d\r\n701\r\n");
    EXPECT_EQ(Say(device, "!w 3f 01\r", MONITOR_BAUD), "!w 3f 01\r\n801\r\n");
    EXPECT_EQ(Say(device, "!w 1ff 01 02\r", MONITOR_BAUD), "!w 1ff 01 02\r\n801\r\n");
    EXPECT_EQ(device.Block()[32], before);
    unsigned generation = device.BlockGeneration();
    EXPECT_EQ(Say(device, "!w 40 5a a5\r", MONITOR_BAUD), "!w 40 5a a5\r\n701\r\n");
    EXPECT_EQ(device.Block()[32], 0x5A);
    EXPECT_EQ(device.Block()[33], 0xA5);
    EXPECT_GT(device.BlockGeneration(), generation);
}

TEST(ConverterMonitor, ReadRefusedOutsideTheBlock) {
    ConverterModel device;
    EXPECT_EQ(Say(device, "r 1f0 20\r", MONITOR_BAUD), "r 1f0 20\r\n801\r\n");
    EXPECT_EQ(Say(device, "r 10 10\r", MONITOR_BAUD), "r 10 10\r\n801\r\n");
}

TEST(ConverterShell, WritesAreStagedUntilC0) {
    ConverterModel device;
    device.SetMode(ConsoleMode::Shell);
    EXPECT_EQ(Say(device, "WH 020 ff\r", SHELL_BAUD), "WH: unknown command\r\nmsh>");
    EXPECT_EQ(Say(device, "env xconfig\r", SHELL_BAUD), "@700\r\n");
    EXPECT_EQ(Say(device, "L0\r", SHELL_BAUD), "@701\r\n");
    EXPECT_EQ(Say(device, "WH 01f ff\r", SHELL_BAUD), "@702\r\n");  // identity bytes
    EXPECT_EQ(Say(device, "WH 20 ff\r", SHELL_BAUD), "@702\r\n");   // two address digits
    EXPECT_EQ(Say(device, "WH 020 fff\r", SHELL_BAUD), "@702\r\n");  // odd digit count
    EXPECT_EQ(Say(device, "WH 020 fe01\r", SHELL_BAUD), "@701\r\n");
    EXPECT_NE(device.Block()[32], 0xFE);
    std::string dump = Say(device, "RA 00\r", SHELL_BAUD);
    ASSERT_EQ(dump.size(), 968u);
    EXPECT_EQ(dump.substr(64, 4), "FE01");
    EXPECT_EQ(dump.substr(960), "\r\n@701\r\n");
    EXPECT_EQ(Say(device, "C0\r", SHELL_BAUD), "@761\r\nmsh>");
    EXPECT_EQ(device.Block()[32], 0xFE);
    EXPECT_EQ(device.Block()[33], 0x01);

    Say(device, "env xconfig\r", SHELL_BAUD);
    Say(device, "WH 020 00\r", SHELL_BAUD);
    // The probe's leading carriage return leaves the configuration mode unsaved.
    EXPECT_EQ(Say(device, "\rC1\r", SHELL_BAUD), "\r\nmsh>C1: unknown command\r\nmsh>");
    EXPECT_EQ(device.Block()[32], 0xFE);
}

// The faults' shapes are exercised by the exchange fault tests, which end
// differently when a fault does not happen as named.
TEST(ConverterFaults, ParsedFromText) {
    Fault fault;
    ASSERT_TRUE(ParseFault("drop-ack:3", fault));
    EXPECT_EQ(fault.kind, FaultKind::DropAck);
    EXPECT_EQ(fault.n, 3);
    ASSERT_TRUE(ParseFault("garbled-dump", fault));
    EXPECT_EQ(fault.kind, FaultKind::GarbledDump);
    EXPECT_EQ(fault.n, 1);
    EXPECT_FALSE(ParseFault("drop-ack:0", fault));
    EXPECT_FALSE(ParseFault("drop-ack:x", fault));
    EXPECT_FALSE(ParseFault("sometimes", fault));
}

TEST(ConverterBlock, HexTextRoundTripsAndRejectsWrongShapes) {
    ConverterModel device;
    std::string text = FormatBlockHex(device.Block());
    ASSERT_EQ(text.size(), 960u);
    uint8_t block[BLOCK_SIZE] = {};
    std::string spaced;
    for (size_t i = 0; i < text.size(); ++i) spaced += (i % 32 == 0 ? "\n" : "") + text.substr(i, 1);
    ASSERT_TRUE(ParseBlockHex(spaced + "\n", block));
    EXPECT_EQ(std::memcmp(block, device.Block(), BLOCK_SIZE), 0);
    uint8_t untouched[BLOCK_SIZE] = {};
    EXPECT_FALSE(ParseBlockHex(text.substr(1), untouched));
    EXPECT_FALSE(ParseBlockHex(text + "00", untouched));
    EXPECT_FALSE(ParseBlockHex("G" + text.substr(1), untouched));
    for (uint8_t byte : untouched) ASSERT_EQ(byte, 0);
}

TEST(ConverterControl, AppliesModeFaultBlockAndSeq) {
    ConverterModel device;
    std::string block(960, '0');
    block.replace(64, 2, "7F");
    ControlResult result =
        ApplyControl("mode shell\r\nfault drop-ack:4\nblock " + block + "\nbogus 1\nmode sideways\nseq 12\n", device);
    EXPECT_FALSE(result.unplug);
    EXPECT_EQ(device.Mode(), ConsoleMode::Shell);
    EXPECT_EQ(device.CurrentFault().kind, FaultKind::DropAck);
    EXPECT_EQ(device.CurrentFault().n, 4);
    EXPECT_EQ(device.Block()[32], 0x7F);
    EXPECT_EQ(device.Block()[0], 0);
    EXPECT_TRUE(result.hasSeq);
    EXPECT_EQ(result.seq, "12");
    EXPECT_EQ(result.rejectedLines, 2);
    EXPECT_FALSE(ApplyControl("fault none\n", device).hasSeq);
    EXPECT_TRUE(ApplyControl("unplug\n", device).unplug);
    EXPECT_EQ(device.CurrentFault().kind, FaultKind::None);
}

TEST(ConverterControl, LogLinesEscapeControlCharacters) {
    EXPECT_EQ(EscapeForLog(std::string("\rC1\r\n\\\0\x7f", 8)), "\\rC1\\r\\n\\\\\\0\\x7F");
}

}  // namespace
