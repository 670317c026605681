#pragma once

// WEP keys travel between the record (raw bytes) and the key dialogs
// (hexadecimal text). The conversions are kept here, apart from any dialog.

#include <cstdint>
#include <string>
#include <string_view>

namespace quarnel {

// The value of one hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(char c);
inline bool IsHexDigit(char c) { return HexDigitValue(c) >= 0; }

// Two upper-case hexadecimal digits per byte, first byte first.
std::string BytesToHex(const std::uint8_t* bytes, int count);

// Stores one byte per pair of characters of `text`, at most `size` bytes.
// An odd last character is ignored; an empty text stores nothing, so the
// destination keeps its bytes. Returns false, storing nothing at all, when a
// pair that would be stored is not two hexadecimal digits: such a key would
// otherwise reach the converter as zero bytes unnoticed.
bool HexToBytes(std::uint8_t* destination, int size, std::string_view text);

}  // namespace quarnel
