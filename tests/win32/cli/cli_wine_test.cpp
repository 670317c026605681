// The real quarnel-cli.exe under Wine against the converter simulators on
// COM3 (monitor mode) and COM4 (shell mode): factory values and applied
// settings reach the block; show prints what the converter holds.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

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

}  // namespace
