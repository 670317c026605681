// A converter session cancelled in the middle of a write. (Sessions side by
// side, one thread per port, are driven through the provisioning tests.)
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

#include "cli/converter_session.h"
#include "tests/native/cli/sim_process.h"

namespace {

using namespace quarnel;
using clitest::SimProcess;

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
