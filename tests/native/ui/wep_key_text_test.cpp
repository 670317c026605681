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

TEST(WepKeyText, PrintableKeyRoundTrip) {
    const std::string hex = "48656c6c6f2c20576f726c6421";  // 13 bytes, lower-case digits
    const std::string ascii = HexToAscii(hex);
    EXPECT_EQ(ascii, "Hello, World!");
    EXPECT_EQ(AsciiToHex(ascii), "48656C6C6F2C20576F726C6421");
}

TEST(WepKeyText, HexToAsciiReadsPairsAsStrtolDoes) {
    struct Case { std::string hex, ascii; };
    const Case cases[] = {
        {"414", "A"},             // trailing single digit dropped
        {"4", ""},
        {"", ""},
        {"E9", "\xE9"},
        {" 7", "\x07"},           // leading blank accepted
        {"+A", "\x0A"},           // leading sign accepted
        {"-1", "\xFF"},           // negative keeps its low 8 bits
        {"-F", "\xF1"},
        {"7G", "\x07"},           // stops at the first non-digit
        {"G7", "\0"s},            // no digit gives 0
        {"--", "\0"s},
        {"0x", "\0"s},
        {"4100", "A\0"s},         // a zero pair is a NUL character
        {"00414243", "\0ABC"s},
    };
    for (const Case& c : cases) EXPECT_EQ(HexToAscii(c.hex), c.ascii) << c.hex;
}

TEST(WepKeyText, ZeroKeyShowsNothingInAscii) {
    const std::string ascii = HexToAscii(WEP_KEY_128.ZeroText());
    EXPECT_EQ(ascii, std::string(13, '\0'));
    EXPECT_EQ(VisibleText(ascii), "");
    EXPECT_EQ(VisibleText("AB\0CD"s), "AB");
    EXPECT_EQ(VisibleText("ABCD"), "ABCD");
}

TEST(WepKeyText, KeySizes) {
    struct Case { const WepKeySize& size; int hex, ascii; const char* zero; };
    const Case cases[] = {
        {WEP_KEY_64, 10, 5, "0000000000"},
        {WEP_KEY_128, 26, 13, "00000000000000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size.bits);
        EXPECT_EQ(c.size.ZeroText(), c.zero);
        EXPECT_TRUE(CheckKeyLength(c.size, std::string(c.hex, 'A'), WEP_FORMAT_HEX));
        EXPECT_FALSE(CheckKeyLength(c.size, std::string(c.hex - 1, 'A'), WEP_FORMAT_HEX));
        EXPECT_FALSE(CheckKeyLength(c.size, std::string(c.ascii, 'A'), WEP_FORMAT_HEX));
        EXPECT_TRUE(CheckKeyLength(c.size, std::string(c.ascii, 'A'), WEP_FORMAT_ASCII));
        EXPECT_FALSE(CheckKeyLength(c.size, std::string(c.ascii + 1, 'A'), WEP_FORMAT_ASCII));
        EXPECT_FALSE(CheckKeyLength(c.size, "", WEP_FORMAT_ASCII));
    }
}

TEST(WepKeyText, ConvertKeyFormat) {
    struct Case { const WepKeySize& size; std::string text; int format; std::string result; };
    const Case cases[] = {
        {WEP_KEY_128, "", WEP_FORMAT_HEX, std::string(26, '0')},
        {WEP_KEY_64, "", WEP_FORMAT_HEX, std::string(10, '0')},
        {WEP_KEY_64, "", WEP_FORMAT_ASCII, ""},
        {WEP_KEY_64, "abcde", WEP_FORMAT_HEX, "6162636465"},
        {WEP_KEY_64, "6162636465", WEP_FORMAT_ASCII, "abcde"},
        {WEP_KEY_64, "0000000000", WEP_FORMAT_ASCII, std::string(5, '\0')},
        {WEP_KEY_64, "abcde", 2, "abcde"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertKeyFormat(c.size, c.text, c.format), c.result) << c.text << " to " << c.format;
}

TEST(WepKeyText, HexCharacters) {
    EXPECT_TRUE(IsHexKeyText("0123456789abcdefABCDEF"));
    EXPECT_TRUE(IsHexKeyText(""));
    for (const char* text : {"G0", " 1", "+1", "0x", "1\xE9", "12 "}) EXPECT_FALSE(IsHexKeyText(text)) << text;
}

TEST(WepKeyText, Messages) {
    EXPECT_EQ(KeyLengthMessage(0), "The WEP Key0 length is wrong!");
    EXPECT_EQ(KeyLengthMessage(3), "The WEP Key3 length is wrong!");
    EXPECT_EQ(WrongKeyMessage(WEP_KEY_64, 2), "The WEP64 Key2 is wrong!");
    EXPECT_EQ(WrongKeyMessage(WEP_KEY_128, 1), "The WEP128 Key1 is wrong!");
}

TEST(WepKeyText, RefusalOnOk) {
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
