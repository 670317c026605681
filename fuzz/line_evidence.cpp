#include "line_evidence.h"

#include <cstdio>
#include <cstring>

#include "envrecord/env_layout.h"

namespace quarnel_fuzz {

namespace {

constexpr int RECORD_BYTES = quarnel::env_layout::RECORD_SIZE;
constexpr int FIRST_WRITTEN = quarnel::env_layout::FIRST_WRITTEN_OFFSET;
constexpr int MONITOR_BASE = 32;  // monitor address of record byte 0

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte of the two hex digits at `at`, or -1.
int PairAt(const std::string& text, std::size_t at) {
    if (at + 2 > text.size()) return -1;
    const int high = HexValue(text[at]), low = HexValue(text[at + 1]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

bool TextAt(const std::string& text, std::size_t at, const char* expected) {
    return text.compare(at, std::strlen(expected), expected) == 0;
}

// `count` pieces "xx " from `at` carrying `bytes`, then the line end.
bool PairLineAt(const std::string& text, std::size_t at, const std::uint8_t* bytes, int count) {
    for (int i = 0; i < count; ++i, at += 3) {
        if (PairAt(text, at) != bytes[i] || !TextAt(text, at + 2, " ")) return false;
    }
    return TextAt(text, at, "\r\n");
}

bool ReplyCarries(const std::string& reply, const std::uint8_t* bytes, int count) {
    const std::size_t status = reply.find("701");
    if (status == std::string::npos) return false;
    for (std::size_t lineEnd = reply.find("\r\n", status); lineEnd != std::string::npos;
         lineEnd = reply.find("\r\n", lineEnd + 1)) {
        if (PairLineAt(reply, lineEnd + 2, bytes, count)) return true;
    }
    return false;
}

// A monitor read command "r aa nn\r": its first record byte and length.
bool ParseReadCommand(const std::string& command, int& offset, int& count) {
    unsigned address = 0, length = 0;
    int end = 0;
    if (std::sscanf(command.c_str(), "r %x %x\r%n", &address, &length, &end) != 2 ||
        end != static_cast<int>(command.size()))
        return false;
    offset = static_cast<int>(address) - MONITOR_BASE;
    count = static_cast<int>(length);
    return true;
}

// The record offset and bytes of a write command: "!w aa xx xx ...\r" at
// monitor addresses, or "WH aaa xxxx...\r" at record offsets.
bool ParseWriteCommand(const std::string& command, int& offset, std::vector<std::uint8_t>& bytes) {
    const bool monitor = TextAt(command, 0, "!w ");
    if (!monitor && !TextAt(command, 0, "WH ")) return false;
    if (command.empty() || command.back() != '\r') return false;
    unsigned address = 0;
    int end = 0;
    if (std::sscanf(command.c_str() + 3, monitor ? "%x%n" : "%3x %n", &address, &end) != 1) return false;
    offset = static_cast<int>(address) - (monitor ? MONITOR_BASE : 0);
    bytes.clear();
    std::size_t at = 3 + static_cast<std::size_t>(end);
    while (at < command.size() - 1) {
        if (monitor && command[at++] != ' ') return false;
        const int value = PairAt(command, at);
        if (value < 0) return false;
        bytes.push_back(static_cast<std::uint8_t>(value));
        at += 2;
    }
    return at == command.size() - 1;
}

}  // namespace

int DumpCommandIndex(const std::vector<std::string>& commands) {
    for (std::size_t k = 0; k < commands.size(); ++k)
        if (commands[k] == "RA 00\r") return static_cast<int>(k);
    return -1;
}

bool DumpHoldsRecord(const std::string& reply, const std::uint8_t* record) {
    for (int i = 0; i < RECORD_BYTES; ++i)
        if (PairAt(reply, 2 * static_cast<std::size_t>(i)) != record[i]) return false;
    return TextAt(reply, 2 * RECORD_BYTES, "\r\n");
}

bool MonitorRepliesHoldRecord(const std::vector<std::string>& commands, const std::vector<std::string>& replies,
                              const std::uint8_t* record) {
    int asked[RECORD_BYTES] = {};
    for (std::size_t k = 0; k < commands.size(); ++k) {
        int offset = 0, count = 0;
        if (!ParseReadCommand(commands[k], offset, count)) continue;
        if (offset < 0 || count < 1 || offset + count > RECORD_BYTES) return false;
        if (!ReplyCarries(replies[k], record + offset, count)) return false;
        for (int i = offset; i < offset + count; ++i) ++asked[i];
    }
    for (int i = 0; i < RECORD_BYTES; ++i)
        if (asked[i] != 1) return false;
    return true;
}

bool WritesCarryRecord(const std::vector<std::string>& commands, const std::uint8_t* record) {
    int carried[RECORD_BYTES] = {};
    std::vector<std::uint8_t> bytes;
    for (const std::string& command : commands) {
        int offset = 0;
        if (!ParseWriteCommand(command, offset, bytes)) continue;
        if (offset < FIRST_WRITTEN || offset + static_cast<int>(bytes.size()) > RECORD_BYTES) return false;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] != record[offset + static_cast<int>(i)]) return false;
            ++carried[offset + static_cast<int>(i)];
        }
    }
    for (int i = FIRST_WRITTEN; i < RECORD_BYTES; ++i)
        if (carried[i] != 1) return false;
    return true;
}

int BytesCarried(const std::vector<std::string>& commands) {
    int total = 0;
    std::vector<std::uint8_t> bytes;
    for (const std::string& command : commands) {
        int offset = 0;
        if (ParseWriteCommand(command, offset, bytes)) total += static_cast<int>(bytes.size());
    }
    return total;
}

}  // namespace quarnel_fuzz
