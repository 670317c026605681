#pragma once

// Texts of the converter's fields are bytes; a configuration file is UTF-8.
// Each byte 1-255 stands for the character of the same number (Latin-1), so
// every text a converter holds can be written and read back unchanged.

#include <string>
#include <string_view>

namespace quarnel {

// UTF-8 to bytes; false for invalid UTF-8, a zero character or a character
// above 255.
bool Utf8ToLatin1(std::string_view utf8, std::string& bytes);

std::string Latin1ToUtf8(std::string_view bytes);

// Whether the text is well-formed UTF-8 (any character, no overlong forms or
// surrogates). Where it fails, `line` (counted from 1) is where.
bool IsUtf8(std::string_view text, int& line);

// The bytes as a TOML basic string, quotes included: control characters,
// quotes and backslashes escaped, everything else as UTF-8.
std::string QuotedLatin1(std::string_view bytes);

}  // namespace quarnel
