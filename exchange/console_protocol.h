// The converter's serial console: every command Quarnel sends, the marker
// that completes it, its time-out, and the parsing of the two data replies.
//
// Monitor mode (115200 bps) reads and writes the block by converter address
// (record byte + 32); shell mode (19200 bps) dumps the whole block with
// "RA 00" and writes it with "WH" at address = record byte. Markers are
// plain substring searches in the zero-terminated reply text.
//
// Commands are formatted into a CommandText on the caller's stack; nothing
// here allocates.
#pragma once

#include <cstdint>

#include "envrecord/env_layout.h"
#include "serial/line_config.h"

namespace quarnel {

// --- Line speeds (PortSettings baud codes) --------------------------------
constexpr int BAUD_CODE_MONITOR = BAUD_CODE_115200;
constexpr int BAUD_CODE_SHELL = BAUD_CODE_19200;

// --- Probes: raw bytes of the given length ---------------------------------
constexpr char PROBE_MONITOR[] = "r\r";
constexpr int PROBE_MONITOR_LENGTH = 2;
constexpr char PROBE_SHELL[] = "\rC1\r";
constexpr int PROBE_SHELL_LENGTH = 4;

// --- Fixed commands ---------------------------------------------------------
constexpr char CMD_UNLOCK_E7[] = "!u e7\r";
constexpr char CMD_UNLOCK_3D[] = "!u 3d\r";
constexpr char CMD_ENV_XCONFIG[] = "env xconfig\r";
constexpr char CMD_L0[] = "L0\r";
constexpr char CMD_DUMP[] = "RA 00\r";
constexpr char CMD_LEAVE_CONFIG[] = "C1\r";
constexpr char CMD_COMMIT[] = "C0\r";

// --- Completion markers -----------------------------------------------------
constexpr char MARK_MONITOR_PROBE[] = "00 \r\n";
constexpr char MARK_SHELL_PROBE[] = "C1: unknown command\r\nmsh>";
constexpr char MARK_READ_CHUNK[] = "701";
constexpr char MARK_READ_REFUSED[] = "801";
constexpr char MARK_MONITOR_ACK[] = "\r\n701\r\n";
constexpr char MARK_XCONFIG[] = "@700\r\n";
constexpr char MARK_L0[] = "@701\r\n";
constexpr char MARK_DUMP_END[] = "\r\n@701\r\n";
constexpr char MARK_WH_ACK[] = "@701";
constexpr char MARK_COMMIT[] = "@761";

// --- Reply time-outs (ms) ---------------------------------------------------
constexpr int TIMEOUT_MONITOR_PROBE_MS = 1000;
constexpr int TIMEOUT_SHELL_PROBE_MS = 3000;
constexpr int TIMEOUT_READ_CHUNK_MS = 5000;
constexpr int TIMEOUT_MONITOR_ACK_MS = 1000;
constexpr int TIMEOUT_XCONFIG_MS = 1000;
constexpr int TIMEOUT_L0_MS = 1000;
constexpr int TIMEOUT_DUMP_MS = 5000;
constexpr int TIMEOUT_WH_MS = 5000;
constexpr int TIMEOUT_COMMIT_MS = 3000;

// --- Block geometry ---------------------------------------------------------
// The block is env_layout::RECORD_SIZE bytes; writes start at
// env_layout::FIRST_WRITTEN_OFFSET.
constexpr int MONITOR_ADDRESS_OFFSET = 32;  // monitor address of record byte 0
constexpr int MONITOR_ADDRESS_END = MONITOR_ADDRESS_OFFSET + env_layout::RECORD_SIZE;
constexpr int READ_CHUNK_MAX = 128;
constexpr int WRITE_CHUNK_MAX = 16;
constexpr int DUMP_HEX_CHARS = 2 * env_layout::RECORD_SIZE;

// Received text since the last command; the last byte stays zero.
constexpr int REPLY_BUFFER_SIZE = 1032;

// Longest command: "!w 1f0" and sixteen " xx" and "\r" is 55 characters.
constexpr int COMMAND_CAPACITY = 64;

struct CommandText {
    char text[COMMAND_CAPACITY];  // zero-terminated
    int length;                   // characters, carriage return included
};

// "r %02x %02x\r"
void FormatReadCommand(CommandText& command, int address, int length);
// "!w %02x", " %02x" per byte, "\r". False if the bytes do not fit.
bool FormatMonitorWriteCommand(CommandText& command, int address, const uint8_t* bytes, int count);
// "WH %03x ", "%02x" per byte, "\r". False if the bytes do not fit.
bool FormatShellWriteCommand(CommandText& command, int address, const uint8_t* bytes, int count);
// Appends " %02x" per byte. All or nothing: false, and the text unchanged,
// if the bytes (and room for a closing "\r") do not fit.
bool AppendSpacedHex(CommandText& command, const uint8_t* bytes, int count);
// Appends "%02x" per byte, all or nothing like AppendSpacedHex.
bool AppendHex(CommandText& command, const uint8_t* bytes, int count);

// Expected length of a monitor read reply: the command (carriage return
// included) + 3 characters per byte + 8.
inline int ReadReplyLength(int commandLength, int readLength) { return commandLength + 3 * readLength + 8; }

// A monitor read reply of exactly ReadReplyLength characters is taken only
// when it is the converter's refusal ("801": the chunk completes, nothing is
// stored) or, after the line holding "701", carries `byteCount` pieces of two
// hex digits and a blank each, then the line end. Anything else - a damaged
// digit, a digit in place of a blank - is left to the read time-out.
bool IsUsableReadReply(const char* reply, int byteCount);
// The converter refused the chunk ("801").
bool IsRefusedReadReply(const char* reply);

// Stores the `byteCount` bytes of a well-formed read reply into destination
// and returns byteCount; returns 0 and stores nothing for a refusal or any
// other text.
int ParseReadReply(const char* reply, uint8_t* destination, int byteCount);

// The shell dump is usable only when it is exactly 960 hex digits and then
// the line end: a short, long, cut or garbled dump must never reach the
// record (one digit too many shifts every byte after it).
bool IsCompleteDump(const char* reply);
// Byte i (0..479) of a dump: characters 2i and 2i+1 in base 16. The reply
// must be readable for 960 characters (the reply buffer always is).
uint8_t DumpByte(const char* reply, int index);

}  // namespace quarnel
