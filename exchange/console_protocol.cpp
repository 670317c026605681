#include "exchange/console_protocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "envrecord/hex_text.h"

namespace quarnel {

namespace {

// Appends `count` bytes, each printed with `format` into `width` characters,
// keeping one character free for the closing carriage return.
bool AppendFormatted(CommandText& command, const uint8_t* bytes, int count, const char* format, int width) {
    if (count < 0 || command.length + width * count + 1 >= COMMAND_CAPACITY) return false;
    for (int i = 0; i < count; ++i) {
        std::snprintf(command.text + command.length, COMMAND_CAPACITY - command.length, format,
                      static_cast<unsigned>(bytes[i]));
        command.length += width;
    }
    return true;
}

void AppendCarriageReturn(CommandText& command) {
    command.text[command.length++] = '\r';
    command.text[command.length] = 0;
}

// The two characters at `digits` in base 16, low 8 bits.
uint8_t PairValue(const char* digits) {
    const char pair[3] = {digits[0], digits[1], 0};
    return static_cast<uint8_t>(std::strtol(pair, nullptr, 16) & 0xFF);
}

}  // namespace

void FormatReadCommand(CommandText& command, int address, int length) {
    int n = std::snprintf(command.text, COMMAND_CAPACITY, "r %02x %02x\r", static_cast<unsigned>(address),
                          static_cast<unsigned>(length));
    command.length = n < COMMAND_CAPACITY ? n : COMMAND_CAPACITY - 1;
}

bool AppendSpacedHex(CommandText& command, const uint8_t* bytes, int count) {
    return AppendFormatted(command, bytes, count, " %02x", 3);
}

bool AppendHex(CommandText& command, const uint8_t* bytes, int count) {
    return AppendFormatted(command, bytes, count, "%02x", 2);
}

bool FormatMonitorWriteCommand(CommandText& command, int address, const uint8_t* bytes, int count) {
    command.length = std::snprintf(command.text, COMMAND_CAPACITY, "!w %02x", static_cast<unsigned>(address));
    if (!AppendSpacedHex(command, bytes, count)) return false;
    AppendCarriageReturn(command);
    return true;
}

bool FormatShellWriteCommand(CommandText& command, int address, const uint8_t* bytes, int count) {
    command.length = std::snprintf(command.text, COMMAND_CAPACITY, "WH %03x ", static_cast<unsigned>(address));
    if (!AppendHex(command, bytes, count)) return false;
    AppendCarriageReturn(command);
    return true;
}

namespace {

// The data of a monitor read reply: after the line holding "701" (ended by
// "\r\n"), `byteCount` pieces of two hex digits and a blank each, then
// "\r\n" and nothing more. Null for any other text: one damaged character
// must not turn into a byte the converter never sent.
const char* ReadReplyData(const char* reply, int byteCount) {
    const char* mark = std::strstr(reply, MARK_READ_CHUNK);
    const char* lineEnd = mark != nullptr ? std::strchr(mark, '\r') : nullptr;
    if (lineEnd == nullptr || lineEnd[1] != '\n' || byteCount <= 0) return nullptr;
    const char* data = lineEnd + 2;
    const char* p = data;
    for (int i = 0; i < byteCount; ++i, p += 3) {
        if (!IsHexDigit(p[0]) || !IsHexDigit(p[1]) || p[2] != ' ') return nullptr;
    }
    return p[0] == '\r' && p[1] == '\n' && p[2] == 0 ? data : nullptr;
}

}  // namespace

bool IsRefusedReadReply(const char* reply) { return std::strstr(reply, MARK_READ_REFUSED) != nullptr; }

bool IsUsableReadReply(const char* reply, int byteCount) {
    return IsRefusedReadReply(reply) || ReadReplyData(reply, byteCount) != nullptr;
}

int ParseReadReply(const char* reply, uint8_t* destination, int byteCount) {
    if (IsRefusedReadReply(reply)) return 0;
    const char* data = ReadReplyData(reply, byteCount);
    if (data == nullptr) return 0;
    for (int i = 0; i < byteCount; ++i) destination[i] = PairValue(data + 3 * i);
    return byteCount;
}

bool IsCompleteDump(const char* reply) {
    for (int i = 0; i < DUMP_HEX_CHARS; ++i)
        if (!IsHexDigit(reply[i])) return false;  // also stops at the terminating zero
    return reply[DUMP_HEX_CHARS] == '\r' && reply[DUMP_HEX_CHARS + 1] == '\n';
}

uint8_t DumpByte(const char* reply, int index) { return PairValue(reply + 2 * index); }

}  // namespace quarnel
