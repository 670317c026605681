// How the engine ends when the converter misbehaves or the link goes away.
#include "exchange_bench.h"

#include <functional>

namespace quarnel_test {
namespace {

using namespace quarnel;
using tarvosim::ConsoleMode;
using tarvosim::FaultKind;

using ExchangeFault = ExchangeBench;

// A reply counts only as the converter sends it. A refused read chunk ends
// the read as its answer comes; a damaged, short, overlong or missing reply
// ends in the abort at the time-out of the command it answers, which is the
// last thing sent, with the record as it was. A write that stops after its
// first chunk says how far it got.
struct FaultCase {
    const char* name;
    ConsoleMode mode;
    tarvosim::Fault fault;
    bool write;
    const char* failing;   // the command whose answer or time-out ends it, or null: completes
    int timeoutMs;         // 0: ends as the answer comes
    int keptFrom, keptTo;  // record bytes a read leaves as they were
    std::function<void(std::string&)> answerFilter = nullptr;
    bool burst = false;
    std::string message = TEXT_NO_RESPONSE;
};

std::string WriteStopped(int confirmed) {
    return "Writing stopped after " + std::to_string(confirmed) +
           " of 448 bytes: Tarvo may now hold a mix of old and new settings." + TEXT_WRITE_AGAIN;
}

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

// The first read chunk's reply, one character short or one over.
void CutFirstChunk(std::string& answer) {
    if (answer.compare(0, 8, "r 20 80\r") == 0) answer.pop_back();
}
void PadFirstChunk(std::string& answer) {
    if (answer.compare(0, 8, "r 20 80\r") == 0) answer += " ";
}

class FaultEnding : public ExchangeBench, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultEnding, EndsAtTheRightTimeWithTheRecordAsItWas) {
    const FaultCase& c = GetParam();
    device.SetMode(c.mode);
    device.SetFault(c.fault);
    line.answerFilter = c.answerFilter;
    line.burst = c.burst;  // a burst lands between two examinations
    if (c.write) std::memcpy(record, device.Block(), sizeof record);
    Press(c.write);
    Run();

    if (c.failing != nullptr) {
        ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce(c.message));
        EXPECT_EQ(line.sent.back().bytes.compare(0, std::strlen(c.failing), c.failing), 0) << line.sent.back().bytes;
        if (c.timeoutMs > 0)
            EXPECT_EQ(line.messages[0].time, line.sent.back().time + c.timeoutMs);
        else
            EXPECT_LT(line.messages[0].time, line.sent.back().time + 100);
    } else {
        ExpectCompleted(TEXT_READING_COMPLETE, 1);
    }
    if (c.write) return;
    for (int i = 0; i < env_layout::RECORD_SIZE; ++i) {
        const bool kept = i >= c.keptFrom && i < c.keptTo;
        ASSERT_EQ(record[i], kept ? 0xEE : device.Block()[i]) << i;
    }
}

