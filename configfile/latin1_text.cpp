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
