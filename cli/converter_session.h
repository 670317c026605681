// One converter on one line: reads, writes with a verifying read-back, and
// the read-change-write actions built on them (factory values, password).
// Messages are the window's where it has one.
//
//   LineError error;
//   auto line = OpenByteLine(port, error);
//   ConverterSession session(*line, settings);
//   EnvRecord record;
//   if (session.Initialize(record) != SessionResult::Ok) puts(session.Message().c_str());
//
// A session owns nothing but its own state: sessions on different lines run
// side by side in different threads.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "cli/byte_line.h"
#include "cli/line_exchange_host.h"
#include "envrecord/env_record.h"

namespace quarnel {

enum class SessionResult {
    Ok,
    Unchanged,   // the converter holds the change already: nothing was written
    NoResponse,  // the converter did not answer or refused (the window's message)
    Differs,     // the read-back differs from what was written (Differences())
    Refused,     // the change was refused before anything was sent
    NotSaved,    // the backup before the write could not be saved: nothing was sent
    Cancelled,
    LineFailed,  // the port failed
};

enum class SessionPhase { Reading, Writing, Verifying };

struct SessionProgress {
    SessionPhase phase;
    int percent;     // 0-100 within this phase
    int bytes;       // bytes of the block moved so far in this phase
    int totalBytes;  // bytes this phase moves
};

struct SessionSettings {
    ConsoleChoice console = ConsoleChoice::Auto;
    double timeoutScale = 1.0;                             // applied to every reply time-out
    const std::atomic<bool>* cancel = nullptr;             // checked at every step; may be null
    std::function<void(const SessionProgress&)> progress;  // may be empty
    // Called with what the converter holds before a change is written;
    // false (and why) stops the change before anything is sent. May be empty.
    std::function<bool(const EnvRecord& converter, std::string& reason)> beforeWrite;
};

// How to put back a converter a write left part-way: from `backup`, the
// file saved of it before the write, or (none) a file the user saved.
std::string RestoreAdvice(const std::string& port, const std::string& backup);

// Bytes 32-479, the ones a write sends, are the same in both.
bool SameWrittenBytes(const EnvRecord& a, const EnvRecord& b);

class ConverterSession {
public:
    ConverterSession(ByteLine& line, SessionSettings settings);
    ConverterSession(const ConverterSession&) = delete;
    ConverterSession& operator=(const ConverterSession&) = delete;

    // Reads the whole block into `record`.
    SessionResult Read(EnvRecord& record);
    // Writes bytes 32-479 of `record`; with verify, reads back and compares.
    SessionResult Write(const EnvRecord& record, bool verify = true);
    // Reads back and compares bytes 32-479 with `written`.
    SessionResult Verify(const EnvRecord& written);
    // Reads, lets `change` edit the record (false: refused, nothing sent),
    // then writes it, verified unless told otherwise; a change that leaves
    // bytes 32-479 as the converter holds them is not written (Unchanged).
    // `record` ends holding what was written.
    SessionResult Change(EnvRecord& record, const std::function<bool(EnvRecord&)>& change, bool verify = true);
    // Initialize ENV: read, factory values for the converter's model, write, verify.
    SessionResult Initialize(EnvRecord& record);
    // Read, the 12-byte console password field replaced, write, verify.
    SessionResult SetPasswordBlock(const MainBlock::PasswordBlock& block, EnvRecord& record);

    // Record offsets that differed at the last verify, ascending.
    const std::vector<int>& Differences() const { return differences_; }
    // What went wrong last, as a sentence (the window's text where one exists).
    const std::string& Message() const { return message_; }
    // The console mode that answered last.
    bool MonitorMode() const { return host_.MonitorMode(); }
    // The last write stopped after some of its chunks went out: the
    // converter may hold a mix of old and new values.
    bool PartlyWritten() const { return partlyWritten_; }

private:
    SessionResult Exchange(ExchangeOp op, SessionPhase phase, EnvRecord& record);
    void Report(SessionPhase phase, const ExchangeProgress& progress);

    SessionSettings settings_;
    SessionPhase phase_ = SessionPhase::Reading;
    LineExchangeHost host_;
    std::vector<int> differences_;
    std::string message_;
    bool partlyWritten_ = false;
};

}  // namespace quarnel
