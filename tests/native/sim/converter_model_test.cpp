// The simulated converter keeps the console's rules.
#include "converter_model.h"

#include <gtest/gtest.h>

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
    // Each command is echoed, then answered 701 (done) or 801 (refused).
    for (auto [command, answer] : {std::pair{"!w 40 5a", "801"},
                                   {"!u 3d", "801"},
                                   {"!u e7", "701"},
                                   {"!u 3d", "701"},
                                   {"!w 3f 01", "801"},
                                   {"!w 1ff 01 02", "801"},
                                   {"r 1f0 20", "801"},
                                   {"r 10 10", "801"}})
        EXPECT_EQ(Say(device, command + std::string("\r"), MONITOR_BAUD),
                  command + std::string("\r\n") + answer + "\r\n");
    EXPECT_EQ(device.Block()[32], before);
    unsigned generation = device.BlockGeneration();
    EXPECT_EQ(Say(device, "!w 40 5a a5\r", MONITOR_BAUD), "!w 40 5a a5\r\n701\r\n");
    EXPECT_EQ(device.Block()[32], 0x5A);
    EXPECT_EQ(device.Block()[33], 0xA5);
    EXPECT_GT(device.BlockGeneration(), generation);
}

TEST(ConverterShell, WritesAreStagedUntilC0) {
    ConverterModel device;
    device.SetMode(ConsoleMode::Shell);
    // Refused: outside configuration mode, identity bytes, two address digits, an odd digit count.
    for (auto [command, answer] : {std::pair{"WH 020 ff\r", "WH: unknown command\r\nmsh>"},
                                   {"env xconfig\r", "@700\r\n"},
                                   {"L0\r", "@701\r\n"},
                                   {"WH 01f ff\r", "@702\r\n"},
                                   {"WH 20 ff\r", "@702\r\n"},
                                   {"WH 020 fff\r", "@702\r\n"},
                                   {"WH 020 fe01\r", "@701\r\n"}})
        EXPECT_EQ(Say(device, command, SHELL_BAUD), answer) << command;
    EXPECT_NE(device.Block()[32], 0xFE);
    std::string dump = Say(device, "RA 00\r", SHELL_BAUD);
    ASSERT_EQ(dump.size(), 968u);
    EXPECT_EQ(dump.substr(64, 4), "FE01");
    EXPECT_EQ(dump.substr(960), "\r\n@701\r\n");
    EXPECT_EQ(Say(device, "C0\r", SHELL_BAUD), "@761\r\nmsh>");
    EXPECT_EQ(device.Block()[32] << 8 | device.Block()[33], 0xFE01);

    Say(device, "env xconfig\r", SHELL_BAUD);
    Say(device, "WH 020 00\r", SHELL_BAUD);
    // The probe's leading carriage return leaves the configuration mode unsaved.
    EXPECT_EQ(Say(device, "\rC1\r", SHELL_BAUD), "\r\nmsh>C1: unknown command\r\nmsh>");
    EXPECT_EQ(device.Block()[32], 0xFE);
}

}  // namespace
