// The real quarnel-cli against the converter simulator on a pty, in both
// console modes: the converter's block is checked byte for byte.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "configfile/config_file.h"
#include "envrecord/record_values.h"
#include "tests/native/cli/cli_run.h"
#include "tests/native/cli/sim_process.h"
#include "ui/password_block.h"

namespace {

using clitest::CliRun;
using clitest::RunCli;
using clitest::SimProcess;
using clitest::TempFolder;
using quarnel::EnvRecord;

EnvRecord RecordOf(const std::vector<uint8_t>& block) {
    EnvRecord record{};
    if (block.size() == sizeof record) std::memcpy(record.Data(), block.data(), sizeof record);
    return record;
}

// The block a converter holds after `written` went to it: bytes 32-479 as
// written, the first 32 as they were.
std::vector<uint8_t> AfterWrite(const std::vector<uint8_t>& before, const EnvRecord& written) {
    std::vector<uint8_t> block(before);
    std::memcpy(block.data() + 32, written.Data() + 32, 480 - 32);
    return block;
}

std::vector<uint8_t> WithPassword(const std::vector<uint8_t>& block, const char* password) {
    EnvRecord record = RecordOf(block);
    uint8_t packed[quarnel::PASSWORD_BLOCK_SIZE];
    EXPECT_TRUE(quarnel::BuildPasswordBlock(password == nullptr, password ? password : "", packed));
    quarnel::MainBlock::PasswordBlock field;
    std::memcpy(field.data(), packed, sizeof packed);
    record.main.set_password_block(field);
    return AfterWrite(block, record);
}

std::vector<uint8_t> BlockOfFile(const std::string& text) {
    quarnel::ConfigFile file;
    std::string error;
    EXPECT_TRUE(quarnel::ParseConfigText(text, "saved", file, error)) << error;
    return std::vector<uint8_t>(file.block.Data(), file.block.Data() + 480);
}

std::string Dotted(uint32_t address) {
    return std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 255) + "." +
           std::to_string(address >> 8 & 255) + "." + std::to_string(address & 255);
}

class CliConverter : public ::testing::TestWithParam<const char*> {};

TEST_P(CliConverter, FactoryAndPasswordReachTheBlock) {
    const std::string mode = GetParam();
    SimProcess sim(mode);
    ASSERT_TRUE(sim.Started());
    const std::vector<uint8_t> initial = sim.Block();
    ASSERT_EQ(initial.size(), 480u);

    EnvRecord factory = RecordOf(initial);
    quarnel::ApplyFactoryValues(factory.main, factory.wlan, factory.tail);
    CliRun run = RunCli({"factory", sim.Port()});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.errors.find("(" + mode + " mode): verified."), std::string::npos) << run.errors;
    const std::vector<uint8_t> afterFactory = sim.Block();
    EXPECT_EQ(afterFactory, AfterWrite(initial, factory));

    run = RunCli({"password", sim.Port(), "--password-stdin", "--mode", mode, "-q"}, "Secret-12\n");
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    const std::vector<uint8_t> afterPassword = sim.Block();
    EXPECT_EQ(afterPassword, WithPassword(afterFactory, "Secret-12"));

    run = RunCli({"password", "--delete", sim.Port()});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(sim.Block(), WithPassword(afterPassword, nullptr));
}

// The third 16-byte chunk (record bytes 64-79) is acknowledged and lost;
// the password field's first eight bytes (72-79) lie in it.
TEST_P(CliConverter, VerifyCatchesAChunkTheConverterDropped) {
    SimProcess sim(GetParam(), "lose-write:3");
    ASSERT_TRUE(sim.Started());
    const CliRun run = RunCli({"password", sim.Port(), "--password-stdin"}, "tarvo\n");
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(run.errors.find("Differing offsets: 72-79."), std::string::npos) << run.errors;
}

