// The real quarnel-cli.exe under Wine against the converter simulators on
// COM3 (monitor mode) and COM4 (shell mode): factory values reach the block.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "envrecord/env_record.h"
#include "envrecord/record_values.h"
#include "tests/win32/e2e/sim_files.h"

namespace {

// Runs quarnel-cli.exe with `arguments`; its exit status, or -1. Its
// messages go to this test's own output.
int RunCli(const std::string& arguments) {
    std::string commandLine = std::string("\"") + QUARNEL_CLI_EXE + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD status = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}

TEST(CliUnderWine, FactoryReachesTheBlockInBothConsoleModes) {
    for (const char* port : {"COM3", "COM4"}) {
        e2e::SimFiles sim(port);
        ASSERT_TRUE(sim.Available());
        const std::vector<uint8_t> before = sim.Block();
        ASSERT_EQ(before.size(), 480u) << port;
        quarnel::EnvRecord expected{};
        std::memcpy(expected.Data(), before.data(), before.size());
        quarnel::ApplyFactoryValues(expected.main, expected.wlan, expected.tail);
        std::memcpy(expected.Data(), before.data(), 32);  // never written

        EXPECT_EQ(RunCli(std::string("factory ") + port), 0) << port;
        EXPECT_EQ(sim.Block(), std::vector<uint8_t>(expected.Data(), expected.Data() + 480)) << port;
    }
    EXPECT_EQ(RunCli("factory COM9"), 2);
}

}  // namespace
