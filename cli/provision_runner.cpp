#include "cli/provision_runner.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>

#include "cli/converter_session.h"
#include "configfile/config_file.h"
#include "configfile/text_file.h"

namespace quarnel {

namespace {

using Clock = std::chrono::steady_clock;

// How often the calling thread looks at the rows.
constexpr auto POLL_INTERVAL = std::chrono::milliseconds(50);

// The converter's messages break lines with "\r\n"; a table cell is one line.
std::string OneLine(const std::string& text) {
    std::string line;
    bool blank = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            blank = !line.empty();
            continue;
        }
        if (blank && c != ' ') line += ' ';
        blank = false;
        line += c;
    }
    return line;
}

RowPhase PhaseOf(SessionPhase phase) {
    switch (phase) {
        case SessionPhase::Reading: return RowPhase::Reading;
        case SessionPhase::Writing: return RowPhase::Writing;
        case SessionPhase::Verifying: return RowPhase::Verifying;
    }
    return RowPhase::Reading;
}

}  // namespace

const char* PhaseName(RowPhase phase) {
    switch (phase) {
        case RowPhase::Waiting: return "waiting";
        case RowPhase::Opening: return "opening";
        case RowPhase::Reading: return "reading";
        case RowPhase::BackingUp: return "backup";
        case RowPhase::Writing: return "writing";
        case RowPhase::Verifying: return "verifying";
        case RowPhase::Finished: return "finished";
    }
    return "";
}

const char* ResultName(RowResult result) {
    switch (result) {
        case RowResult::None: return "";
        case RowResult::Verified: return "verified";
        case RowResult::Unchanged: return "unchanged";
        case RowResult::Failed: return "failed";
        case RowResult::Refused: return "refused";
        case RowResult::Interrupted: return "interrupted";
        case RowResult::Cancelled: return "cancelled";
        case RowResult::NotStarted: return "not started";
    }
    return "";
}

// One row's status, written by its thread and read by the calling thread.
struct ProvisionRunner::Slot {
    std::mutex lock;
    RowStatus status;
    Clock::time_point started;
    std::atomic<bool> done{false};
    std::thread thread;

    void Enter(RowPhase phase) {
        std::lock_guard<std::mutex> hold(lock);
        if (status.phase == phase) return;
        status.phase = phase;
        status.percent = 0;
        status.entered.push_back(phase);
    }
    void Progress(RowPhase phase, int percent) {
        Enter(phase);
        std::lock_guard<std::mutex> hold(lock);
        status.percent = percent;
    }
    void SetMac(const std::string& mac) {
        std::lock_guard<std::mutex> hold(lock);
        status.mac = mac;
    }
    void SetBackup(const std::string& path) {
        std::lock_guard<std::mutex> hold(lock);
        status.backup = path;
    }
    RowStatus Snapshot() {
        std::lock_guard<std::mutex> hold(lock);
        return status;
    }
    void Finish(RowResult result, const std::string& message = "") {
        {
            std::lock_guard<std::mutex> hold(lock);
            status.result = result;
            status.message = message;
            status.seconds = std::chrono::duration<double>(Clock::now() - started).count();
            if (result == RowResult::Verified) status.percent = 100;
            status.phase = RowPhase::Finished;
            status.entered.push_back(RowPhase::Finished);
        }
        done = true;
    }
};

namespace {

bool Cancelled(const ProvisionSettings& settings) { return settings.cancel != nullptr && settings.cancel->load(); }

// What a write that ended before it was verified leaves the user to know.
std::string StoppedWriteMessage(const PlanRow& row, const RowStatus& status, const ConverterSession& session) {
    if (status.phase == RowPhase::Verifying) return OneLine(session.Message());
    if (!session.PartlyWritten()) return "Interrupted while writing; the converter keeps its old settings.";
    return OneLine(session.Message()) + " " + RestoreAdvice(row.port, status.backup);
}

}  // namespace

