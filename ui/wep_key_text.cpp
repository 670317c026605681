#include "ui/wep_key_text.h"

#include <cstdio>
#include <cstdlib>

#include "envrecord/hex_text.h"

namespace quarnel {

std::string AsciiToHex(std::string_view text) {
    static const char HEX_DIGITS[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(text.size() * 2);
    for (char c : text) {
        const unsigned byte = static_cast<unsigned char>(c);
        hex += HEX_DIGITS[byte >> 4];
        hex += HEX_DIGITS[byte & 0x0F];
    }
    return hex;
}

std::string HexToAscii(std::string_view text) {
    std::string ascii;
    ascii.reserve(text.size() / 2);
    for (std::size_t i = 0; 2 * i + 1 < text.size(); ++i) {
        const char pair[3] = {text[2 * i], text[2 * i + 1], '\0'};
        const long value = std::strtol(pair, nullptr, 16);
        ascii += static_cast<char>(static_cast<unsigned long>(value) & 0xFFu);
    }
    return ascii;
}

std::string VisibleText(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

bool CheckKeyLength(const WepKeySize& size, std::string_view keyText, int format) {
    const int required = format == WEP_FORMAT_HEX ? size.hexDigits : size.asciiChars;
    return keyText.size() == static_cast<std::size_t>(required);
}

std::string ConvertKeyFormat(const WepKeySize& size, std::string_view keyText, int format) {
    if (format == WEP_FORMAT_HEX) return keyText.empty() ? size.ZeroText() : AsciiToHex(keyText);
    if (format == WEP_FORMAT_ASCII) return HexToAscii(keyText);
    return std::string(keyText);
}

bool IsHexKeyText(std::string_view text) {
    for (char c : text) {
        if (!IsHexDigit(c)) return false;
    }
    return true;
}

std::string KeyLengthMessage(int keyIndex) {
    char text[48];
    std::snprintf(text, sizeof text, "The WEP Key%d length is wrong!", keyIndex);
    return text;
}

std::string WrongKeyMessage(const WepKeySize& size, int keyIndex) {
    char text[48];
    std::snprintf(text, sizeof text, size.wrongKeyFormat, keyIndex);
    return text;
}

std::string RefuseKeysOnOk(const WepKeySize& size, const std::string (&keyText)[WEP_KEY_COUNT],
                           const int (&format)[WEP_KEY_COUNT]) {
    for (int key = 0; key < WEP_KEY_COUNT; ++key) {
        if (!CheckKeyLength(size, keyText[key], format[key])) return KeyLengthMessage(key);
    }
    // Keys typed as ASCII always become valid hex; only typed hex can be wrong.
    for (int key = 0; key < WEP_KEY_COUNT; ++key) {
        if (format[key] == WEP_FORMAT_HEX && !IsHexKeyText(keyText[key])) {
            return WrongKeyMessage(size, key);
        }
    }
    return std::string();
}

}  // namespace quarnel
