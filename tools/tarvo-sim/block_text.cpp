#include "block_text.h"

#include "converter_model.h"

#include <cctype>
#include <cstring>

namespace tarvosim {

namespace {

void PutLe32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutIp(uint8_t* at, int a, int b, int c, int d) {
    at[0] = static_cast<uint8_t>(a);
    at[1] = static_cast<uint8_t>(b);
    at[2] = static_cast<uint8_t>(c);
    at[3] = static_cast<uint8_t>(d);
}

void PutText(uint8_t* at, const char* text) { std::memcpy(at, text, std::strlen(text)); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string FormatBlockHex(const uint8_t* block) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * BLOCK_SIZE);
    for (int i = 0; i < BLOCK_SIZE; ++i) {
        text.push_back(digits[block[i] >> 4]);
        text.push_back(digits[block[i] & 15]);
    }
    return text;
}

bool ParseBlockHex(const std::string& text, uint8_t* block) {
    uint8_t parsed[BLOCK_SIZE];
    int count = 0;
    int high = -1;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) continue;
        int value = HexValue(c);
        if (value < 0 || count == BLOCK_SIZE) return false;
        if (high < 0) {
            high = value;
        } else {
            parsed[count++] = static_cast<uint8_t>(high * 16 + value);
            high = -1;
        }
    }
    if (count != BLOCK_SIZE || high >= 0) return false;
    std::memcpy(block, parsed, BLOCK_SIZE);
    return true;
}

void FillRealisticBlock(uint8_t* block) {
    std::memset(block, 0, BLOCK_SIZE);
    const uint8_t mac[6] = {0x02, 0x1F, 0xA0, 0x00, 0x0B, 0xFF};
    std::memcpy(block + 4, mac, sizeof mac);
    // device_info: bits 0-3 = 1, XON/XOFF and long limits offered,
    // fw_major 2, model_code 9, fw_revision 1 ('B'), fw_minor 5.
    PutLe32(block + 28, 1u | 1u << 5 | 1u << 6 | 2u << 16 | 9u << 19 | 1u << 24 | 5u << 28);
    // options: arp, kivra, bit 7, has_permitted_ip, has_remote_search, has_comment.
    PutLe32(block + 32, 1u << 2 | 1u << 4 | 1u << 7 | 1u << 14 | 1u << 16 | 1u << 18);
    PutIp(block + 36, 192, 168, 1, 50);
    PutIp(block + 40, 255, 255, 255, 0);
    PutIp(block + 44, 192, 168, 1, 1);
    // serial_options: 8 data bits, telnet, reserved bits 10 and 13, wlan_cfg.
    PutLe32(block + 84, 8u << 2 | 1u << 8 | 1u << 10 | 1u << 13 | 1u << 15);
    PutLe32(block + 88, 115200);
    block[96] = 1;      // water_mark
    block[106] = 0xBE;  // local_port 1470
    block[107] = 0x05;
    PutLe32(block + 128, 1u | 6u << 4);  // Infrastructure, channel 6
    PutText(block + 144, "TARVO-NET");
    PutText(block + 176, "tarvo-adhoc");
    PutText(block + 288, "Line 4 converter");
    // Reserved bytes the program must hand back untouched.
    for (int i = 0; i < 16; ++i) block[400 + i] = static_cast<uint8_t>(0xA5 ^ (i * 0x11));
}

}  // namespace tarvosim
