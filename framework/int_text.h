#pragma once

// The integer rule of the dialog data exchange: what an edit may hold to be
// taken as an int. No platform header: shared by the Win32 exchange and its
// native tests.

namespace quarnel {

// Parses `text` as an int: optional blanks (space, tab), an optional sign,
// one or more decimal digits, optional blanks, nothing else. A value that
// does not fit in an int is refused (the text is then not an integer).
// Returns false and leaves `value` untouched when the text does not convert.
bool ParseIntField(const char* text, int& value);

// The decimal text of `value` ("%d") in `buf`; returns `buf`.
char* FormatIntField(int value, char (&buf)[16]);

}  // namespace quarnel
