#include "exchange/console_protocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quarnel {

namespace {

// Appends `count` bytes, each printed with `format` into `width` characters,
// keeping one character free for the closing carriage return.
bool AppendFormatted(CommandText& command, const uint8_t* bytes, int count, const char* format,
                     int width) {
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

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
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

const char* NextToken(const char* text, char* piece, int pieceCapacity, char delimiter) {
    while (*text == delimiter) ++text;
    int n = 0;
    while (*text != 0 && *text != delimiter) {
        if (n < pieceCapacity - 1) piece[n++] = *text;
        ++text;
    }
    piece[n] = 0;
    if (*text == delimiter) ++text;
    return text;
}

int ParseReadReply(const char* reply, uint8_t* destination, int maxBytes) {
    if (*reply == 0 || std::strstr(reply, MARK_READ_REFUSED) != nullptr) return 0;
    // A reply is at most a reply buffer long, so no piece of it is ever cut.
    char piece[REPLY_BUFFER_SIZE];
    const char* rest = reply;
    for (;;) {
        if (*rest == 0) return 0;
        rest = NextToken(rest, piece, sizeof piece, '\r');
        if (std::strstr(piece, MARK_READ_CHUNK) != nullptr) break;
    }
    if (*rest == 0) return 0;
    int converted = 0;
    while (*rest != 0 && converted < maxBytes) {
        rest = NextToken(rest, piece, sizeof piece, ' ');
        if (piece[0] == 0) break;
        destination[converted++] = static_cast<uint8_t>(std::strtol(piece, nullptr, 16) & 0xFF);
    }
    return converted;
}

bool IsCompleteDump(const char* reply) {
    for (int i = 0; i < DUMP_HEX_CHARS; ++i)
        if (!IsHexDigit(reply[i])) return false;  // also stops at the terminating zero
    return true;
}

uint8_t DumpByte(const char* reply, int index) {
    char pair[3] = {reply[2 * index], reply[2 * index + 1], 0};
    return static_cast<uint8_t>(std::strtol(pair, nullptr, 16) & 0xFF);
}

}  // namespace quarnel
