#pragma once

// Text rules of the WEP key dialogs. Outside the dialogs a key is always hex
// text (two upper-case digits per key byte); inside, a key may be shown as
// the characters themselves. One set of rules serves both key sizes.

#include <string>
#include <string_view>

namespace quarnel {

// Selection indexes of a key's format combo.
constexpr int WEP_FORMAT_HEX = 0;
constexpr int WEP_FORMAT_ASCII = 1;

constexpr int WEP_KEY_COUNT = 4;

struct WepKeySize {
    int bits;                    // 64 or 128
    int hexDigits;               // key length in HEX format
    int asciiChars;              // key length in ASCII format
    const char* wrongKeyFormat;  // printf format of the "key is wrong" message, %d = key 0-3

    // What an emptied key becomes when switched to HEX.
    std::string ZeroText() const { return std::string(static_cast<std::size_t>(hexDigits), '0'); }
};

constexpr WepKeySize WEP_KEY_64 = {64, 10, 5, "The WEP64 Key%d is wrong!"};
constexpr WepKeySize WEP_KEY_128 = {128, 26, 13, "The WEP128 Key%d is wrong!"};

// "%02X" per byte, bytes taken as unsigned.
std::string AsciiToHex(std::string_view text);

// One character per pair of characters, each pair read as strtol reads it in
// base 16 (leading blank or sign accepted, stops at the first non-digit, no
// digit gives 0), low 8 bits kept. A trailing single character is dropped.
// A pair worth 0 yields a NUL character inside the result; an edit shows the
// text only up to there (see VisibleText).
std::string HexToAscii(std::string_view text);

// The part of a text an edit control shows: everything before the first NUL.
std::string VisibleText(std::string_view text);

// Whether a key's text has the length its format requires: hexDigits in HEX
// format, asciiChars in any other.
bool CheckKeyLength(const WepKeySize& size, std::string_view keyText, int format);

// A key's text after its format combo switched to `format`: to HEX, an empty
// text becomes the zero text and any other its AsciiToHex; to ASCII, the
// HexToAscii of the text (NULs included); any other format leaves it as is.
std::string ConvertKeyFormat(const WepKeySize& size, std::string_view keyText, int format);

// True when every character is a hexadecimal digit (either case).
bool IsHexKeyText(std::string_view text);

// "The WEP Key<index> length is wrong!" for key 0-3.
std::string KeyLengthMessage(int keyIndex);

// "The WEP64 Key<index> is wrong!" or "The WEP128 Key<index> is wrong!".
std::string WrongKeyMessage(const WepKeySize& size, int keyIndex);

// What OK must refuse, as the message to show, or an empty text when all four
// keys may be stored. First the lengths of keys 0-3 in order, then the
// characters of the keys in HEX format; only the first fault is reported.
std::string RefuseKeysOnOk(const WepKeySize& size, const std::string (&keyText)[WEP_KEY_COUNT],
                           const int (&format)[WEP_KEY_COUNT]);

}  // namespace quarnel
