// How the engine ends when the converter misbehaves or the link goes away.
#include "exchange_bench.h"

namespace quarnel_test {
namespace {

using namespace quarnel;

using ExchangeFault = ExchangeBench;

TEST_F(ExchangeFault, LostWriteAcknowledgementAbortsAfterOneSecond) {
    // Acknowledgements: !u e7, !u 3d, then the chunks; the third chunk's is lost.
    device.SetFault({tarvosim::FaultKind::DropAck, 5});
    std::memcpy(record, device.Block(), sizeof record);
    PressWrite();
    Run();

    ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
    EXPECT_EQ(CountSent("!w "), 3);
    EXPECT_EQ(line.messages[0].time, SentAt("!w ", 3) + 1000);
}

TEST_F(ExchangeFault, ReadReplyOneShortNeverCompletes) {
    line.answerFilter = [](std::string& answer) {
        if (answer.compare(0, 8, "r 20 80\r") == 0) answer.pop_back();  // 399 characters
    };
    PressRead();
    Run();

    ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
    EXPECT_EQ(line.messages[0].time, SentAt("r 20 80") + 5000);
    EXPECT_EQ(CountSent("r a0"), 0);
}

TEST_F(ExchangeFault, ReadReplyJumpingPastItsLengthNeverCompletes) {
    // All 401 characters land between two examinations: 0, then 401.
    line.burst = true;
    line.answerFilter = [](std::string& answer) {
        if (answer.compare(0, 8, "r 20 80\r") == 0) answer += " ";
    };
    PressRead();
    Run();

    ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
    EXPECT_EQ(line.messages[0].time, SentAt("r 20 80") + 5000);
}

// A read chunk's reply counts only as the converter sends it. A refusal
// completes the chunk without its bytes; a damaged reply, like a chunk never
// answered, ends in the abort at its time-out with the record as it was.
struct ReadReplyCase {
    const char* name;
    tarvosim::Fault fault;
    const char* failingChunk;  // the read whose time-out ends it, or null
    int keptFrom, keptTo;      // record bytes that keep their old contents
};

void PrintTo(const ReadReplyCase& c, std::ostream* out) { *out << c.name; }

class ReadReplyRule : public ExchangeBench, public ::testing::WithParamInterface<ReadReplyCase> {};

TEST_P(ReadReplyRule, DamagedOrMissingRepliesLeaveTheRecordAsItWas) {
    const ReadReplyCase& c = GetParam();
    device.SetFault(c.fault);
    PressRead();
    Run();

    if (c.failingChunk != nullptr) {
        ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
        EXPECT_EQ(line.messages[0].time, SentAt(c.failingChunk) + 5000);
    } else {
        ExpectCompleted(TEXT_READING_COMPLETE, 1);
    }
    for (int i = 0; i < EXCHANGE_RECORD_SIZE; ++i) {
        const bool kept = i >= c.keptFrom && i < c.keptTo;
        ASSERT_EQ(record[i], kept ? 0xEE : device.Block()[i]) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    ExchangeFault, ReadReplyRule,
    ::testing::Values(ReadReplyCase{"WellFormed", {tarvosim::FaultKind::None, 1}, nullptr, 0, 0},
                      ReadReplyCase{"Refused", {tarvosim::FaultKind::Error801, 2}, nullptr, 128, 256},
                      ReadReplyCase{"BadDigit", {tarvosim::FaultKind::BadDigit, 1}, "r 20 80", 0, 480},
                      ReadReplyCase{"DigitForBlank", {tarvosim::FaultKind::DigitForBlank, 4}, "r 1a0 60", 0, 480},
                      ReadReplyCase{"Unanswered", {tarvosim::FaultKind::DropRead, 3}, "r 120 80", 0, 480}),
    [](const ::testing::TestParamInfo<ReadReplyCase>& info) { return std::string(info.param.name); });

TEST_F(ExchangeFault, ShortOrGarbledDumpNeverReachesTheRecordAndEndsInTheAbort) {
    for (auto fault : {tarvosim::FaultKind::ShortDump, tarvosim::FaultKind::GarbledDump}) {
        SCOPED_TRACE(static_cast<int>(fault));
        device.SetMode(tarvosim::ConsoleMode::Shell);
        device.SetFault({fault, 1});
        PressRead();
        Run();

        ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
        EXPECT_EQ(line.messages[0].time, SentAt("RA 00") + 5000);
        for (int i = 0; i < EXCHANGE_RECORD_SIZE; ++i) ASSERT_EQ(record[i], 0xEE) << i;
        EXPECT_EQ(CountSent("C1\r"), 0);
        line.messages.clear();
        line.sent.clear();
        line.enableWindowCount = line.closeProgressCount = 0;
    }
}

TEST_F(ExchangeFault, FloodedReplyBufferStaysBoundedAndTerminated) {
    // The dump, its marker and 1100 more characters arrive in one burst.
    device.SetMode(tarvosim::ConsoleMode::Shell);
    device.SetFault({tarvosim::FaultKind::Flood, 5});
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

TEST_F(ExchangeFault, NulBeforeTheProbeAnswerHidesItsMarker) {
    // The zero byte ends the searchable text, so the monitor probe goes
    // unanswered; no shell answers the second probe either.
    device.SetFault({tarvosim::FaultKind::NulBytes, 1});
    PressRead();
    Run();

    ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
    EXPECT_EQ(line.messages[0].time, 4000);
}

TEST_F(ExchangeFault, LinkGoneDuringTheMonitorProbeEndsTheExchange) {
    device.SetMode(tarvosim::ConsoleMode::Silent);
    PressRead();
    line.RunFor(ex, record, 10);
    line.linkActive = false;
    line.RunFor(ex, record, 6000);

    ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
    EXPECT_EQ(line.messages[0].time, 1000);
    EXPECT_EQ(CountSent("\rC1\r"), 0);
    EXPECT_EQ(line.replyDeadline, -1);
}

TEST_F(ExchangeFault, LinkGoneLaterStillAbortsOnTheReplyTimeout) {
    PressRead();
    // Wait for the first chunk to go out, then drop the link.
    for (int i = 0; i < 1000 && CountSent("r 20") == 0; ++i) line.RunFor(ex, record, 1);
    line.linkActive = false;
    line.RunFor(ex, record, 6000);

    ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
    EXPECT_EQ(line.messages[0].time, SentAt("r 20") + 5000);
}

TEST_F(ExchangeFault, CancelledExchangeEndsAtOnceAndNeverResumesOnTheLink) {
    // Cancelled while a reply is awaited, and while the engine sits between
    // an accepted reply and its next command (the pump held there).
    struct Case {
        const char* name;
        bool write;
        tarvosim::ConsoleMode mode;
        bool (*cancelNow)(const quarnel::DeviceExchange&);
    };
    const Case cases[] = {
        {"probe awaited", false, tarvosim::ConsoleMode::Silent,
         [](const quarnel::DeviceExchange& e) { return e.awaitingReply == 1; }},
        {"read chunk awaited", false, tarvosim::ConsoleMode::Monitor,
         [](const quarnel::DeviceExchange& e) { return e.phase == quarnel::PHASE_MONITOR_READ && e.awaitingReply; }},
        {"between unlock steps", true, tarvosim::ConsoleMode::Monitor,
         [](const quarnel::DeviceExchange& e) {
             return e.op == quarnel::OP_MONITOR_UNLOCK_3D && e.awaitingReply == 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ex = {};
        line.messages.clear();
        line.enableWindowCount = line.closeProgressCount = 0;
        device.SetMode(c.mode);
        c.write ? PressWrite() : PressRead();
        for (int i = 0; i < 10000 && !c.cancelNow(ex); ++i) line.RunFor(ex, record, 1);
        ASSERT_TRUE(c.cancelNow(ex));
        quarnel::CancelExchange(ex, line);
        ASSERT_NO_FATAL_FAILURE(ExpectAbortedOnce());
        EXPECT_EQ(line.replyDeadline, -1);

        // The link opened again, a shell converter on it: nothing is sent.
        device.SetMode(tarvosim::ConsoleMode::Shell);
        const size_t sentBefore = line.sent.size();
        line.RunFor(ex, record, 6000);
        EXPECT_EQ(line.sent.size(), sentBefore);
        EXPECT_EQ(line.messages.size(), 1u);
    }
}

TEST_F(ExchangeFault, SecondButtonPressRestartsTheExchange) {
    std::memcpy(record, device.Block(), sizeof record);
    record[200] ^= 0x5A;
    PressRead();
    // Halfway through the read, with the reply to a chunk fully received.
    while (CountSent("r 120") == 0) line.RunFor(ex, record, 1);
    while (!line.LineQuiet()) line.RunFor(ex, record, 1);
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
    device.SetMode(tarvosim::ConsoleMode::Silent);
    line.RunFor(ex, record, 999);
    device.SetMode(tarvosim::ConsoleMode::Monitor);
    PressRead();
    Run();

    EXPECT_TRUE(line.messages.empty());
    EXPECT_EQ(ex.recordLoaded, 1);
    EXPECT_EQ(CountSent("\rC1\r"), 0);
    EXPECT_TRUE(RecordMatchesDevice());
}

}  // namespace
}  // namespace quarnel_test
