// What crossed the line, read without the engine's own parsers: the checks
// that a finished exchange did only what the converter's words allow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quarnel_fuzz {

// Where the shell dump ("RA 00") went out, or -1.
int DumpCommandIndex(const std::vector<std::string>& commands);

// The dump's reply starts with exactly the record as 960 hex digits, then
// the line end.
bool DumpHoldsRecord(const std::string& reply, const std::uint8_t* record);

// Every record byte was asked for by exactly one monitor read ("r aa nn"),
// and the reply to it holds, after a line with "701", a line of "xx " pairs
// carrying exactly those bytes.
bool MonitorRepliesHoldRecord(const std::vector<std::string>& commands, const std::vector<std::string>& replies,
                              const std::uint8_t* record);

// The write commands ("!w aa xx xx ..." or "WH aaa xxxx...") carried every
// written byte of the record exactly once and nothing else.
bool WritesCarryRecord(const std::vector<std::string>& commands, const std::uint8_t* record);

// How many bytes the write commands carried in all.
int BytesCarried(const std::vector<std::string>& commands);

}  // namespace quarnel_fuzz