void ProvisionRunner::RunRow(const PlanRow& row, const ProvisionSettings& settings, Slot& slot) {
    slot.Enter(RowPhase::Opening);
    LineError lineError;
    std::unique_ptr<ByteLine> line = settings.openLine(row.port, lineError);
    if (!line) return slot.Finish(RowResult::Failed, lineError.message);

    SessionSettings sessionSettings;
    sessionSettings.console = settings.console;
    sessionSettings.timeoutScale = settings.timeoutScale;
    sessionSettings.cancel = settings.cancel;
    sessionSettings.progress = [&slot](const SessionProgress& p) { slot.Progress(PhaseOf(p.phase), p.percent); };
    ConverterSession session(*line, std::move(sessionSettings));

    EnvRecord converter{};
    SessionResult result = session.Read(converter);
    if (result == SessionResult::Cancelled) return slot.Finish(RowResult::Cancelled, "Nothing written.");
    if (result != SessionResult::Ok) return slot.Finish(RowResult::Failed, OneLine(session.Message()));
    slot.SetMac(MacText(converter.main.mac_address(), ":"));

    // The checks that depend on the converter's model and flags.
    EnvRecord target = converter;
    std::string refusal;
    if (!ApplyPatch(row.patch, target, refusal))
        return slot.Finish(RowResult::Refused, OneLine(refusal) + "; nothing written.");
    if (SameWrittenBytes(converter, target)) return slot.Finish(RowResult::Unchanged);

    if (settings.saveBackup) {
        slot.Enter(RowPhase::BackingUp);
        std::string path, reason;
        if (!settings.saveBackup(converter, path, reason))
            return slot.Finish(RowResult::Failed, OneLine(reason) + "; nothing written.");
        slot.SetBackup(path);
    }
    if (Cancelled(settings)) return slot.Finish(RowResult::Cancelled, "Nothing written.");

    result = session.Write(target, true);
    switch (result) {
        case SessionResult::Ok: return slot.Finish(RowResult::Verified);
        case SessionResult::Differs: return slot.Finish(RowResult::Failed, session.Message());
        case SessionResult::Cancelled:
            return slot.Finish(RowResult::Interrupted, StoppedWriteMessage(row, slot.Snapshot(), session));
        default: return slot.Finish(RowResult::Failed, StoppedWriteMessage(row, slot.Snapshot(), session));
    }
}

void ProvisionRunner::GuardedRow(const PlanRow& row, const ProvisionSettings& settings, Slot& slot) {
    try {
        RunRow(row, settings, slot);
    } catch (const std::exception& e) {
        slot.Finish(RowResult::Failed, std::string("Stopped by an unexpected error: ") + e.what() + ".");
    } catch (...) {
        slot.Finish(RowResult::Failed, "Stopped by an unexpected error.");
    }
}

ProvisionRunner::ProvisionRunner(const ProvisionPlan& plan, ProvisionSettings settings)
    : plan_(plan), settings_(std::move(settings)) {
    for (size_t i = 0; i < plan_.rows.size(); ++i) slots_.push_back(std::make_unique<Slot>());
    statuses_.resize(plan_.rows.size());
}

ProvisionRunner::~ProvisionRunner() {
    for (auto& slot : slots_)
        if (slot->thread.joinable()) slot->thread.join();
}

void ProvisionRunner::Start(size_t index) {
    Slot& slot = *slots_[index];
    slot.started = Clock::now();
    try {
        slot.thread = std::thread(GuardedRow, std::cref(plan_.rows[index]), std::cref(settings_), std::ref(slot));
    } catch (const std::system_error& e) {
        slot.Finish(RowResult::Failed, std::string("Cannot start a thread for the row: ") + e.what() + ".");
    }
}

void ProvisionRunner::Run(const std::function<void(const std::vector<RowStatus>&)>& poll) {
    size_t next = 0;
    for (;;) {
        int running = 0;
        for (auto& slot : slots_) {
            if (slot->thread.joinable() && slot->done) slot->thread.join();
            running += slot->thread.joinable() ? 1 : 0;
        }
        if (Cancelled(settings_)) {
            // Rows whose turn has not come stay untouched.
            for (; next < slots_.size(); ++next) {
                slots_[next]->started = Clock::now();
                slots_[next]->Finish(RowResult::NotStarted, "Not touched.");
            }
        }
        for (; next < slots_.size() && (settings_.jobs <= 0 || running < settings_.jobs); ++next, ++running)
            Start(next);
        Snapshot();
        if (poll) poll(statuses_);
        if (next == slots_.size() && running == 0) return;
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
}

void ProvisionRunner::Snapshot() {
    const Clock::time_point now = Clock::now();
    for (size_t i = 0; i < slots_.size(); ++i) {
        Slot& slot = *slots_[i];
        std::lock_guard<std::mutex> hold(slot.lock);
        statuses_[i] = slot.status;
        if (slot.status.phase != RowPhase::Finished && slot.status.phase != RowPhase::Waiting)
            statuses_[i].seconds = std::chrono::duration<double>(now - slot.started).count();
    }
}

}  // namespace quarnel
