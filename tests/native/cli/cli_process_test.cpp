// The real quarnel-cli against the converter simulator on a pty, in both
// console modes: the converter's block is checked byte for byte.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "envrecord/env_record.h"
#include "envrecord/record_values.h"
#include "tests/native/cli/cli_run.h"
#include "tests/native/cli/sim_process.h"
#include "ui/password_block.h"

namespace {

using clitest::CliRun;
using clitest::RunCli;
using clitest::SimProcess;
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

EnvRecord WithPassword(const std::vector<uint8_t>& block, const char* password) {
    EnvRecord record = RecordOf(block);
    uint8_t packed[quarnel::PASSWORD_BLOCK_SIZE];
    EXPECT_TRUE(quarnel::BuildPasswordBlock(password == nullptr, password ? password : "", packed));
    quarnel::MainBlock::PasswordBlock field;
    std::memcpy(field.data(), packed, sizeof packed);
    record.main.set_password_block(field);
    return record;
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
    EXPECT_EQ(afterPassword, AfterWrite(afterFactory, WithPassword(afterFactory, "Secret-12")));

    run = RunCli({"password", "--delete", sim.Port()});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(sim.Block(), AfterWrite(afterPassword, WithPassword(afterPassword, nullptr)));
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

INSTANTIATE_TEST_SUITE_P(BothConsoles, CliConverter, ::testing::Values("monitor", "shell"));

TEST(CliFailures, SilentConverterIsReportedWithinTheTimeOuts) {
    SimProcess sim("silent");
    ASSERT_TRUE(sim.Started());
    // Monitor probe 1000 ms and shell probe 3000 ms, a quarter of each.
    const CliRun run = RunCli({"factory", sim.Port(), "--timeout-scale", "0.25"});
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(run.errors.find("No respone from Tarvo.\n\nCheck serial port, cable connection, power supply and "
                              "console mode."),
              std::string::npos)
        << run.errors;
    EXPECT_GE(run.seconds, 0.95);
    EXPECT_LT(run.seconds, 3.0);
}

TEST(CliFailures, PortErrorsAndBadInputEndBeforeTheConverter) {
    SimProcess sim("monitor");
    ASSERT_TRUE(sim.Started());
    CliRun run = RunCli({"factory", "/dev/ttyQUARNEL-none"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.errors, "Port /dev/ttyQUARNEL-none does not exist.\n");

    const int held = open(sim.Port().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    run = RunCli({"factory", sim.Port()});
    close(held);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("is in use by another program."), std::string::npos) << run.errors;

    const struct {
        std::vector<std::string> args;
        std::string input;
        const char* message;
    } refused[] = {
        {{"password", sim.Port(), "--password-stdin"}, "thirteen-char\n", "more than 12 characters"},
        {{"password", sim.Port(), "--password-stdin"}, "\n", "use --delete"},
        {{"password", sim.Port()}, "", "give it with --password-stdin"},
        {{"factory", sim.Port(), "--mode", "both"}, "", "--mode"},
    };
    for (const auto& c : refused) {
        run = RunCli(c.args, c.input);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
    }
    EXPECT_EQ(sim.LoggedLines(), 0u);
}

}  // namespace