const FaultCase FAULTS[] = {
    {"WellFormed", ConsoleMode::Monitor, {FaultKind::None, 1}, false, nullptr, 0, 0, 0},
    {"Refused",
     ConsoleMode::Monitor,
     {FaultKind::Error801, 2},
     false,
     "r a0 80",
     0,
     0,
     480,
     nullptr,
     false,
     "Tarvo refused to send part of its settings (bytes 128-255); nothing was read."},
    {"BadDigit", ConsoleMode::Monitor, {FaultKind::BadDigit, 1}, false, "r 20 80", 5000, 0, 480},
    {"DigitForBlank", ConsoleMode::Monitor, {FaultKind::DigitForBlank, 4}, false, "r 1a0 60", 5000, 0, 480},
    {"Unanswered", ConsoleMode::Monitor, {FaultKind::DropRead, 3}, false, "r 120 80", 5000, 0, 480},
    {"OneShort", ConsoleMode::Monitor, {}, false, "r 20 80", 5000, 0, 480, CutFirstChunk},
    {"JumpingPastItsLength", ConsoleMode::Monitor, {}, false, "r 20 80", 5000, 0, 480, PadFirstChunk, true},
    {"ShortDump", ConsoleMode::Shell, {FaultKind::ShortDump, 1}, false, "RA 00", 5000, 0, 480},
    {"GarbledDump", ConsoleMode::Shell, {FaultKind::GarbledDump, 1}, false, "RA 00", 5000, 0, 480},
    // Replies: the shell probe's blank line and "C1", xconfig, L0, then the dump.
    {"DumpWithADigitMore", ConsoleMode::Shell, {FaultKind::InsertChar, 5}, false, "RA 00", 5000, 0, 480},
    {"DumpWithADigitLess", ConsoleMode::Shell, {FaultKind::DropChar, 5}, false, "RA 00", 5000, 0, 480},
    // Neither probe answered: one message after both time-outs.
    {"Silent", ConsoleMode::Silent, {}, false, "\rC1\r", 3000, 0, 480},
    // The zero byte ends the searchable text: the monitor probe goes
    // unanswered, and no shell answers the second probe.
    {"NulBeforeTheProbeAnswer", ConsoleMode::Monitor, {FaultKind::NulBytes, 1}, false, "\rC1\r", 3000, 0, 480},
    // !u e7, !u 3d, then the chunks: the third chunk's acknowledgement is lost.
    {"LostWriteAcknowledgement",
     ConsoleMode::Monitor,
     {FaultKind::DropAck, 5},
     true,
     "!w 60",
     1000,
     0,
     0,
     nullptr,
     false,
     WriteStopped(32)},
    {"LostShellWriteAcknowledgement",
     ConsoleMode::Shell,
     {FaultKind::DropAck, 5},
     true,
     "WH 040",
     5000,
     0,
     0,
     nullptr,
     false,
     WriteStopped(32)},
    {"LostUnlockAcknowledgement", ConsoleMode::Monitor, {FaultKind::DropAck, 2}, true, "!u 3d", 1000, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(ExchangeFault, FaultEnding, ::testing::ValuesIn(FAULTS),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// The third chunk is acknowledged and not kept (record bytes 64-79): the
// read-back names where, in either console mode, and the form keeps what was
// sent; with the read-back off the write ends "complete", as the user chose.
TEST_F(ExchangeFault, ReadBackCatchesAChunkTheConverterDidNotKeep) {
    for (ConsoleMode mode : {ConsoleMode::Monitor, ConsoleMode::Shell}) {
        for (int verify : {1, 0}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(mode)) + (verify ? " verified" : " unverified"));
            ex = {};
            line = VirtualLine(device);
            device.SetMode(mode);
            device.SetFault({FaultKind::LoseWrite, 3});
            std::memcpy(record, device.Block(), sizeof record);
            for (int i = 64; i < 80; ++i) record[i] ^= 0xA5;
            ex.verifyWrite = verify;
            PressWrite();
            Run();
            if (!verify) {
                ExpectCompleted(TEXT_WRITING_COMPLETE, mode == ConsoleMode::Monitor ? 1 : 0);
                continue;
            }
            char text[FAILURE_TEXT_SIZE];
            std::snprintf(text, sizeof text, TEXT_WRITE_DIFFERS_FORMAT, "offsets 64-79");
            ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce(text));
            EXPECT_EQ(record[64], device.Block()[64] ^ 0xA5);
        }
    }
}

// A backup that cannot be kept stops the write before its first byte; a
// shell console is told to leave its configuration session.
TEST_F(ExchangeFault, BackupNotKeptWritesNothing) {
    for (ConsoleMode mode : {ConsoleMode::Monitor, ConsoleMode::Shell}) {
        SCOPED_TRACE(static_cast<int>(mode));
        ex = {};
        line = VirtualLine(device);
        line.backupKept = false;
        device.SetMode(mode);
        ex.backupBeforeWrite = 1;
        PressWrite();
        Run();
        ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce(std::string("The backup could not be saved in backups: disk full.") +
                                                  TEXT_NOTHING_WRITTEN));
        EXPECT_EQ(CountSent("!u ") + CountSent("!w ") + CountSent("WH "), 0);
        if (mode == ConsoleMode::Shell) {
            EXPECT_EQ(line.sent.back().bytes, "C1\r");
        }
    }
}

TEST_F(ExchangeFault, FloodedReplyBufferStaysBoundedAndTerminated) {
    // The dump, its marker and 1100 more characters arrive in one burst.
    device.SetMode(ConsoleMode::Shell);
    device.SetFault({FaultKind::Flood, 5});
    line.burst = true;
    int largest = 0;
    bool terminated = true;
    line.afterTick = [&] {
        if (ex.replyCount > largest) largest = ex.replyCount;
        terminated = terminated && ex.ReplyBuffer[REPLY_BUFFER_SIZE - 1] == 0;
    };
    PressRead();
    Run();

    EXPECT_EQ(largest, REPLY_BUFFER_SIZE - 1);
    EXPECT_TRUE(terminated);
    EXPECT_EQ(ex.recordLoaded, 1);
    EXPECT_TRUE(RecordMatchesDevice());
    EXPECT_TRUE(line.messages.empty());
}

