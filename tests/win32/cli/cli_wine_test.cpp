// The real quarnel-cli.exe under Wine against the converter simulators on
// COM3 (monitor mode) and COM4 (shell mode): a provisioning plan reaches
// both side by side. The commands' own rules are tested natively; save and
// apply through Windows ports also run in the settings-file tests.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>

#include "envrecord/env_record.h"
#include "tests/win32/e2e/cli_runner.h"
#include "tools/window-driver/sim_files.h"

namespace {

using e2e::RunCliExe;
using Block = std::vector<uint8_t>;

quarnel::EnvRecord RecordOf(const Block& block) {
    quarnel::EnvRecord record{};
    if (block.size() == sizeof record) std::memcpy(record.Data(), block.data(), sizeof record);
    return record;
}

// The block of `record`, its first 32 bytes (never written) from `before`.
Block Written(const quarnel::EnvRecord& record, const Block& before) {
    Block block(record.Data(), record.Data() + sizeof record);
    std::copy(before.begin(), before.begin() + 32, block.begin());
    return block;
}

std::string TempPath(const std::string& name) {
    char folder[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    return folder + std::to_string(GetCurrentProcessId()) + name;
}

TEST(CliUnderWine, ProvisionWritesBothConvertersSideBySide) {
    const std::string site = TempPath("site.qcfg"), plan = TempPath("plan.csv");
    std::ofstream(site) << "[network]\ngateway_ip = \"10.1.0.1\"\n";
    // Windows names a port in any case.
    std::ofstream(plan) << "port,network.local_ip,comment.text\ncom3,10.1.0.11,\"Hall 3, line 1\"\nCOM4,10.1.0.12,\n";
    const Block before[2] = {e2e::SimFiles("COM3").Block(), e2e::SimFiles("COM4").Block()};
    EXPECT_EQ(RunCliExe("provision \"" + plan + "\" --template \"" + site + "\""), 0);
    const char* const comments[2] = {"Hall 3, line 1", nullptr};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        quarnel::EnvRecord expected = RecordOf(before[i]);
        expected.main.set_gateway_ip(0x0A010001);
        expected.main.set_local_ip(0x0A01000B + static_cast<uint32_t>(i));
        if (comments[i]) expected.tail.set_comment(comments[i]);
        EXPECT_EQ(e2e::SimFiles(i == 0 ? "COM3" : "COM4").Block(), Written(expected, before[i]));
    }
    DeleteFileA(site.c_str());
    DeleteFileA(plan.c_str());
}

}  // namespace
