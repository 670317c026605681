// Converter sessions side by side: one per port, each in its own thread,
// against two simulators in different console modes; and a cancel raised
// in the middle of a write.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "cli/converter_session.h"
#include "envrecord/record_values.h"
#include "tests/native/cli/sim_process.h"

namespace {

using namespace quarnel;
using clitest::SimProcess;

std::vector<uint8_t> Bytes(const EnvRecord& record) {
    return std::vector<uint8_t>(record.Data(), record.Data() + sizeof record);
}

TEST(ConverterSessions, RunInParallelThreadsOnePerPort) {
    SimProcess monitor("monitor");
    SimProcess shell("shell");
    ASSERT_TRUE(monitor.Started() && shell.Started());
    SimProcess* sims[] = {&monitor, &shell};
    std::vector<uint8_t> before[2], written[2];
    SessionResult results[2] = {SessionResult::LineFailed, SessionResult::LineFailed};
    int progressCalls[2] = {};

    std::thread threads[2];
    for (int i = 0; i < 2; ++i) {
        before[i] = sims[i]->Block();
        threads[i] = std::thread([&, i] {
            LineError error;
            std::unique_ptr<ByteLine> line = OpenByteLine(sims[i]->Port(), error);
            if (!line) return;
            SessionSettings settings;
            settings.progress = [&, i](const SessionProgress&) { ++progressCalls[i]; };
            ConverterSession session(*line, settings);
            EnvRecord record{};
            results[i] = session.Initialize(record);
            written[i] = Bytes(record);
        });
    }
    for (std::thread& t : threads) t.join();

    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(results[i], SessionResult::Ok) << i;
        EnvRecord expected{};
        std::memcpy(expected.Data(), before[i].data(), sizeof expected);
        ApplyFactoryValues(expected.main, expected.wlan, expected.tail);
        std::memcpy(expected.Data(), before[i].data(), 32);  // never written
        EXPECT_EQ(sims[i]->Block(), Bytes(expected)) << i;
        EXPECT_GT(progressCalls[i], 6) << i;
    }
}

// The shell console stages "WH" chunks until "C0": a write cancelled half
// way leaves the converter's block as it was.
TEST(ConverterSessions, CancelInTheMiddleOfAShellWriteChangesNothing) {
    SimProcess shell("shell");
    ASSERT_TRUE(shell.Started());
    const std::vector<uint8_t> before = shell.Block();
    LineError error;
    std::unique_ptr<ByteLine> line = OpenByteLine(shell.Port(), error);
    ASSERT_TRUE(line) << error.message;
    std::atomic<bool> cancel{false};
    SessionSettings settings;
    settings.console = ConsoleChoice::Shell;
    settings.cancel = &cancel;
    settings.progress = [&](const SessionProgress& p) {
        if (p.phase == SessionPhase::Writing && p.percent >= 50) cancel = true;
    };
    ConverterSession session(*line, settings);
    EnvRecord record{};
    EXPECT_EQ(session.Initialize(record), SessionResult::Cancelled);
    EXPECT_EQ(session.Message(), "Cancelled.");
    EXPECT_EQ(shell.Block(), before);
}

}  // namespace