// The link goes away during the probe (whose time-out then ends it at once,
// without the shell probe) or later (the reply time-out ends it).
TEST_F(ExchangeFault, LinkGoneEndsTheExchange) {
    for (bool duringProbe : {true, false}) {
        SCOPED_TRACE(duringProbe);
        ex = {};
        line = VirtualLine(device);
        device.SetMode(duringProbe ? ConsoleMode::Silent : ConsoleMode::Monitor);
        PressRead();
        for (int i = 0; i < 1000 && (duringProbe ? i < 10 : CountSent("r 20") == 0); ++i) line.RunFor(ex, record, 1);
        line.linkActive = false;
        line.RunFor(ex, record, 6000);

        ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
        EXPECT_EQ(line.messages[0].time, duringProbe ? 1000 : SentAt("r 20") + 5000);
        EXPECT_EQ(CountSent("\rC1\r"), 0);
        EXPECT_EQ(line.replyDeadline, -1);
    }
}

TEST_F(ExchangeFault, CancelledExchangeEndsAtOnceAndNeverResumesOnTheLink) {
    // Cancelled while a reply is awaited, and while the engine sits between
    // an accepted reply and its next command (the pump held there).
    struct Case {
        const char* name;
        bool write;
        ConsoleMode mode;
        bool (*cancelNow)(const DeviceExchange&);
    };
    const Case cases[] = {
        {"probe awaited", false, ConsoleMode::Silent, [](const DeviceExchange& e) { return e.awaitingReply == 1; }},
        {"read chunk awaited", false, ConsoleMode::Monitor,
         [](const DeviceExchange& e) { return e.phase == PHASE_MONITOR_READ && e.awaitingReply; }},
        {"between unlock steps", true, ConsoleMode::Monitor,
         [](const DeviceExchange& e) { return e.op == OP_MONITOR_UNLOCK_3D && e.awaitingReply == 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ex = {};
        line = VirtualLine(device);
        device.SetMode(c.mode);
        Press(c.write);
        for (int i = 0; i < 10000 && !c.cancelNow(ex); ++i) line.RunFor(ex, record, 1);
        ASSERT_TRUE(c.cancelNow(ex));
        CancelExchange(ex, line, line);
        ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
        EXPECT_EQ(line.replyDeadline, -1);

        // The link opened again, a shell converter on it: nothing is sent.
        device.SetMode(ConsoleMode::Shell);
        const size_t sentBefore = line.sent.size();
        line.RunFor(ex, record, 6000);
        EXPECT_EQ(line.sent.size(), sentBefore);
        EXPECT_EQ(line.messages.size(), 1u);
    }
}

TEST_F(ExchangeFault, SecondButtonPressRestartsTheExchange) {
    PressRead();
    // Halfway through the read, with the reply to a chunk fully received.
    for (int i = 0; i < 10000 && CountSent("r 120") == 0; ++i) line.RunFor(ex, record, 1);
    for (int i = 0; i < 10000 && !line.LineQuiet(); ++i) line.RunFor(ex, record, 1);
    ASSERT_EQ(ex.awaitingReply, 1);
    std::memcpy(record, device.Block(), sizeof record);
    record[200] ^= 0x5A;
    PressWrite();
    EXPECT_EQ(line.replyDeadline, -1);
    Run();

    EXPECT_TRUE(line.messages.empty());
    EXPECT_EQ(ex.recordLoaded, 1);
    EXPECT_EQ(line.progressTexts, (std::vector<std::string>{"Writing complete."}));
    EXPECT_EQ(CountSent("!w "), 28);
    EXPECT_TRUE(RecordMatchesDevice(32));
}

TEST_F(ExchangeFault, PressDuringTheProbeWaitGetsAFullProbeTime) {
    PressRead();
    device.SetMode(ConsoleMode::Silent);
    line.RunFor(ex, record, 999);
    device.SetMode(ConsoleMode::Monitor);
    PressRead();
    Run();

    EXPECT_TRUE(line.messages.empty());
    EXPECT_EQ(ex.recordLoaded, 1);
    EXPECT_EQ(CountSent("\rC1\r"), 0);
    EXPECT_TRUE(RecordMatchesDevice());
}

}  // namespace
}  // namespace quarnel_test
