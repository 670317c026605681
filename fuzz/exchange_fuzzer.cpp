// The console reply checks and the exchange engine against a scripted
// converter. The input's first byte sets the run:
//   bit 0      write instead of read
//   bits 1-2   bytes arriving per millisecond: 1, 2 (19200 bps), 12
//              (115200 bps) or all at once
//   bit 3      the cable is pulled when a command goes out beyond the script
// and the rest is the script: the converter's answer to each command in
// turn, separated by 0xFF bytes (an empty answer is silence).
//
// Whatever the converter says, the exchange ends within a bounded number of
// ticks with exactly one ending, the reply text stays terminated, a read
// stores only bytes the converter sent in well-formed replies (a failed one
// stores nothing), and a write sends the record as it is and never changes it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "exchange/device_exchange.h"
#include "fuzz_check.h"
#include "line_evidence.h"
#include "scripted_converter.h"

namespace {

using namespace quarnel;
using quarnel_fuzz::ScriptedConverter;

constexpr std::uint8_t ANSWER_SEPARATOR = 0xFF;
constexpr int PACES[] = {1, 2, 12, 1 << 16};

struct Run {
    bool write = false;
    int bytesPerMs = 1;
    bool closeAfterScript = false;
    std::vector<std::string> answers;
};

Run ReadRun(const std::uint8_t* data, std::size_t size) {
    Run run;
    if (size == 0) return run;
    run.write = data[0] & 1;
    run.bytesPerMs = PACES[(data[0] >> 1) & 3];
    run.closeAfterScript = (data[0] >> 3) & 1;
    run.answers.emplace_back();
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == ANSWER_SEPARATOR)
            run.answers.emplace_back();
        else
            run.answers.back().push_back(static_cast<char>(data[i]));
    }
    return run;
}

// A record no converter would send back by chance.
void FillCallersRecord(std::uint8_t* record) {
    for (int i = 0; i < env_layout::RECORD_SIZE; ++i) record[i] = static_cast<std::uint8_t>(i * 7 + 3);
}

void CheckReplyBuffer(const DeviceExchange& ex) {
    FUZZ_CHECK(ex.ReplyBuffer[REPLY_BUFFER_SIZE - 1] == 0, "the reply text lost its terminator");
    FUZZ_CHECK(ex.replyCount >= 0 && ex.replyCount < REPLY_BUFFER_SIZE, "the reply count left the buffer");
}

// Ticks as the window runs them: a due reply timer first, then the pump
// tick. A tick brings bytes in, lets the engine see the bytes it took, sends
// a command or reaches a time-out; an exchange has a few dozen commands and
// ends at its second time-out at the latest, so the ticks are bounded by the
// script's length.
void RunToTheEnd(DeviceExchange& ex, ScriptedConverter& line, std::uint8_t* record, const Run& run,
                 std::size_t inputSize) {
    run.write ? StartWrite(ex, line) : StartRead(ex, line);
    const std::size_t maxTicks = 2000 + 4 * inputSize;
    for (std::size_t tick = 0; ex.phase != PHASE_IDLE; ++tick) {
        FUZZ_CHECK(tick < maxTicks, "the exchange did not end");
        if (line.replyDeadline >= 0 && line.replyDeadline <= line.now) {
            line.replyDeadline = -1;  // the window kills the timer that fired
            OnReplyTimeout(ex, line, line);
        }
        RunPumpTick(ex, line, line, record);
        CheckReplyBuffer(ex);
        if (line.CloseDue()) {
            line.Close();
            CancelExchange(ex, line, line);
        }
        line.Advance();
    }
}

void CheckRead(const ScriptedConverter& line, const std::uint8_t* record, const std::uint8_t* before, bool completed) {
    if (!completed) {
        FUZZ_CHECK(std::memcmp(record, before, env_layout::RECORD_SIZE) == 0, "a failed read changed the record");
        return;
    }
    const int dump = quarnel_fuzz::DumpCommandIndex(line.commands);
    if (dump >= 0) {
        FUZZ_CHECK(quarnel_fuzz::DumpHoldsRecord(line.replies[static_cast<std::size_t>(dump)], record),
                   "a shell read stored what no whole dump said");
    } else {
        FUZZ_CHECK(quarnel_fuzz::MonitorRepliesHoldRecord(line.commands, line.replies, record),
                   "a monitor read stored what no well-formed reply said");
    }
}

void CheckWrite(const DeviceExchange& ex, const ScriptedConverter& line, const std::uint8_t* record,
                const std::uint8_t* before, bool completed) {
    FUZZ_CHECK(std::memcmp(record, before, env_layout::RECORD_SIZE) == 0, "a write changed the record");
    if (completed) {
        FUZZ_CHECK(quarnel_fuzz::WritesCarryRecord(line.commands, record), "a write did not send the record as it is");
    } else {
        const int confirmed = ConfirmedWriteBytes(ex);
        FUZZ_CHECK(confirmed >= 0 && confirmed <= quarnel_fuzz::BytesCarried(line.commands),
                   "a failed write claims bytes it never sent");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Run run = ReadRun(data, size);
    ScriptedConverter line(run.answers, run.bytesPerMs, run.closeAfterScript);
    DeviceExchange ex;
    std::uint8_t record[env_layout::RECORD_SIZE], before[env_layout::RECORD_SIZE];
    FillCallersRecord(record);
    std::memcpy(before, record, sizeof record);

    RunToTheEnd(ex, line, record, run, size);

    FUZZ_CHECK(!ex.awaitingReply && line.replyDeadline < 0, "the exchange ended with a reply still awaited");
    FUZZ_CHECK(line.completions + line.failureMessages == 1, "an exchange did not end exactly once");
    const bool completed = line.completions == 1;
    FUZZ_CHECK(completed == (ex.failure == FAILURE_NONE) && completed == (ex.recordLoaded != 0),
               "the engine's state does not tell how the exchange ended");
    if (run.write)
        CheckWrite(ex, line, record, before, completed);
    else
        CheckRead(line, record, before, completed);
    return 0;
}
