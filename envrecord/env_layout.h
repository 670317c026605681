#pragma once

// Where every interpreted field of the converter's 480-byte environment block
// lives. Offsets are record offsets (0-479), whichever region holds them;
// a bit field is `width` bits from bit `shift` of the little-endian 32-bit
// word at `word`. Anything not named here is reserved and travels back to the
// converter exactly as it came.

#include <cstdint>

namespace quarnel {
namespace env_layout {

struct BitField {
    std::uint16_t word;  // record offset of the 32-bit word
    std::uint8_t shift;  // lowest bit of the field
    std::uint8_t width;  // number of bits, 1-32

    constexpr std::uint32_t ValueMask() const { return width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u); }
    constexpr std::uint32_t Mask() const { return ValueMask() << shift; }
};

struct ByteField {
    std::uint16_t offset;  // record offset of the first byte
    std::uint16_t size;
};

// Regions, as the transfer operations receive them.
constexpr std::uint16_t RECORD_SIZE = 480;
constexpr std::uint16_t MAIN_BASE = 0;
constexpr std::uint16_t MAIN_SIZE = 128;
constexpr std::uint16_t WLAN_BASE = 128;
constexpr std::uint16_t WLAN_SIZE = 160;
constexpr std::uint16_t TAIL_BASE = 288;
constexpr std::uint16_t TAIL_SIZE = 192;

// ---- Main block, offsets 0-127 ---------------------------------------------
constexpr ByteField MAC_ADDRESS{4, 6};
constexpr std::uint16_t DEVICE_INFO = 28;
constexpr std::uint16_t OPTIONS = 32;
constexpr std::uint16_t LOCAL_IP = 36;
constexpr std::uint16_t SUBNET_MASK = 40;
constexpr std::uint16_t GATEWAY_IP = 44;
// The SSIDs, the comment and the EAPoL identity hold at most this many
// characters; a text that long fills its field with no terminator.
constexpr std::uint16_t TEXT_MAX_CHARS = 32;

// eapol_identity is one 32-byte name kept in three pieces, in name order:
constexpr ByteField EAPOL_IDENTITY_0_7{108, 8};
constexpr ByteField EAPOL_IDENTITY_8_15{64, 8};
constexpr ByteField EAPOL_IDENTITY_16_31{48, 16};
constexpr std::uint16_t EAPOL_IDENTITY_SIZE = TEXT_MAX_CHARS;
constexpr ByteField PASSWORD_BLOCK{72, 12};
constexpr std::uint16_t SERIAL_OPTIONS = 84;
constexpr std::uint16_t BAUD_RATE = 88;   // unsigned 32-bit
constexpr std::uint16_t TIMEOUT = 92;     // unsigned 16-bit
constexpr std::uint16_t MODE = 94;        // one byte
constexpr std::uint16_t WATER_MARK = 96;  // unsigned 16-bit
constexpr std::uint16_t PEER_IP = 100;
constexpr std::uint16_t PEER_PORT = 104;   // unsigned 16-bit
constexpr std::uint16_t LOCAL_PORT = 106;  // unsigned 16-bit
constexpr ByteField EAPOL_PASSWORD{116, 8};

// Offsets below this are read from the converter but never written back.
constexpr std::uint16_t FIRST_WRITTEN_OFFSET = 32;

// device_info (28): set by the converter, only read by the program.
constexpr BitField DEVICE_INFO_LOW{DEVICE_INFO, 0, 4};  // not interpreted; defaults put 1
constexpr BitField NO_EAPOL{DEVICE_INFO, 4, 1};
constexpr BitField HAS_XONXOFF{DEVICE_INFO, 5, 1};
constexpr BitField LONG_LIMITS{DEVICE_INFO, 6, 1};
constexpr BitField NO_DHCP{DEVICE_INFO, 7, 1};
constexpr BitField FW_MAJOR{DEVICE_INFO, 16, 3};
constexpr BitField MODEL_CODE{DEVICE_INFO, 19, 5};
constexpr BitField FW_REVISION{DEVICE_INFO, 24, 4};
constexpr BitField FW_MINOR{DEVICE_INFO, 28, 4};

// options (32).
constexpr BitField DHCP{OPTIONS, 0, 1};
constexpr BitField ARP{OPTIONS, 2, 1};
constexpr BitField SECURE{OPTIONS, 3, 1};
constexpr BitField KIVRA{OPTIONS, 4, 1};
constexpr BitField NO_TELNET{OPTIONS, 5, 1};
constexpr BitField OPTIONS_BIT6{OPTIONS, 6, 1};  // reserved; factory values clear it
constexpr BitField OPTIONS_BIT7{OPTIONS, 7, 1};  // reserved; factory values set it
constexpr BitField EAPOL{OPTIONS, 12, 2};
constexpr BitField HAS_PERMITTED_IP{OPTIONS, 14, 1};
constexpr BitField POWER_DOWN{OPTIONS, 15, 1};
constexpr BitField HAS_REMOTE_SEARCH{OPTIONS, 16, 1};
constexpr BitField REMOTE_SEARCH{OPTIONS, 17, 1};
constexpr BitField HAS_COMMENT{OPTIONS, 18, 1};
// Reserved bits 19, 22, 24 and 25, which the factory values clear.
constexpr std::uint32_t OPTIONS_FACTORY_CLEARED = (1u << 19) | (1u << 22) | (1u << 24) | (1u << 25);

// serial_options (84).
constexpr BitField PARITY{SERIAL_OPTIONS, 0, 2};
constexpr BitField DATA_BITS{SERIAL_OPTIONS, 2, 4};
constexpr BitField RTS_CTS{SERIAL_OPTIONS, 6, 1};
constexpr BitField XON_XOFF{SERIAL_OPTIONS, 7, 1};
constexpr BitField TELNET{SERIAL_OPTIONS, 8, 1};
constexpr BitField SERIAL_BIT10{SERIAL_OPTIONS, 10, 1};  // reserved; defaults set it
constexpr BitField SERIAL_BIT13{SERIAL_OPTIONS, 13, 1};  // reserved; defaults set it
constexpr BitField WLAN_CFG{SERIAL_OPTIONS, 15, 1};
constexpr BitField SERIAL_TYPE{SERIAL_OPTIONS, 16, 2};
constexpr BitField STOP_BITS{SERIAL_OPTIONS, 18, 2};
constexpr BitField MULTI_CONN{SERIAL_OPTIONS, 20, 1};

// ---- WLAN block, offsets 128-287 -------------------------------------------
constexpr std::uint16_t WLAN_OPTIONS = 128;
constexpr ByteField SSID{144, TEXT_MAX_CHARS};
constexpr ByteField ADHOC_SSID{176, TEXT_MAX_CHARS};
constexpr std::uint16_t WEP_KEY_COUNT = 4;
// Key i: WEP64_KEYS + i * WEP64_KEY_STRIDE, WEP64_KEY_SIZE key bytes, then a reserved byte.
constexpr std::uint16_t WEP64_KEYS = 208;
constexpr std::uint16_t WEP64_KEY_STRIDE = 6;
constexpr std::uint16_t WEP64_KEY_SIZE = 5;
constexpr std::uint16_t WEP128_KEYS = 232;
constexpr std::uint16_t WEP128_KEY_STRIDE = 14;
constexpr std::uint16_t WEP128_KEY_SIZE = 13;
constexpr ByteField Wep64Key(int i) {
    return {static_cast<std::uint16_t>(WEP64_KEYS + WEP64_KEY_STRIDE * i), WEP64_KEY_SIZE};
}
constexpr ByteField Wep128Key(int i) {
    return {static_cast<std::uint16_t>(WEP128_KEYS + WEP128_KEY_STRIDE * i), WEP128_KEY_SIZE};
}

// wlan_options (128).
constexpr BitField WLAN_MODE{WLAN_OPTIONS, 0, 4};
constexpr BitField CHANNEL{WLAN_OPTIONS, 4, 4};
constexpr BitField WEP_MODE{WLAN_OPTIONS, 8, 2};
constexpr BitField WEP_KEY_ID{WLAN_OPTIONS, 10, 2};
constexpr BitField BOOT_ADHOC{WLAN_OPTIONS, 12, 1};
constexpr BitField BOOT_INFRA{WLAN_OPTIONS, 13, 1};
constexpr BitField AUTH_MODE{WLAN_OPTIONS, 14, 2};

// ---- Tail block, offsets 288-479 -------------------------------------------
constexpr ByteField COMMENT{288, TEXT_MAX_CHARS};
constexpr ByteField TAIL_RESERVED_320{320, 32};  // factory values clear it

}  // namespace env_layout
}  // namespace quarnel
