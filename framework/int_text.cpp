#include "framework/int_text.h"

#include <climits>
#include <cstdio>

namespace quarnel {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool ParseIntField(const char* text, int& value) {
    if (text == nullptr) return false;
    const char* p = text;
    while (IsBlank(*p)) ++p;

    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }

    // Wide enough for INT_MIN's magnitude; stops as soon as no int can hold it.
    long long magnitude = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
        ++digits;
        ++p;
    }
    if (digits == 0) return false;

    while (IsBlank(*p)) ++p;
    if (*p != '\0') return false;

    const long long result = negative ? -magnitude : magnitude;
    if (result > INT_MAX || result < INT_MIN) return false;
    value = static_cast<int>(result);
    return true;
}

char* FormatIntField(int value, char (&buf)[16]) {
    std::snprintf(buf, sizeof buf, "%d", value);
    return buf;
}

}  // namespace quarnel
