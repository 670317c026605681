// The exchange engine: the timer-driven state machine that probes the
// converter's console mode and moves the 480-byte record in either
// direction, one command per tick. It runs over an ExchangeLink (the line and
// the reply timer) and reports to an ExchangeObserver.
//
//   StartRead(ex, link) / StartWrite(ex, link)    the buttons' hand-over
//   RunPumpTick(ex, link, observer, record)       every pump tick of the host
//   OnReplyTimeout(ex, link, observer)            when the reply timer fires
//
// The record is the host's EnvRecord as env_layout::RECORD_SIZE bytes. All of
// it runs on the host's one thread (the window's, or a command-line line's
// worker); a tick never blocks and may run at any moment (the window runs
// extra ticks when bytes arrive).
#pragma once

#include "exchange/console_protocol.h"
#include "exchange/exchange_link.h"
#include "exchange/exchange_observer.h"

#include <cstdint>

namespace quarnel {

// The positions the engine reports through SetProgressPosition. A read climbs
// through the monitor addresses to PROGRESS_MONITOR_HIGH (a shell dump's parse
// over the upper half, from PROGRESS_DUMP_BASE); a write, in either console
// mode, from PROGRESS_MONITOR_WRITE_LOW by the bytes of its backup read, then
// those the converter confirmed, then those read back, to WriteProgressHigh.
constexpr int PROGRESS_READ_LOW = MONITOR_ADDRESS_OFFSET;
constexpr int PROGRESS_MONITOR_WRITE_LOW = MONITOR_ADDRESS_OFFSET + env_layout::FIRST_WRITTEN_OFFSET;
constexpr int PROGRESS_MONITOR_HIGH = MONITOR_ADDRESS_END;
constexpr int PROGRESS_DUMP_BASE = MONITOR_ADDRESS_END - env_layout::RECORD_SIZE / 2;

enum ExchangePhase : int32_t {
    PHASE_IDLE = 0,
    PHASE_MONITOR_PROBE = 1,
    PHASE_SHELL_PROBE = 2,
    PHASE_MONITOR_READ = 3,
    PHASE_SHELL_READ = 4,
    PHASE_MONITOR_WRITE = 5,
    PHASE_SHELL_WRITE = 6,
};

enum ExchangeOp : int32_t {
    OP_NONE = 0,
    OP_READ = 1,               // Read requested; the probe picks phase 3 or 4
    OP_WRITE = 2,              // Write or Initialize ENV; the probe picks phase 5 or 6
    OP_SHELL_XCONFIG = 3,      // "env xconfig\r"
    OP_SHELL_L0 = 4,           // "L0\r"
    OP_SHELL_DUMP = 5,         // "RA 00\r"
    OP_MONITOR_UNLOCK_E7 = 6,  // "!u e7\r"
    OP_MONITOR_UNLOCK_3D = 7,  // "!u 3d\r"
    OP_MONITOR_WRITE = 8,      // "!w" chunks
    OP_SHELL_WRITE = 9,        // "WH" chunks
    OP_SHELL_COMMIT = 10,      // "C0\r"
    // The read-back after a write, in the same console session.
    OP_READ_BACK = 11,          // monitor: the four read chunks
    OP_READ_BACK_XCONFIG = 12,  // shell: "env xconfig\r" once more
    OP_READ_BACK_L0 = 13,       // shell: "L0\r"
    OP_READ_BACK_DUMP = 14,     // shell: "RA 00\r", then "C1\r"
    // The backup read before a write, in the same console session.
    OP_BACKUP_READ = 15,  // monitor: the four read chunks
    OP_BACKUP_DUMP = 16,  // shell: "RA 00\r", then the "WH" chunks
};

constexpr char TEXT_READING_COMPLETE[] = "Reading complete.";
constexpr char TEXT_WRITING_COMPLETE[] = "Writing complete.";
constexpr char TEXT_NO_RESPONSE[] =
    "No respone from Tarvo.\r\n\r\nCheck serial port, cable connection, power supply and console mode.";
// A read chunk answered "801": the first and last record byte it covers.
constexpr char TEXT_READ_REFUSED_FORMAT[] =
    "Tarvo refused to send part of its settings (bytes %d-%d); nothing was read.";
// A write that ended after its first chunk went out: bytes acknowledged, bytes in all.
constexpr char TEXT_WRITE_STOPPED_FORMAT[] =
    "Writing stopped after %d of %d bytes: Tarvo may now hold a mix of old and new settings.";
// A read-back that differs from what was sent: where, by the settings' names.
constexpr char TEXT_WRITE_DIFFERS_FORMAT[] =
    "Tarvo holds other values than were written: %s.\r\n\r\nThe window still holds the values that were "
    "sent: press Write again to send them.";
constexpr char TEXT_NOT_VERIFIED[] = "The write could not be verified: ";
constexpr char TEXT_NOTHING_WRITTEN[] = "\r\n\r\nNothing was written to Tarvo.";
constexpr char TEXT_WRITE_AGAIN[] =
    "\r\n\r\nThe window still holds the values that were sent: press Write again to send all of them, "
    "or Load a saved settings file and Write it.";

// How the last exchange failed.
enum ExchangeFailure : int32_t {
    FAILURE_NONE = 0,
    FAILURE_NO_RESPONSE = 1,    // a reply never came, or the link went
    FAILURE_READ_REFUSED = 2,   // the converter answered a read chunk with "801"
    FAILURE_WRITE_STOPPED = 3,  // a write ended after its first chunk went out
    FAILURE_WRITE_DIFFERS = 4,  // the read-back after a write differs from what was sent
    FAILURE_NO_BACKUP = 5,      // the backup before a write could not be kept: nothing was written
};

constexpr int FAILURE_TEXT_SIZE = 320;

struct DeviceExchange {
    ExchangePhase phase = PHASE_IDLE;
    ExchangeOp op = OP_NONE;
    int32_t address = 0;        // converter address of the next chunk
    int32_t endAddress = 0;     // the transfer ends when address reaches it
    int32_t readLength = 0;     // bytes asked for by the read in flight
    int32_t writeLength = 0;    // bytes carried by the write in flight
    int32_t commandLength = 0;  // characters of the read command in flight
    int32_t awaitingReply = 0;  // a command is out and its marker not yet seen
    // Bytes received since the last command; the last byte always stays 0,
    // so the text is terminated whatever arrives.
    char ReplyBuffer[REPLY_BUFFER_SIZE] = {};
    int32_t replyCount = 0;
    // A monitor read collects its chunks here and commits them to the record
    // only once the last one has arrived: a read that fails part-way must
    // not leave a record mixed from two converters, which the next Write
    // would send. (The shell dump arrives whole and is checked first.)
    uint8_t readCopy[env_layout::RECORD_SIZE] = {};
    int32_t monitorMode = 0;   // the monitor console answered last
    int32_t recordLoaded = 0;  // a read or write has completed
    // A write reads the block back in the same session and compares bytes
    // 32-479 with what it sent before it says "Writing complete.". Set by
    // the host before StartWrite.
    int32_t verifyWrite = 0;
    // A write first reads the block in the same session and hands it to the
    // observer to keep (ExchangeObserver::KeepBackup); nothing is written
    // unless it was kept. Set by the host before StartWrite.
    int32_t backupBeforeWrite = 0;
    // The failure ending of the last exchange and the message it showed.
    ExchangeFailure failure = FAILURE_NONE;
    char failureText[FAILURE_TEXT_SIZE] = {};
};

// The end of a write's progress range: from PROGRESS_MONITOR_WRITE_LOW over
// the backup read, the write and the read-back that `ex` asks for.
int WriteProgressHigh(const DeviceExchange& ex);

// True once a write chunk has gone out in the current (or last) write: from
// then on the converter may hold part of the new values.
bool WriteUnderway(const DeviceExchange& ex);
// Bytes of the block the converter has acknowledged in that write.
int ConfirmedWriteBytes(const DeviceExchange& ex);
// Bytes a whole write sends.
constexpr int WRITTEN_BYTES = env_layout::RECORD_SIZE - env_layout::FIRST_WRITTEN_OFFSET;

// The buttons' hand-over: phase 1 with op OP_READ or OP_WRITE, nothing
// awaited, recordLoaded 0. Restarts a running exchange; the reply timer of
// the old one is killed so it cannot cut the new probe short.
void StartRead(DeviceExchange& ex, ExchangeLink& link);
void StartWrite(DeviceExchange& ex, ExchangeLink& link);

// One pump tick while the link is active: StepExchange, PumpTransmit,
// CollectReply, PumpReceive. Does nothing while the link is not active. The
// host runs the next tick.
void RunPumpTick(DeviceExchange& ex, ExchangeLink& link, ExchangeObserver& observer, uint8_t* record);

// One engine step.
void StepExchange(DeviceExchange& ex, ExchangeLink& link, ExchangeObserver& observer, uint8_t* record);
// The reply timer has fired (the host no longer counts it as armed).
void OnReplyTimeout(DeviceExchange& ex, ExchangeLink& link, ExchangeObserver& observer);
// The link is closing: a running exchange ends at once, whatever its phase
// and whether or not a reply is awaited (reply timer killed, engine idle,
// then the failure ending), so nothing of it reaches a link opened later.
// Does nothing while idle.
void CancelExchange(DeviceExchange& ex, ExchangeLink& link, ExchangeObserver& observer);
// The failure ending of an exchange that got no answer: engine idle, main
// window enabled, progress closed, the message with the stop icon - the
// no-response text, or for a write already underway how far it got.
void AbortExchange(DeviceExchange& ex, ExchangeObserver& observer);
// Zero-fills ReplyBuffer and sets replyCount to 0.
void ClearReply(DeviceExchange& ex);
// Moves every received byte into ReplyBuffer; bytes beyond its last free
// position are read and dropped.
void CollectReply(DeviceExchange& ex, ExchangeLink& link);

}  // namespace quarnel
