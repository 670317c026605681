#include "configfile/latin1_text.h"

#include <cstdio>

namespace quarnel {

bool Utf8ToLatin1(std::string_view utf8, std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        unsigned code = lead;
        if (lead >= 0x80) {
            // Only two-byte sequences reach 255: 0xC2 or 0xC3, then 0x80-0xBF.
            if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= utf8.size()) return false;
            const auto next = static_cast<unsigned char>(utf8[++i]);
            if ((next & 0xC0) != 0x80) return false;
            code = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
        }
        if (code == 0) return false;
        out.push_back(static_cast<char>(code));
    }
    bytes = out;
    return true;
}

std::string Latin1ToUtf8(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

bool IsUtf8(std::string_view text, int& line) {
    line = 1;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead == '\n') ++line;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // Sequence length and the lowest and highest second byte allowed.
        int length = 0;
        unsigned low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead >= 0xE0 && lead <= 0xEF)
            length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        else if (lead >= 0xF0 && lead <= 0xF4)
            length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        else
            return false;
        if (i + length > text.size()) return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (k == 1 ? (next < low || next > high) : (next & 0xC0) != 0x80) return false;
        }
        i += static_cast<std::size_t>(length);
    }
    return true;
}

std::string QuotedLatin1(std::string_view bytes) {
    std::string out = "\"";
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (b < 0x20 || b == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", b);
            out += escape;
        } else {
            out += Latin1ToUtf8(std::string_view(&c, 1));
        }
    }
    out.push_back('"');
    return out;
}

}  // namespace quarnel