// show, save, apply, diff and restore against one converter, its block
// checked byte for byte after every write.
TEST_P(CliConverter, FileCommandsRoundTripTheBlock) {
    const std::string mode = GetParam();
    SimProcess sim(mode);
    ASSERT_TRUE(sim.Started());
    TempFolder files;
    const std::vector<uint8_t> initial = sim.Block();
    ASSERT_EQ(initial.size(), 480u);
    const EnvRecord before = RecordOf(initial);
    const std::string port = sim.Port();

    CliRun run = RunCli({"show", port, "--mode", mode});
    ASSERT_EQ(run.status, 0) << run.errors;
    const std::string ip = Dotted(before.main.local_ip());
    EXPECT_TRUE(std::regex_search(run.output, std::regex("\\nnetwork\\.local_ip {16}" + ip + "\\n"))) << run.output;

    run = RunCli({"show", port, "--format", "qcfg"});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(BlockOfFile(run.output), initial);
    run = RunCli({"save", port, files.Path("backup.qcfg")});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(BlockOfFile(files.Read("backup.qcfg")), initial);

    // Two files and two values, each later one winning where they overlap.
    const std::string site = files.Write("site.qcfg", "[network]\nlocal_ip = \"10.1.0.5\"\n[serial]\nbaud_rate = \"9600\"\n");
    const std::string line7 = files.Write("line-7.qcfg", "[serial]\nbaud_rate = \"19200\"\n[wlan]\ntarget_ssid = \"HALL-7\"\n");
    run = RunCli({"apply", port, site, line7, "--set", "network.gateway_ip=10.1.0.1", "--set", "wlan.target_ssid=Line 7"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.errors.find("(" + mode + " mode): verified."), std::string::npos) << run.errors;
    EnvRecord applied = before;
    applied.main.set_local_ip(0x0A010005), applied.main.set_gateway_ip(0x0A010001);
    applied.main.set_baud_rate(19200), applied.wlan.set_ssid("Line 7");
    EXPECT_EQ(sim.Block(), AfterWrite(initial, applied));

    const struct {
        std::vector<std::string> args;
        int status;
        std::string output;
    } diffs[] = {
        {{"diff", files.Path("backup.qcfg"), port}, 1,
         "network.local_ip: " + ip + " -> 10.1.0.5\nnetwork.gateway_ip: " + Dotted(before.main.gateway_ip()) +
             " -> 10.1.0.1\nserial.baud_rate: " + std::to_string(before.main.baud_rate()) +
             " -> 19200\nwlan.target_ssid: " + before.wlan.ssid() + " -> Line 7\n"},
        {{"diff", port, site}, 1, "serial.baud_rate: 19200 -> 9600\n"},
        {{"diff", line7, line7}, 0, ""},
    };
    for (const auto& c : diffs) {
        run = RunCli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args[1] << " " << c.args[2] << ": " << run.errors;
        EXPECT_EQ(run.output, c.output);
    }

    run = RunCli({"restore", port, files.Path("backup.qcfg")});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(sim.Block(), initial);

    // A backup of another converter (its MAC one higher) is refused unless
    // forced; forced, bytes 32-479 are the file's and the converter keeps its
    // own first 32.
    EnvRecord other = before;
    quarnel::MainBlock::MacAddress mac = other.main.mac_address();
    ++mac[5];
    other.main.set_mac_address(mac), other.main.set_local_ip(0x0A000063);
    const std::string backup = files.Write("other.qcfg", quarnel::WriteConfigText(other, quarnel::AboutOf(other.main, "", "")));
    run = RunCli({"restore", port, backup});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("saved from the converter with MAC address"), std::string::npos) << run.errors;
    EXPECT_EQ(sim.Block(), initial);
    run = RunCli({"restore", port, backup, "--force"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(sim.Block(), AfterWrite(initial, other));
    run = RunCli({"diff", backup, port});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output, "other offsets: 9\n");
}

INSTANTIATE_TEST_SUITE_P(BothConsoles, CliConverter, ::testing::Values("monitor", "shell"));

TEST(CliFailures, SilentConverterIsReported) {
    SimProcess sim("silent");
    ASSERT_TRUE(sim.Started());
    const CliRun run = RunCli({"factory", sim.Port(), "--timeout-scale", "0.25"});
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(run.errors.find("No respone from Tarvo.\n\nCheck serial port, cable connection, power supply and "
                              "console mode."),
              std::string::npos)
        << run.errors;
}

// A bad port, password, file or value ends the command before the port is
// opened: the converter receives nothing. (The configuration file tests
// hold every refusal; here one of each kind.)
TEST(CliFailures, BadInputSendsNothing) {
    SimProcess sim("monitor");
    ASSERT_TRUE(sim.Started());
    TempFolder files;
    const std::string port = sim.Port();
    const std::string good = files.Write("good.qcfg", "[network]\nlocal_ip = \"10.1.0.5\"\n");
    const std::string bad = files.Write("bad.qcfg", "[network]\nlocal_ip = \"10.1.0.5\"\n\n[serial]\nparity = \"MARK\"\n");
    const int held = open(port.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    CliRun run = RunCli({"factory", port});
    close(held);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("is in use by another program."), std::string::npos) << run.errors;

    const struct {
        std::vector<std::string> args;
        std::string input;
        std::string message;
    } refused[] = {
        {{"factory", "/dev/ttyQUARNEL-none"}, "", "Port /dev/ttyQUARNEL-none does not exist.\n"},
        {{"password", port, "--password-stdin"}, "thirteen-char\n", "more than 12 characters"},
        {{"password", port, "--password-stdin"}, "\n", "use --delete"},
        {{"password", port}, "", "give it with --password-stdin"},
        {{"factory", port, "--mode", "both"}, "", "--mode"},
        {{"apply", port, good, bad}, "", "bad.qcfg, line 5: serial.parity: \"MARK\" is not offered"},
        {{"apply", port, good, "--set", "network.local_ip=10.1.0.300"}, "",
         "--set network.local_ip=10.1.0.300: network.local_ip: \"10.1.0.300\" is not an address"},
        {{"apply", port, files.Path("missing.qcfg")}, "", "could not be read from"},
        {{"apply", port}, "", "Nothing to apply"},
        {{"restore", port, good}, "", "good.qcfg: holds no [block]"},
        {{"save", port}, "", "FILE is required"},
        {{"save", port, files.Path("no/x.qcfg")}, "", "The folder " + files.Path("no") + " does not exist"},
        {{"save", port, "/dev/null"}, "", "/dev/null is a device, not a regular file"},
    };
    for (const auto& c : refused) {
        run = RunCli(c.args, c.input);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
    EXPECT_EQ(sim.LoggedLines(), 0u);

    // A value this converter cannot take is refused after the read, before
    // any write: the converter's log holds one read, as a show leaves it.
    run = RunCli({"show", port});
    ASSERT_EQ(run.status, 0) << run.errors;
    const size_t oneRead = sim.LoggedLines();
    ASSERT_GT(oneRead, 0u) << "the simulator logs what it receives";
    const std::vector<uint8_t> block = sim.Block();
    run = RunCli({"apply", port, good, "--set", "mode.timeout=65535"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("mode.timeout: 65535 is above"), std::string::npos) << run.errors;
    EXPECT_EQ(sim.LoggedLines(), 2 * oneRead);
    EXPECT_EQ(sim.Block(), block);
}

}  // namespace
