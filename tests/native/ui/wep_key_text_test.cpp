#include "ui/wep_key_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quarnel {
namespace {

using namespace std::string_literals;

TEST(WepKeyText, AsciiToHexIsUpperCaseAndUnsigned) {
    EXPECT_EQ(AsciiToHex(""), "");
    EXPECT_EQ(AsciiToHex("Az9"), "417A39");
    EXPECT_EQ(AsciiToHex("\xE9"), "E9");
    EXPECT_EQ(AsciiToHex("\x01\xFF\x80"s), "01FF80");
    EXPECT_EQ(AsciiToHex("a\0b"s), "610062");
}

TEST(WepKeyText, HexToAsciiReadsPairsAsStrtolDoes) {
    struct Case {
        std::string hex, ascii;
    };
    const Case cases[] = {
        {"414", "A"},  // trailing single digit dropped
        {"4", ""},
        {"", ""},
        {"E9", "\xE9"},
        {" 7", "\x07"},  // leading blank accepted
        {"+A", "\x0A"},  // leading sign accepted
        {"-1", "\xFF"},  // negative keeps its low 8 bits
        {"-F", "\xF1"},
        {"7G", "\x07"},  // stops at the first non-digit
        {"G7", "\0"s},   // no digit gives 0
        {"--", "\0"s},
        {"0x", "\0"s},
        {"4100", "A\0"s},  // a zero pair is a NUL character
        {"00414243", "\0ABC"s},
    };
    for (const Case& c : cases) EXPECT_EQ(HexToAscii(c.hex), c.ascii) << c.hex;
}

TEST(WepKeyText, HexCharacters) {
    EXPECT_TRUE(IsHexKeyText("0123456789abcdefABCDEF"));
    EXPECT_TRUE(IsHexKeyText(""));
    for (const char* text : {"G0", " 1", "+1", "0x", "1\xE9", "12 "}) EXPECT_FALSE(IsHexKeyText(text)) << text;
}

// Conversions and messages as the dialogs show them are tested on the real
// dialogs; here the rules those tests do not reach.
TEST(WepKeyText, RefusalOnOkChecksEveryLengthBeforeAnyCharacter) {
    const std::string good = "0123456789";
    struct Case {
        std::string keys[4];
        int format[4];
        std::string message;
    };
    const Case cases[] = {
        {{good, good, good, good}, {0, 0, 0, 0}, ""},
        {{good, "abcde", good, "12345"}, {0, 1, 0, 1}, ""},
        {{good, "123", good, "1"}, {0, 0, 0, 0}, "The WEP Key1 length is wrong!"},
        {{good, good, "abcdefghij", good}, {0, 0, 1, 0}, "The WEP Key2 length is wrong!"},
        {{good, "012345678Z", good, "123"}, {0, 0, 0, 0}, "The WEP Key3 length is wrong!"},
        {{good, good, "012345678Z", "0123 56789"}, {0, 0, 0, 0}, "The WEP64 Key2 is wrong!"},
        {{good, "zzzzz", good, good}, {0, 1, 0, 0}, ""},  // typed as characters: any byte goes
    };
    for (const Case& c : cases) EXPECT_EQ(RefuseKeysOnOk(WEP_KEY_64, c.keys, c.format), c.message);

    const std::string bad128 = "0123456789ABCDEF0123456789"s;
    const std::string keys[4] = {bad128, bad128, "-123456789ABCDEF0123456789", bad128};
    const int format[4] = {0, 0, 0, 0};
    EXPECT_EQ(RefuseKeysOnOk(WEP_KEY_128, keys, format), "The WEP128 Key2 is wrong!");
}

}  // namespace
}  // namespace quarnel
