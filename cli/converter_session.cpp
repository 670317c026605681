#include "cli/converter_session.h"

#include <algorithm>

#include "configfile/config_file.h"
#include "envrecord/record_values.h"

namespace quarnel {

namespace {

HostSettings HostSettingsFor(const SessionSettings& settings, std::function<void(const ExchangeProgress&)> progress) {
    HostSettings host;
    host.console = settings.console;
    host.timeoutScale = settings.timeoutScale;
    host.cancel = settings.cancel;
    host.progress = std::move(progress);
    return host;
}

// Why a write stopped, as the middle of a sentence.
std::string StopCause(SessionResult result, const std::string& lineMessage) {
    switch (result) {
        case SessionResult::Cancelled: return "cancelled";
        case SessionResult::LineFailed: return lineMessage;
        default: return "the converter stopped answering";
    }
}

SessionResult ResultOf(ExchangeResult result) {
    switch (result) {
        case ExchangeResult::Done: return SessionResult::Ok;
        case ExchangeResult::NoResponse: return SessionResult::NoResponse;
        case ExchangeResult::Cancelled: return SessionResult::Cancelled;
        case ExchangeResult::LineFailed: return SessionResult::LineFailed;
    }
    return SessionResult::LineFailed;
}

}  // namespace

std::string RestoreAdvice(const std::string& port, const std::string& backup) {
    if (!backup.empty()) return "Put its settings back with: quarnel-cli restore " + port + " " + backup;
    return "Run the command again to write all of them, or put back a file saved from this converter with: "
           "quarnel-cli restore " +
           port + " FILE";
}

bool SameWrittenBytes(const EnvRecord& a, const EnvRecord& b) {
    return std::equal(a.Data() + env_layout::FIRST_WRITTEN_OFFSET, a.Data() + env_layout::RECORD_SIZE,
                      b.Data() + env_layout::FIRST_WRITTEN_OFFSET);
}

ConverterSession::ConverterSession(ByteLine& line, SessionSettings settings)
    : settings_(std::move(settings)),
      host_(line, HostSettingsFor(settings_, [this](const ExchangeProgress& p) { Report(phase_, p); })) {}

void ConverterSession::Report(SessionPhase phase, const ExchangeProgress& progress) {
    if (!settings_.progress) return;
    const int span = progress.high - progress.low;
    const int moved = progress.position - progress.low;
    const int total = phase == SessionPhase::Writing ? env_layout::RECORD_SIZE - env_layout::FIRST_WRITTEN_OFFSET
                                                     : env_layout::RECORD_SIZE;
    settings_.progress({phase, span > 0 ? moved * 100 / span : 100, span > 0 ? moved * total / span : total, total});
}

SessionResult ConverterSession::Exchange(ExchangeOp op, SessionPhase phase, EnvRecord& record) {
    phase_ = phase;
    partlyWritten_ = false;
    Report(phase, {0, 0, 1});
    const SessionResult result = ResultOf(host_.Run(op, record.Data()));
    message_ = host_.Message();
    // A monitor console takes each chunk as it comes; a shell console drops
    // what it staged when told to leave its configuration mode, as a cancel does.
    const DeviceExchange& state = host_.State();
    const bool shellDiscarded = result == SessionResult::Cancelled && state.op == OP_SHELL_WRITE;
    if (result != SessionResult::Ok && phase == SessionPhase::Writing && WriteUnderway(state) && !shellDiscarded) {
        partlyWritten_ = true;
        message_ = "Writing stopped after " + std::to_string(ConfirmedWriteBytes(state)) + " of " +
                   std::to_string(WRITTEN_BYTES) + " bytes (" + StopCause(result, message_) +
                   "): the converter may now hold a mix of old and new settings.";
    }
    if (result == SessionResult::Ok) {
        Report(phase, {1, 0, 1});
        // The console keeps its mode: the following exchanges of this
        // session probe only for it (no second of waiting on a shell console).
        if (settings_.console == ConsoleChoice::Auto)
            host_.SetConsole(host_.MonitorMode() ? ConsoleChoice::Monitor : ConsoleChoice::Shell);
    }
    return result;
}

SessionResult ConverterSession::Read(EnvRecord& record) {
    // A failed read must not leave a half-filled record behind.
    EnvRecord work = record;
    const SessionResult result = Exchange(OP_READ, SessionPhase::Reading, work);
    if (result == SessionResult::Ok) record = work;
    return result;
}

SessionResult ConverterSession::Write(const EnvRecord& record, bool verify) {
    differences_.clear();
    EnvRecord work = record;  // the engine takes the record writable
    const SessionResult result = Exchange(OP_WRITE, SessionPhase::Writing, work);
    if (result != SessionResult::Ok || !verify) return result;
    return Verify(record);
}

SessionResult ConverterSession::Verify(const EnvRecord& written) {
    differences_.clear();
    // Only bytes read back from the converter count.
    EnvRecord readBack{};
    const SessionResult result = Exchange(OP_READ, SessionPhase::Verifying, readBack);
    if (result != SessionResult::Ok) {
        message_ = "The write could not be verified: " + message_;
        return result;
    }
    for (int offset = env_layout::FIRST_WRITTEN_OFFSET; offset < env_layout::RECORD_SIZE; ++offset)
        if (readBack.Data()[offset] != written.Data()[offset]) differences_.push_back(offset);
    if (differences_.empty()) return SessionResult::Ok;
    message_ = "The converter holds other values than were written: " + DescribeDifferences(written, readBack) + ".";
    return SessionResult::Differs;
}

SessionResult ConverterSession::Change(EnvRecord& record, const std::function<bool(EnvRecord&)>& change, bool verify) {
    EnvRecord converter = record;
    SessionResult result = Read(converter);
    if (result != SessionResult::Ok) return result;
    EnvRecord work = converter;
    if (!change(work)) {
        message_ = "The change was refused; nothing was sent to the converter.";
        return SessionResult::Refused;
    }
    record = work;
    // Flash wears with every write: one that changes nothing is not made.
    if (SameWrittenBytes(converter, work)) return SessionResult::Unchanged;
    std::string reason;
    if (settings_.beforeWrite && !settings_.beforeWrite(converter, reason)) {
        message_ = reason + " Nothing was written to the converter.";
        return SessionResult::NotSaved;
    }
    return Write(record, verify);
}

SessionResult ConverterSession::Initialize(EnvRecord& record) {
    return Change(record, [](EnvRecord& r) {
        ApplyFactoryValues(r.main, r.wlan, r.tail);
        return true;
    });
}

SessionResult ConverterSession::SetPasswordBlock(const MainBlock::PasswordBlock& block, EnvRecord& record) {
    return Change(record, [&block](EnvRecord& r) {
        r.main.set_password_block(block);
        return true;
    });
}

}  // namespace quarnel
