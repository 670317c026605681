#pragma once

// The TOML library (toml++ 3.3.0) asks whether a character outside ASCII
// is a space by a table that ends in "unreachable" for most of U+00A1 to
// U+0499: undefined behaviour on a file a user can type. It asks only where
// a space may stand: outside quoted text and comments, in a multi-line
// basic string right after a backslash and the blanks and line ends that
// follow one, and in a value starting with a digit or sign, which it scans
// ahead to its end across any quote ('x = 0"é'). This check finds such a character before the library sees
// the text; everywhere else a character outside ASCII is the library's to
// judge.

#include <string>
#include <string_view>

namespace quarnel {

// False with the line (from 1) and the reason of the first character
// outside ASCII where the library would ask whether it is a space.
bool CheckTomlCharacters(std::string_view text, int& line, std::string& reason);

}  // namespace quarnel
