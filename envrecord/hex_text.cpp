#include "envrecord/hex_text.h"

namespace quarnel {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string BytesToHex(const std::uint8_t* bytes, int count) {
    static const char DIGITS[] = "0123456789ABCDEF";
    std::string text;
    if (count <= 0) return text;
    text.reserve(static_cast<std::size_t>(count) * 2);
    for (int i = 0; i < count; ++i) {
        text.push_back(DIGITS[bytes[i] >> 4]);
        text.push_back(DIGITS[bytes[i] & 0x0F]);
    }
    return text;
}

bool HexToBytes(std::uint8_t* destination, int size, std::string_view text) {
    int pairs = static_cast<int>(text.size() / 2);
    if (pairs > size) pairs = size;
    // Check every pair first so a refused key leaves the slot as it was.
    for (int i = 0; i < pairs; ++i) {
        if (HexDigitValue(text[2 * i]) < 0 || HexDigitValue(text[2 * i + 1]) < 0) return false;
    }
    for (int i = 0; i < pairs; ++i) {
        destination[i] = static_cast<std::uint8_t>(HexDigitValue(text[2 * i]) << 4 | HexDigitValue(text[2 * i + 1]));
    }
    return true;
}

}  // namespace quarnel
