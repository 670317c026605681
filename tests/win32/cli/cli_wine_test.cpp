// The real quarnel-cli.exe under Wine against the converter simulators on
// COM3 (monitor mode) and COM4 (shell mode): factory values reach the block,
// and a provisioning plan reaches both side by side.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

#include "configfile/config_file.h"
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

TEST(CliUnderWine, ProvisionWritesBothConvertersSideBySide) {
    char folder[MAX_PATH] = "";
    ASSERT_GT(GetTempPathA(sizeof folder, folder), 0u);
    const std::string site = std::string(folder) + "quarnel-provision-site.qcfg";
    const std::string plan = std::string(folder) + "quarnel-provision-plan.csv";
    const char* const siteText = "[network]\ngateway_ip = \"10.1.0.1\"\n";
    std::ofstream(site) << siteText;
    // Windows names a port in any case.
    std::ofstream(plan) << "port,network.local_ip,comment.text\ncom3,10.1.0.11,\"Hall 3, line 1\"\nCOM4,10.1.0.12,\n";

    quarnel::ConfigFile parsed;
    std::string error;
    ASSERT_TRUE(quarnel::ParseConfigText(siteText, "site", parsed, error)) << error;
    const char* const rows[][2] = {{"COM3", "comment.text=Hall 3, line 1"}, {"COM4", nullptr}};
    std::vector<uint8_t> expected[2];
    for (int i = 0; i < 2; ++i) {
        e2e::SimFiles sim(rows[i][0]);
        ASSERT_TRUE(sim.Available());
        const std::vector<uint8_t> before = sim.Block();
        ASSERT_EQ(before.size(), 480u);
        quarnel::ConfigPatch patch = parsed.patch;
        ASSERT_TRUE(quarnel::ParseAssignment("network.local_ip=10.1.0.1" + std::to_string(i + 1), "row", patch, error));
        if (rows[i][1] != nullptr) {
            ASSERT_TRUE(quarnel::ParseAssignment(rows[i][1], "row", patch, error)) << error;
        }
        quarnel::EnvRecord record{};
        std::memcpy(record.Data(), before.data(), before.size());
        ASSERT_TRUE(quarnel::ApplyPatch(patch, record, error)) << error;
        std::memcpy(record.Data(), before.data(), 32);  // never written
        expected[i].assign(record.Data(), record.Data() + 480);
    }

    EXPECT_EQ(RunCli("provision \"" + plan + "\" --template \"" + site + "\""), 0);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(e2e::SimFiles(rows[i][0]).Block(), expected[i]) << rows[i][0];
    DeleteFileA(site.c_str());
    DeleteFileA(plan.c_str());
}

}  // namespace
