#include "exchange/device_exchange.h"

#include <cstdio>
#include <cstring>

namespace quarnel {

namespace {

struct Step {
    DeviceExchange& ex;
    ExchangeLink& link;
    ExchangeObserver& observer;
    uint8_t* record;
};

// --- Sending and completing -------------------------------------------------

void Send(Step& s, const char* bytes, int length, int timeoutMs) {
    ClearReply(s.ex);
    s.link.Write(bytes, length);
    s.link.ArmReplyTimer(timeoutMs);
    s.ex.awaitingReply = 1;
}

void SendText(Step& s, const char* text, int timeoutMs) {
    Send(s, text, static_cast<int>(std::strlen(text)), timeoutMs);
}

void CompleteRead(Step& s) {
    std::memcpy(s.record, s.ex.readCopy, sizeof s.ex.readCopy);
    s.ex.phase = PHASE_IDLE;
    s.ex.recordLoaded = 1;
    s.observer.RefreshFormFromRecord();
    s.observer.ShowProgressText(TEXT_READING_COMPLETE);
    s.observer.CloseProgress();
}

void CompleteWrite(Step& s) {
    s.ex.phase = PHASE_IDLE;
    s.ex.recordLoaded = 1;
    // The shell write ends without refreshing the form.
    if (s.ex.monitorMode) s.observer.RefreshFormFromRecord();
    s.observer.ShowProgressText(TEXT_WRITING_COMPLETE);
    s.observer.CloseProgress();
}

// A write's progress: the bytes of the backup read, then those the converter
// confirmed, then those read back.
int BackupBytes(const DeviceExchange& ex) { return ex.backupBeforeWrite ? env_layout::RECORD_SIZE : 0; }
void ShowBackupProgress(Step& s, int bytes) { s.observer.SetProgressPosition(PROGRESS_MONITOR_WRITE_LOW + bytes); }
void ShowWriteProgress(Step& s, int bytes) { ShowBackupProgress(s, BackupBytes(s.ex) + bytes); }

int ChunkLength(const DeviceExchange& ex, int maximum) {
    int remaining = ex.endAddress - ex.address;
    return remaining < maximum ? remaining : maximum;
}

// Record bytes [offset, offset + count) must lie inside the record; a chunk
// that would leave it is cut (never the case with the addresses the probes
// set, but a tick may run at any moment).
int ClampToRecord(int offset, int count) {
    const int size = env_layout::RECORD_SIZE;
    if (offset < 0 || offset >= size || count < 0) return 0;
    return count < size - offset ? count : size - offset;
}

// --- Guards -----------------------------------------------------------------

bool ReadReplyComplete(const Step& s) {
    return s.ex.replyCount == ReadReplyLength(s.ex.commandLength, s.ex.readLength) &&
           IsUsableReadReply(s.ex.ReplyBuffer, s.ex.readLength);
}

bool DumpComplete(const Step& s) { return IsCompleteDump(s.ex.ReplyBuffer); }

bool MoreToTransfer(const Step& s) { return s.ex.address < s.ex.endAddress; }

bool TransferDone(const Step& s) { return s.ex.address >= s.ex.endAddress; }

// --- Actions ----------------------------------------------------------------

void SendMonitorProbe(Step& s) { Send(s, PROBE_MONITOR, PROBE_MONITOR_LENGTH, TIMEOUT_MONITOR_PROBE_MS); }

void BeginMonitorRead(Step& s) {
    // Every byte is the converter's or the read fails: nothing carries over.
    std::memset(s.ex.readCopy, 0, sizeof s.ex.readCopy);
    s.ex.monitorMode = 1;
    s.ex.address = MONITOR_ADDRESS_OFFSET;
    s.ex.endAddress = MONITOR_ADDRESS_END;
    s.ex.phase = PHASE_MONITOR_READ;
}

void ToMonitorUnlock(Step& s) {
    s.ex.address = MONITOR_ADDRESS_OFFSET + env_layout::FIRST_WRITTEN_OFFSET;
    s.ex.endAddress = MONITOR_ADDRESS_END;
    s.ex.op = OP_MONITOR_UNLOCK_E7;
}

void BeginMonitorWrite(Step& s) {
    s.ex.monitorMode = 1;
    s.ex.phase = PHASE_MONITOR_WRITE;
    if (!s.ex.backupBeforeWrite) {
        ToMonitorUnlock(s);
        return;
    }
    std::memset(s.ex.readCopy, 0, sizeof s.ex.readCopy);
    s.ex.op = OP_BACKUP_READ;
    s.ex.address = MONITOR_ADDRESS_OFFSET;
    s.ex.endAddress = MONITOR_ADDRESS_END;
}

void SendShellProbe(Step& s) {
    s.link.SetBaudCodeAndConfigure(BAUD_CODE_SHELL);
    Send(s, PROBE_SHELL, PROBE_SHELL_LENGTH, TIMEOUT_SHELL_PROBE_MS);
    s.ex.monitorMode = 0;
}

void BeginShellRead(Step& s) {
    s.ex.phase = PHASE_SHELL_READ;
    s.ex.op = OP_SHELL_XCONFIG;
}

void BeginShellWrite(Step& s) {
    s.ex.address = env_layout::FIRST_WRITTEN_OFFSET;
    s.ex.endAddress = env_layout::RECORD_SIZE;
    s.ex.phase = PHASE_SHELL_WRITE;
    s.ex.op = OP_SHELL_XCONFIG;
}

void SendReadChunk(Step& s) {
    s.ex.readLength = ChunkLength(s.ex, READ_CHUNK_MAX);
    CommandText command;
    FormatReadCommand(command, s.ex.address, s.ex.readLength);
    s.ex.commandLength = command.length;
    Send(s, command.text, command.length, TIMEOUT_READ_CHUNK_MS);
}

void EndInFailure(DeviceExchange& ex, ExchangeObserver& observer, ExchangeFailure failure) {
    ex.phase = PHASE_IDLE;
    ex.awaitingReply = 0;
    ex.failure = failure;
    observer.EnableMainWindow();
    observer.CloseProgress();
    observer.ShowMessage(ex.failureText, MESSAGE_ICON_HAND);
}

void StoreReadChunk(Step& s) {
    int offset = s.ex.address - MONITOR_ADDRESS_OFFSET;
    int count = ClampToRecord(offset, s.ex.readLength);
    const bool readBack = s.ex.op == OP_READ_BACK;
    const bool backup = s.ex.op == OP_BACKUP_READ;
    if (IsRefusedReadReply(s.ex.ReplyBuffer)) {
        // A refused chunk would leave bytes the converter never sent.
        const int n = std::snprintf(s.ex.failureText, sizeof s.ex.failureText, "%s", readBack ? TEXT_NOT_VERIFIED : "");
        std::snprintf(s.ex.failureText + n, sizeof s.ex.failureText - static_cast<size_t>(n), TEXT_READ_REFUSED_FORMAT,
                      offset, offset + s.ex.readLength - 1);
        EndInFailure(s.ex, s.observer, FAILURE_READ_REFUSED);
        return;
    }
    if (count > 0) ParseReadReply(s.ex.ReplyBuffer, s.ex.readCopy + offset, count);
    s.ex.address += s.ex.readLength;
    if (readBack)
        ShowWriteProgress(s, WRITTEN_BYTES + offset + s.ex.readLength);
    else if (backup)
        ShowBackupProgress(s, offset + s.ex.readLength);
    else
        s.observer.SetProgressPosition(s.ex.address);
}

// The converter's block read back after a write: equal in bytes 32-479 to
// what was sent, the write is complete; else the message says where not.
void CompareReadBack(Step& s) {
    const int first = env_layout::FIRST_WRITTEN_OFFSET;
    if (std::memcmp(s.ex.readCopy + first, s.record + first, WRITTEN_BYTES) == 0) {
        CompleteWrite(s);
        return;
    }
    const std::string where = s.observer.NameDifferences(s.record, s.ex.readCopy);
    std::snprintf(s.ex.failureText, sizeof s.ex.failureText, TEXT_WRITE_DIFFERS_FORMAT, where.c_str());
    EndInFailure(s.ex, s.observer, FAILURE_WRITE_DIFFERS);
}

void BeginMonitorReadBack(Step& s) {
    std::memset(s.ex.readCopy, 0, sizeof s.ex.readCopy);
    s.ex.op = OP_READ_BACK;
    s.ex.address = MONITOR_ADDRESS_OFFSET;
    s.ex.endAddress = MONITOR_ADDRESS_END;
}

void FinishMonitorWrite(Step& s) {
    if (s.ex.verifyWrite)
        BeginMonitorReadBack(s);
    else
        CompleteWrite(s);
}

// A shell dump taken for the read-back or the backup, into the read copy.
void CopyDump(Step& s) {
    for (int i = 0; i < env_layout::RECORD_SIZE; ++i) s.ex.readCopy[i] = DumpByte(s.ex.ReplyBuffer, i);
}

// Ends the shell's configuration session without committing; nothing is awaited.
void LeaveConfigMode(Step& s) {
    ClearReply(s.ex);
    s.link.Write(CMD_LEAVE_CONFIG, static_cast<int>(std::strlen(CMD_LEAVE_CONFIG)));
}

void SendXconfig(Step& s) { SendText(s, CMD_ENV_XCONFIG, TIMEOUT_XCONFIG_MS); }
void SendL0(Step& s) { SendText(s, CMD_L0, TIMEOUT_L0_MS); }
void SendDump(Step& s) { SendText(s, CMD_DUMP, TIMEOUT_DUMP_MS); }
void SendUnlockE7(Step& s) { SendText(s, CMD_UNLOCK_E7, TIMEOUT_MONITOR_ACK_MS); }
void SendUnlock3D(Step& s) { SendText(s, CMD_UNLOCK_3D, TIMEOUT_MONITOR_ACK_MS); }

void ToOp(Step& s, ExchangeOp op) { s.ex.op = op; }
void ToL0(Step& s) { ToOp(s, OP_SHELL_L0); }
void ToDump(Step& s) { ToOp(s, OP_SHELL_DUMP); }
void ToShellWriteChunks(Step& s) { ToOp(s, s.ex.backupBeforeWrite ? OP_BACKUP_DUMP : OP_SHELL_WRITE); }
void ToUnlock3D(Step& s) { ToOp(s, OP_MONITOR_UNLOCK_3D); }
void ToMonitorWriteChunks(Step& s) { ToOp(s, OP_MONITOR_WRITE); }

void StoreDump(Step& s) {
    s.ex.recordLoaded = 1;
    s.ex.phase = PHASE_IDLE;
    s.ex.op = OP_NONE;
    for (int i = 0; i < env_layout::RECORD_SIZE; ++i) {
        s.record[i] = DumpByte(s.ex.ReplyBuffer, i);
        s.observer.SetProgressPosition(PROGRESS_DUMP_BASE + i / 2);
    }
    LeaveConfigMode(s);
    s.observer.RefreshFormFromRecord();
    s.observer.ShowProgressText(TEXT_READING_COMPLETE);
    s.observer.CloseProgress();
}

void SendMonitorWriteChunk(Step& s) {
    int offset = s.ex.address - MONITOR_ADDRESS_OFFSET;
    s.ex.writeLength = ClampToRecord(offset, ChunkLength(s.ex, WRITE_CHUNK_MAX));
    CommandText command;
    FormatMonitorWriteCommand(command, s.ex.address, s.record + offset, s.ex.writeLength);
    Send(s, command.text, command.length, TIMEOUT_MONITOR_ACK_MS);
}

void AdvanceMonitorWrite(Step& s) {
    s.ex.address += s.ex.writeLength;
    ShowWriteProgress(s, ConfirmedWriteBytes(s.ex));
}

void SendShellWriteChunk(Step& s) {
    s.ex.writeLength = ClampToRecord(s.ex.address, ChunkLength(s.ex, WRITE_CHUNK_MAX));
    CommandText command;
    FormatShellWriteCommand(command, s.ex.address, s.record + s.ex.address, s.ex.writeLength);
    Send(s, command.text, command.length, TIMEOUT_WH_MS);
}

void AdvanceShellWrite(Step& s) {
    s.ex.address += s.ex.writeLength;
    ShowWriteProgress(s, ConfirmedWriteBytes(s.ex));
}

void SendCommit(Step& s) {
    SendText(s, CMD_COMMIT, TIMEOUT_COMMIT_MS);
    s.ex.op = OP_SHELL_COMMIT;
}

void CommitShellWrite(Step& s) {
    if (!s.ex.verifyWrite) {
        CompleteWrite(s);
        return;
    }
    // Read back in a configuration session of its own, as a read does.
    s.ex.op = OP_READ_BACK_XCONFIG;
}

void StoreReadBackDump(Step& s) {
    CopyDump(s);
    ShowWriteProgress(s, WRITTEN_BYTES + env_layout::RECORD_SIZE);
    LeaveConfigMode(s);
    CompareReadBack(s);
}

// The block read before a write goes to the observer to keep; the write goes
// on only when it was kept.
void KeepBackupThenWrite(Step& s) {
    std::string reason;
    if (s.observer.KeepBackup(s.ex.readCopy, reason)) {
        if (s.ex.phase == PHASE_MONITOR_WRITE)
            ToMonitorUnlock(s);
        else
            ToOp(s, OP_SHELL_WRITE);
        return;
    }
    // A shell console drops nothing it staged, for nothing was; it only
    // leaves its configuration session.
    if (s.ex.phase == PHASE_SHELL_WRITE) LeaveConfigMode(s);
    std::snprintf(s.ex.failureText, sizeof s.ex.failureText, "%s%s", reason.c_str(), TEXT_NOTHING_WRITTEN);
    EndInFailure(s.ex, s.observer, FAILURE_NO_BACKUP);
}

void StoreBackupDump(Step& s) {
    CopyDump(s);
    ShowBackupProgress(s, env_layout::RECORD_SIZE);
    ClearReply(s.ex);
    KeepBackupThenWrite(s);
}

void ToReadBackL0(Step& s) { ToOp(s, OP_READ_BACK_L0); }
void ToReadBackDump(Step& s) { ToOp(s, OP_READ_BACK_DUMP); }

// --- The transition table ---------------------------------------------------
//
// An idle row runs when nothing is awaited; a reply row runs when its marker
// is in ReplyBuffer, after the marker has been accepted (TIMER_REPLY killed,
// awaitingReply 0). The first matching row wins; a tick matching none does
// nothing.

enum Tick { IDLE, REPLY };
constexpr int32_t ANY_OP = -1;

struct Transition {
    ExchangePhase phase;
    int32_t op;
    Tick tick;
    const char* marker;          // reply rows only
    bool (*guard)(const Step&);  // extra condition, or none
    void (*action)(Step&);
};

const Transition TRANSITIONS[] = {
    // phase                op                    tick   marker              guard              action
    {PHASE_MONITOR_PROBE, OP_READ, IDLE, nullptr, nullptr, SendMonitorProbe},
    {PHASE_MONITOR_PROBE, OP_WRITE, IDLE, nullptr, nullptr, SendMonitorProbe},
    {PHASE_MONITOR_PROBE, OP_READ, REPLY, MARK_MONITOR_PROBE, nullptr, BeginMonitorRead},
    {PHASE_MONITOR_PROBE, OP_WRITE, REPLY, MARK_MONITOR_PROBE, nullptr, BeginMonitorWrite},

    {PHASE_SHELL_PROBE, OP_READ, IDLE, nullptr, nullptr, SendShellProbe},
    {PHASE_SHELL_PROBE, OP_WRITE, IDLE, nullptr, nullptr, SendShellProbe},
    {PHASE_SHELL_PROBE, OP_READ, REPLY, MARK_SHELL_PROBE, nullptr, BeginShellRead},
    {PHASE_SHELL_PROBE, OP_WRITE, REPLY, MARK_SHELL_PROBE, nullptr, BeginShellWrite},

    {PHASE_MONITOR_READ, ANY_OP, IDLE, nullptr, TransferDone, CompleteRead},
    {PHASE_MONITOR_READ, ANY_OP, IDLE, nullptr, MoreToTransfer, SendReadChunk},
    {PHASE_MONITOR_READ, ANY_OP, REPLY, MARK_READ_CHUNK, ReadReplyComplete, StoreReadChunk},

    {PHASE_SHELL_READ, OP_SHELL_XCONFIG, IDLE, nullptr, nullptr, SendXconfig},
    {PHASE_SHELL_READ, OP_SHELL_XCONFIG, REPLY, MARK_XCONFIG, nullptr, ToL0},
    {PHASE_SHELL_READ, OP_SHELL_L0, IDLE, nullptr, nullptr, SendL0},
    {PHASE_SHELL_READ, OP_SHELL_L0, REPLY, MARK_L0, nullptr, ToDump},
    {PHASE_SHELL_READ, OP_SHELL_DUMP, IDLE, nullptr, nullptr, SendDump},
    {PHASE_SHELL_READ, OP_SHELL_DUMP, REPLY, MARK_DUMP_END, DumpComplete, StoreDump},

    {PHASE_MONITOR_WRITE, OP_BACKUP_READ, IDLE, nullptr, TransferDone, KeepBackupThenWrite},
    {PHASE_MONITOR_WRITE, OP_BACKUP_READ, IDLE, nullptr, MoreToTransfer, SendReadChunk},
    {PHASE_MONITOR_WRITE, OP_BACKUP_READ, REPLY, MARK_READ_CHUNK, ReadReplyComplete, StoreReadChunk},
    {PHASE_MONITOR_WRITE, OP_MONITOR_UNLOCK_E7, IDLE, nullptr, nullptr, SendUnlockE7},
    {PHASE_MONITOR_WRITE, OP_MONITOR_UNLOCK_E7, REPLY, MARK_MONITOR_ACK, nullptr, ToUnlock3D},
    {PHASE_MONITOR_WRITE, OP_MONITOR_UNLOCK_3D, IDLE, nullptr, nullptr, SendUnlock3D},
    {PHASE_MONITOR_WRITE, OP_MONITOR_UNLOCK_3D, REPLY, MARK_MONITOR_ACK, nullptr, ToMonitorWriteChunks},
    {PHASE_MONITOR_WRITE, OP_MONITOR_WRITE, IDLE, nullptr, TransferDone, FinishMonitorWrite},
    {PHASE_MONITOR_WRITE, OP_MONITOR_WRITE, IDLE, nullptr, MoreToTransfer, SendMonitorWriteChunk},
    {PHASE_MONITOR_WRITE, OP_MONITOR_WRITE, REPLY, MARK_MONITOR_ACK, nullptr, AdvanceMonitorWrite},
    {PHASE_MONITOR_WRITE, OP_READ_BACK, IDLE, nullptr, TransferDone, CompareReadBack},
    {PHASE_MONITOR_WRITE, OP_READ_BACK, IDLE, nullptr, MoreToTransfer, SendReadChunk},
    {PHASE_MONITOR_WRITE, OP_READ_BACK, REPLY, MARK_READ_CHUNK, ReadReplyComplete, StoreReadChunk},

    {PHASE_SHELL_WRITE, OP_SHELL_XCONFIG, IDLE, nullptr, nullptr, SendXconfig},
    {PHASE_SHELL_WRITE, OP_SHELL_XCONFIG, REPLY, MARK_XCONFIG, nullptr, ToL0},
    {PHASE_SHELL_WRITE, OP_SHELL_L0, IDLE, nullptr, nullptr, SendL0},
    {PHASE_SHELL_WRITE, OP_SHELL_L0, REPLY, MARK_L0, nullptr, ToShellWriteChunks},
    {PHASE_SHELL_WRITE, OP_BACKUP_DUMP, IDLE, nullptr, nullptr, SendDump},
    {PHASE_SHELL_WRITE, OP_BACKUP_DUMP, REPLY, MARK_DUMP_END, DumpComplete, StoreBackupDump},
    {PHASE_SHELL_WRITE, OP_SHELL_WRITE, IDLE, nullptr, MoreToTransfer, SendShellWriteChunk},
    {PHASE_SHELL_WRITE, OP_SHELL_WRITE, IDLE, nullptr, TransferDone, SendCommit},
    {PHASE_SHELL_WRITE, OP_SHELL_WRITE, REPLY, MARK_WH_ACK, nullptr, AdvanceShellWrite},
    {PHASE_SHELL_WRITE, OP_SHELL_COMMIT, REPLY, MARK_COMMIT, nullptr, CommitShellWrite},
    {PHASE_SHELL_WRITE, OP_READ_BACK_XCONFIG, IDLE, nullptr, nullptr, SendXconfig},
    {PHASE_SHELL_WRITE, OP_READ_BACK_XCONFIG, REPLY, MARK_XCONFIG, nullptr, ToReadBackL0},
    {PHASE_SHELL_WRITE, OP_READ_BACK_L0, IDLE, nullptr, nullptr, SendL0},
    {PHASE_SHELL_WRITE, OP_READ_BACK_L0, REPLY, MARK_L0, nullptr, ToReadBackDump},
    {PHASE_SHELL_WRITE, OP_READ_BACK_DUMP, IDLE, nullptr, nullptr, SendDump},
    {PHASE_SHELL_WRITE, OP_READ_BACK_DUMP, REPLY, MARK_DUMP_END, DumpComplete, StoreReadBackDump},
};

bool Matches(const Transition& row, const Step& s, Tick tick) {
    if (row.phase != s.ex.phase || row.tick != tick) return false;
    if (row.op != ANY_OP && row.op != s.ex.op) return false;
    if (row.marker != nullptr && std::strstr(s.ex.ReplyBuffer, row.marker) == nullptr) return false;
    return row.guard == nullptr || row.guard(s);
}

void Accept(Step& s) {
    s.link.KillReplyTimer();
    s.ex.awaitingReply = 0;
}

void Start(DeviceExchange& ex, ExchangeLink& link, ExchangeOp op) {
    link.KillReplyTimer();
    ex.phase = PHASE_MONITOR_PROBE;
    ex.op = op;
    ex.awaitingReply = 0;
    ex.recordLoaded = 0;
    ex.failure = FAILURE_NONE;
}

}  // namespace

bool ExchangeObserver::KeepBackup(const uint8_t*, std::string& reason) {
    reason = "No backup can be kept here.";
    return false;
}

int WriteProgressHigh(const DeviceExchange& ex) {
    return PROGRESS_MONITOR_WRITE_LOW + BackupBytes(ex) + WRITTEN_BYTES +
           (ex.verifyWrite ? env_layout::RECORD_SIZE : 0);
}

std::string ExchangeObserver::NameDifferences(const uint8_t* sent, const uint8_t* held) {
    std::string text;
    for (int i = env_layout::FIRST_WRITTEN_OFFSET; i < env_layout::RECORD_SIZE; ++i) {
        if (sent[i] == held[i]) continue;
        int last = i;
        while (last + 1 < env_layout::RECORD_SIZE && sent[last + 1] != held[last + 1]) ++last;
        text += (text.empty() ? "offsets " : ", ") + std::to_string(i) + (last > i ? "-" + std::to_string(last) : "");
        i = last;
    }
    return text;
}

void StartRead(DeviceExchange& ex, ExchangeLink& link) { Start(ex, link, OP_READ); }

void StartWrite(DeviceExchange& ex, ExchangeLink& link) { Start(ex, link, OP_WRITE); }

void StepExchange(DeviceExchange& ex, ExchangeLink& link, ExchangeObserver& observer, uint8_t* record) {
    Step s{ex, link, observer, record};
    const Tick tick = ex.awaitingReply ? REPLY : IDLE;
    for (const Transition& row : TRANSITIONS) {
        if (!Matches(row, s, tick)) continue;
        if (tick == REPLY) Accept(s);
        row.action(s);
        return;
    }
}

void RunPumpTick(DeviceExchange& ex, ExchangeLink& link, ExchangeObserver& observer, uint8_t* record) {
    if (!link.IsLinkActive()) return;
    StepExchange(ex, link, observer, record);
    link.PumpTransmit();
    CollectReply(ex, link);
    link.PumpReceive();
}

void OnReplyTimeout(DeviceExchange& ex, ExchangeLink& link, ExchangeObserver& observer) {
    // An unanswered monitor probe falls back to the shell probe, unless the
    // link has gone: then no tick would ever send it, so fail now.
    if (ex.phase == PHASE_MONITOR_PROBE && link.IsLinkActive()) {
        ex.awaitingReply = 0;
        ex.phase = PHASE_SHELL_PROBE;
        return;
    }
    AbortExchange(ex, observer);
}

void CancelExchange(DeviceExchange& ex, ExchangeLink& link, ExchangeObserver& observer) {
    if (ex.phase == PHASE_IDLE) return;
    link.KillReplyTimer();
    AbortExchange(ex, observer);
}

void AbortExchange(DeviceExchange& ex, ExchangeObserver& observer) {
    if (!WriteUnderway(ex)) {
        std::snprintf(ex.failureText, sizeof ex.failureText, "%s", TEXT_NO_RESPONSE);
        EndInFailure(ex, observer, FAILURE_NO_RESPONSE);
        return;
    }
    const int n = std::snprintf(ex.failureText, sizeof ex.failureText, TEXT_WRITE_STOPPED_FORMAT,
                                ConfirmedWriteBytes(ex), WRITTEN_BYTES);
    if (n > 0 && n < FAILURE_TEXT_SIZE)
        std::snprintf(ex.failureText + n, sizeof ex.failureText - n, "%s", TEXT_WRITE_AGAIN);
    EndInFailure(ex, observer, FAILURE_WRITE_STOPPED);
}

bool WriteUnderway(const DeviceExchange& ex) {
    switch (ex.op) {
        case OP_MONITOR_WRITE: return ex.awaitingReply || ex.address > PROGRESS_MONITOR_WRITE_LOW;
        case OP_SHELL_WRITE: return ex.awaitingReply || ex.address > env_layout::FIRST_WRITTEN_OFFSET;
        case OP_SHELL_COMMIT: return true;
        default: return false;
    }
}

int ConfirmedWriteBytes(const DeviceExchange& ex) {
    if (!WriteUnderway(ex)) return 0;
    const int first = ex.op == OP_MONITOR_WRITE ? MONITOR_ADDRESS_OFFSET + env_layout::FIRST_WRITTEN_OFFSET
                                                : env_layout::FIRST_WRITTEN_OFFSET;
    return ex.address - first;
}

void ClearReply(DeviceExchange& ex) {
    std::memset(ex.ReplyBuffer, 0, sizeof ex.ReplyBuffer);
    ex.replyCount = 0;
}

void CollectReply(DeviceExchange& ex, ExchangeLink& link) {
    uint8_t byte = 0;
    while (link.ReadByte(byte)) {
        if (ex.replyCount < REPLY_BUFFER_SIZE - 1) ex.ReplyBuffer[ex.replyCount++] = static_cast<char>(byte);
    }
}

}  // namespace quarnel
