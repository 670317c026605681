// The real quarnel-cli.exe under Wine against the converter simulators on
// COM3 (monitor mode) and COM4 (shell mode): factory values and applied
// settings reach the block; show prints what the converter holds; a
// provisioning plan reaches both side by side.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "configfile/config_file.h"
#include "envrecord/env_record.h"
#include "envrecord/record_values.h"
#include "tests/win32/e2e/cli_runner.h"
#include "tests/win32/e2e/sim_files.h"

namespace {

using e2e::RunCliExe;

quarnel::EnvRecord RecordOf(const std::vector<uint8_t>& block) {
  quarnel::EnvRecord record{};
  if (block.size() == sizeof record) std::memcpy(record.Data(), block.data(), sizeof record);
  return record;
}

std::vector<uint8_t> BlockOf(const quarnel::EnvRecord& record) {
  return std::vector<uint8_t>(record.Data(), record.Data() + 480);
}

TEST(CliUnderWine, FactoryReachesTheBlockInBothConsoleModes) {
  for (const char* port : {"COM3", "COM4"}) {
    e2e::SimFiles sim(port);
    ASSERT_TRUE(sim.Available());
    const std::vector<uint8_t> before = sim.Block();
    ASSERT_EQ(before.size(), 480u) << port;
    quarnel::EnvRecord expected = RecordOf(before);
    quarnel::ApplyFactoryValues(expected.main, expected.wlan, expected.tail);
    std::memcpy(expected.Data(), before.data(), 32);  // never written

    EXPECT_EQ(RunCliExe(std::string("factory ") + port).status, 0) << port;
    EXPECT_EQ(sim.Block(), BlockOf(expected)) << port;
  }
  EXPECT_EQ(RunCliExe("factory COM9").status, 2);
}

TEST(CliUnderWine, ShowAndApplyInBothConsoleModes) {
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  const std::string file = std::string(temp) + "quarnel-cli-apply-" + std::to_string(GetCurrentProcessId()) + ".qcfg";
  FILE* out = std::fopen(file.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fputs("[network]\nlocal_ip = \"10.1.0.5\"\n[serial]\nbaud_rate = \"9600\"\n", out);
  std::fclose(out);

  for (const char* port : {"COM3", "COM4"}) {
    e2e::SimFiles sim(port);
    ASSERT_TRUE(sim.Available());
    const quarnel::EnvRecord before = RecordOf(sim.Block());
    const uint32_t ip = before.main.local_ip();
    // The values' column starts two blanks after the longest name
    // (startup.infrastructure_on_boot, 30 characters).
    char shownIp[64];
    std::snprintf(shownIp, sizeof shownIp, "network.local_ip%16s%u.%u.%u.%u\r\n", "", ip >> 24, ip >> 16 & 255,
                  ip >> 8 & 255, ip & 255);
    const e2e::CliResult show = RunCliExe(std::string("show ") + port);
    EXPECT_EQ(show.status, 0) << port;
    EXPECT_NE(show.output.find(shownIp), std::string::npos) << show.output;

    const e2e::CliResult apply = RunCliExe(std::string("apply ") + port + " \"" + file + "\" --set \"wlan.target_ssid=Line 7\"");
    EXPECT_EQ(apply.status, 0) << port;
    quarnel::EnvRecord expected = before;
    expected.main.set_local_ip(0x0A010005);
    expected.main.set_baud_rate(9600);
    expected.wlan.set_ssid("Line 7");
    EXPECT_EQ(sim.Block(), BlockOf(expected)) << port;
  }
  DeleteFileA(file.c_str());
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

    EXPECT_EQ(RunCliExe("provision \"" + plan + "\" --template \"" + site + "\"").status, 0);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(e2e::SimFiles(rows[i][0]).Block(), expected[i]) << rows[i][0];
    DeleteFileA(site.c_str());
    DeleteFileA(plan.c_str());
}

}  // namespace
