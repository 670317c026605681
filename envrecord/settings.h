#pragma once

// One descriptor per named setting, in the order of the settings file: its
// section and name there, its kind, the main window's control that shows it,
// the entries of its list and the record bits and bytes it owns. The file
// format, the form transfer, the in-memory form, the window's lists and its
// data exchange all walk this table; a check box of the main window needs
// nothing but its line here, its control id and its line in the template.

#include <cstddef>
#include <cstdint>

#include "envrecord/env_layout.h"
#include "envrecord/setting_controls.h"

namespace quarnel {

enum class SettingKind : std::uint8_t {
    Address,   // dotted text, "192.168.1.50"
    Number,    // decimal integer 0-65535
    List,      // the text of a list entry
    Check,     // true or false
    Text,      // quoted text of at most `size` characters
    HexBytes,  // `size` bytes as hexadecimal text
};

// The entries of a drop-down list, in index order.
struct ListTexts {
    const char* const* texts;
    std::size_t count;
};

template <std::size_t N>
constexpr ListTexts Texts(const char* const (&texts)[N]) {
    return ListTexts{texts, N};
}

// The lists' entries: the window shows these texts, a file names them.
inline constexpr const char* MODE_TEXTS[] = {"T2S(0)", "ATC(1)", "COD(2)", "U2S(3)"};
inline constexpr const char* SERIAL_TYPE_TEXTS[] = {"RS-232", "RS-422", "RS-485"};
// The baud rates the list offers; BaudRateForIndex reads its rates from here.
inline constexpr const char* BAUD_TEXTS[] = {"1200",  "2400",  "4800",  "9600",  "14400",
                                             "19200", "38400", "57600", "115200"};
inline constexpr const char* PARITY_TEXTS[] = {"NONE", "EVEN", "ODD"};
inline constexpr const char* DATA_BITS_TEXTS[] = {"7", "8"};
inline constexpr const char* STOP_BITS_TEXTS[] = {"1Bit", "2Bit"};
inline constexpr const char* FLOW_CONTROL_TEXTS[] = {"NONE", "RTS/CTS"};
inline constexpr const char* WLAN_MODE_TEXTS[] = {"AD-HOC(0)", "Infrastructure(1)", "(2)", "(3)"};
inline constexpr const char* CHANNEL_TEXTS[] = {"0", "1", "2",  "3",  "4",  "5",  "6",  "7",
                                                "8", "9", "10", "11", "12", "13", "14", "15"};
inline constexpr const char* WEP_MODE_TEXTS[] = {"No WEP(0)", " 64bit(1)", "128bit(2)"};
inline constexpr const char* AUTH_MODE_TEXTS[] = {"Open System(0)", "Shared Key(1)"};
inline constexpr const char* WEP_KEY_ID_TEXTS[] = {"KEY0", "KEY1", "KEY2", "KEY3"};

struct SettingDescriptor {
    const char* section;
    const char* name;
    SettingKind kind;
    int size;     // Text: most characters; HexBytes: bytes
    int control;  // the main window's check box, list or address control; 0 for none
    ListTexts list;
    int listBase;                    // List: the record value of the first entry
    env_layout::BitField bits[2];    // the record bits it owns (width 0: none)
    env_layout::ByteField bytes[3];  // the record bytes it owns (size 0: none)
};

namespace setting_rows {

namespace L = env_layout;
using K = SettingKind;
constexpr L::BitField NO_BITS{0, 0, 0};
constexpr L::ByteField NO_BYTES{0, 0};

constexpr SettingDescriptor Row(const char* section, const char* name, K kind, int size, int control, ListTexts list,
                                L::BitField a, L::BitField b, L::ByteField x, L::ByteField y = NO_BYTES,
                                L::ByteField z = NO_BYTES) {
    return {section, name, kind, size, control, list, 0, {a, b}, {x, y, z}};
}
constexpr SettingDescriptor Address(const char* section, const char* name, int control, std::uint16_t offset) {
    return Row(section, name, K::Address, 0, control, {}, NO_BITS, NO_BITS, {offset, 4});
}
constexpr SettingDescriptor Number(const char* section, const char* name, L::ByteField field) {
    return Row(section, name, K::Number, 0, 0, {}, NO_BITS, NO_BITS, field);
}
constexpr SettingDescriptor Check(const char* section, const char* name, int control, L::BitField bits) {
    return Row(section, name, K::Check, 0, control, {}, bits, NO_BITS, NO_BYTES);
}
constexpr SettingDescriptor List(const char* section, const char* name, int control, ListTexts list, L::BitField bits,
                                 int listBase = 0) {
    SettingDescriptor d = Row(section, name, K::List, 0, control, list, bits, NO_BITS, NO_BYTES);
    d.listBase = listBase;
    return d;
}
// A list whose record value the form transfer works out itself (a byte, a rate, two flags).
constexpr SettingDescriptor ListOf(const char* section, const char* name, int control, ListTexts list, L::BitField a,
                                   L::BitField b, L::ByteField bytes) {
    return Row(section, name, K::List, 0, control, list, a, b, bytes);
}
constexpr SettingDescriptor Text(const char* section, const char* name, int size, L::ByteField x,
                                 L::ByteField y = NO_BYTES, L::ByteField z = NO_BYTES) {
    return Row(section, name, K::Text, size, 0, {}, NO_BITS, NO_BITS, x, y, z);
}
constexpr SettingDescriptor Hex(const char* section, const char* name, L::ByteField field) {
    return Row(section, name, K::HexBytes, field.size, 0, {}, NO_BITS, NO_BITS, field);
}

// In the order of the settings file.
inline constexpr SettingDescriptor SETTINGS[] = {
    Address("network", "local_ip", IDC_LOCAL_IP, L::LOCAL_IP),
    Address("network", "subnet_mask", IDC_SUBNET_MASK, L::SUBNET_MASK),
    Address("network", "gateway_ip", IDC_GATEWAY_IP, L::GATEWAY_IP),
    Address("network", "peer_ip", IDC_PEER_IP, L::PEER_IP),
    ListOf("mode", "tarvo_mode", IDC_MODE, Texts(MODE_TEXTS), NO_BITS, NO_BITS, {L::MODE, 1}),
    Number("mode", "local_port", {L::LOCAL_PORT, 2}),
    Number("mode", "timeout", {L::TIMEOUT, 2}),
    Number("mode", "water_mark", {L::WATER_MARK, 2}),
    Number("mode", "peer_port", {L::PEER_PORT, 2}),
    List("serial", "serial_type", IDC_SERIAL_TYPE, Texts(SERIAL_TYPE_TEXTS), L::SERIAL_TYPE),
    ListOf("serial", "baud_rate", IDC_BAUD_RATE, Texts(BAUD_TEXTS), NO_BITS, NO_BITS, {L::BAUD_RATE, 4}),
    List("serial", "parity", IDC_PARITY, Texts(PARITY_TEXTS), L::PARITY),
    List("serial", "data_bits", IDC_DATA_BITS, Texts(DATA_BITS_TEXTS), L::DATA_BITS, 7),
    List("serial", "stop_bits", IDC_STOP_BITS, Texts(STOP_BITS_TEXTS), L::STOP_BITS),
    ListOf("serial", "flow_control", IDC_FLOW_CONTROL, Texts(FLOW_CONTROL_TEXTS), L::RTS_CTS, L::XON_XOFF, NO_BYTES),
    List("wlan", "wlan_mode", IDC_WLAN_MODE, Texts(WLAN_MODE_TEXTS), L::WLAN_MODE),
    Text("wlan", "target_ssid", L::TEXT_MAX_CHARS, L::SSID),
    Text("wlan", "adhoc_master_ssid", L::TEXT_MAX_CHARS, L::ADHOC_SSID),
    List("wlan", "channel", IDC_CHANNEL, Texts(CHANNEL_TEXTS), L::CHANNEL),
    List("wlan", "wep", IDC_WEP_MODE, Texts(WEP_MODE_TEXTS), L::WEP_MODE),
    List("wlan", "authentication", IDC_AUTH_MODE, Texts(AUTH_MODE_TEXTS), L::AUTH_MODE),
    Check("options", "dhcp", IDC_DHCP, L::DHCP),
    Check("options", "arp", IDC_ARP, L::ARP),
    Check("options", "multi_conn", IDC_MULTI_CONN, L::MULTI_CONN),
    Check("options", "kivra", IDC_KIVRA, L::KIVRA),
    Check("options", "telnet", IDC_TELNET, L::TELNET),
    Check("options", "eapol", IDC_EAPOL, L::EAPOL),
    Check("options", "power_down", IDC_POWER_DOWN, L::POWER_DOWN),
    Check("options", "remote_search", IDC_REMOTE_SEARCH, L::REMOTE_SEARCH),
    Text("comment", "text", L::TEXT_MAX_CHARS, L::COMMENT),
    // The start-up options dialog's boxes (not the main window's).
    Check("startup", "adhoc_on_boot", 0, L::BOOT_ADHOC),
    Check("startup", "infrastructure_on_boot", 0, L::BOOT_INFRA),
    // The key in use, kept by both key dialogs.
    List("wep_keys", "key_id", 0, Texts(WEP_KEY_ID_TEXTS), L::WEP_KEY_ID),
    Hex("wep_keys", "wep64_key0", L::Wep64Key(0)),
    Hex("wep_keys", "wep64_key1", L::Wep64Key(1)),
    Hex("wep_keys", "wep64_key2", L::Wep64Key(2)),
    Hex("wep_keys", "wep64_key3", L::Wep64Key(3)),
    Hex("wep_keys", "wep128_key0", L::Wep128Key(0)),
    Hex("wep_keys", "wep128_key1", L::Wep128Key(1)),
    Hex("wep_keys", "wep128_key2", L::Wep128Key(2)),
    Hex("wep_keys", "wep128_key3", L::Wep128Key(3)),
    Text("eapol", "identity", L::TEXT_MAX_CHARS, L::EAPOL_IDENTITY_0_7, L::EAPOL_IDENTITY_8_15,
         L::EAPOL_IDENTITY_16_31),
    Text("eapol", "password", L::EAPOL_PASSWORD.size, L::EAPOL_PASSWORD),
    Hex("console", "password_field", L::PASSWORD_BLOCK),
};

}  // namespace setting_rows

using setting_rows::SETTINGS;

inline constexpr int SETTING_COUNT = static_cast<int>(sizeof SETTINGS / sizeof SETTINGS[0]);

constexpr bool SameName(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

// Index of the setting `name` (unique over all sections), or -1.
constexpr int SettingIndex(const char* name) {
    for (int i = 0; i < SETTING_COUNT; ++i) {
        if (SameName(SETTINGS[i].name, name)) return i;
    }
    return -1;
}

// The bits `d` owns in the record byte at `offset`.
constexpr unsigned OwnedMask(const SettingDescriptor& d, int offset) {
    unsigned mask = 0;
    for (const env_layout::BitField& f : d.bits) {
        const int byte = offset - f.word;
        if (f.width != 0 && byte >= 0 && byte < 4) mask |= (f.Mask() >> (8 * byte)) & 0xFFu;
    }
    for (const env_layout::ByteField& f : d.bytes) {
        if (offset >= f.offset && offset < f.offset + f.size) mask |= 0xFFu;
    }
    return mask;
}

// Whether `a` and `b` own a bit in common, looked for in the bytes `a` owns.
constexpr bool Overlap(const SettingDescriptor& a, const SettingDescriptor& b) {
    for (const env_layout::BitField& f : a.bits) {
        for (int i = 0; f.width != 0 && i < 4; ++i) {
            if (OwnedMask(a, f.word + i) & OwnedMask(b, f.word + i)) return true;
        }
    }
    for (const env_layout::ByteField& f : a.bytes) {
        for (int i = 0; i < f.size; ++i) {
            if (OwnedMask(b, f.offset + i) != 0) return true;
        }
    }
    return false;
}

// No two settings share a name, a control or a bit of the record.
constexpr bool SettingsKeepApart() {
    for (int i = 0; i < SETTING_COUNT; ++i) {
        for (int j = i + 1; j < SETTING_COUNT; ++j) {
            const SettingDescriptor& a = SETTINGS[i];
            const SettingDescriptor& b = SETTINGS[j];
            if (SameName(a.name, b.name) || (a.control != 0 && a.control == b.control) || Overlap(a, b)) return false;
        }
    }
    return true;
}
static_assert(SettingsKeepApart(), "a setting's name, control or record bits are another's too");

// A check box of the main window (the start-up dialog's boxes have no control here).
constexpr bool IsMainCheckBox(const SettingDescriptor& d) { return d.kind == SettingKind::Check && d.control != 0; }

constexpr int CountMainCheckBoxes() {
    int count = 0;
    for (const SettingDescriptor& d : SETTINGS) count += IsMainCheckBox(d) ? 1 : 0;
    return count;
}
inline constexpr int MAIN_CHECK_BOX_COUNT = CountMainCheckBoxes();

// The place of check box `controlId` among the main window's check boxes, or -1.
constexpr int CheckBoxSlot(int controlId) {
    int slot = 0;
    for (const SettingDescriptor& d : SETTINGS) {
        if (!IsMainCheckBox(d)) continue;
        if (d.control == controlId) return slot;
        ++slot;
    }
    return -1;
}

}  // namespace quarnel
