#include "configfile/setting_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "configfile/latin1_text.h"
#include "envrecord/field_limits.h"
#include "envrecord/hex_text.h"
#include "resources/combo_lists.h"
#include "resources/resource.h"

namespace quarnel {

namespace L = env_layout;

namespace {

// Setting indexes, in file order; SETTINGS below follows it row by row.
enum : int {
    LOCAL_IP, SUBNET_MASK, GATEWAY_IP, PEER_IP,
    TARVO_MODE, LOCAL_PORT, TIMEOUT, WATER_MARK, PEER_PORT,
    SERIAL_TYPE, BAUD_RATE, PARITY, DATA_BITS, STOP_BITS, FLOW_CONTROL,
    WLAN_MODE, TARGET_SSID, ADHOC_SSID, CHANNEL, WEP, AUTHENTICATION,
    DHCP, ARP, MULTI_CONN, KIVRA, TELNET, EAPOL, POWER_DOWN, REMOTE_SEARCH,
    COMMENT,
    ADHOC_ON_BOOT, INFRA_ON_BOOT,
    KEY_ID, WEP64_KEY0, WEP64_KEY3 = WEP64_KEY0 + 3, WEP128_KEY0, WEP128_KEY3 = WEP128_KEY0 + 3,
    EAPOL_IDENTITY, EAPOL_PASSWORD,
    PASSWORD_FIELD,
    COUNT
};


// The record bits a setting owns: up to two bit fields and three byte runs.
struct Owned {
    L::BitField bits[2];
    L::ByteField bytes[3];
};

constexpr L::BitField NO_BITS{0, 0, 0};
constexpr L::ByteField NO_BYTES{0, 0};

constexpr Owned Bits(L::BitField a, L::BitField b = NO_BITS) { return {{a, b}, {NO_BYTES, NO_BYTES, NO_BYTES}}; }
constexpr Owned Bytes(L::ByteField a, L::ByteField b = NO_BYTES, L::ByteField c = NO_BYTES) {
    return {{NO_BITS, NO_BITS}, {a, b, c}};
}

using K = SettingKind;

const Owned OWNED[] = {
    Bytes({L::LOCAL_IP, 4}), Bytes({L::SUBNET_MASK, 4}), Bytes({L::GATEWAY_IP, 4}), Bytes({L::PEER_IP, 4}),
    Bytes({L::MODE, 1}), Bytes({L::LOCAL_PORT, 2}), Bytes({L::TIMEOUT, 2}), Bytes({L::WATER_MARK, 2}),
    Bytes({L::PEER_PORT, 2}),
    Bits(L::SERIAL_TYPE), Bytes({L::BAUD_RATE, 4}), Bits(L::PARITY), Bits(L::DATA_BITS), Bits(L::STOP_BITS),
    Bits(L::RTS_CTS, L::XON_XOFF),
    Bits(L::WLAN_MODE), Bytes(L::SSID), Bytes(L::ADHOC_SSID), Bits(L::CHANNEL), Bits(L::WEP_MODE),
    Bits(L::AUTH_MODE),
    Bits(L::DHCP), Bits(L::ARP), Bits(L::MULTI_CONN), Bits(L::KIVRA), Bits(L::TELNET), Bits(L::EAPOL),
    Bits(L::POWER_DOWN), Bits(L::REMOTE_SEARCH),
    Bytes(L::COMMENT),
    Bits(L::BOOT_ADHOC), Bits(L::BOOT_INFRA),
    Bits(L::WEP_KEY_ID), Bytes(L::Wep64Key(0)), Bytes(L::Wep64Key(1)), Bytes(L::Wep64Key(2)), Bytes(L::Wep64Key(3)),
    Bytes(L::Wep128Key(0)), Bytes(L::Wep128Key(1)), Bytes(L::Wep128Key(2)), Bytes(L::Wep128Key(3)),
    Bytes(L::EAPOL_IDENTITY_0_7, L::EAPOL_IDENTITY_8_15, L::EAPOL_IDENTITY_16_31), Bytes(L::EAPOL_PASSWORD),
    Bytes(L::PASSWORD_BLOCK),
};
static_assert(sizeof OWNED / sizeof OWNED[0] == COUNT, "one owner row per setting");

bool IsListOfKeyIds(int setting) { return setting == KEY_ID; }

// The entries the window offers for a list setting, in index order.
std::vector<std::string> ListEntries(int setting) {
    const ComboItems items = IsListOfKeyIds(setting) ? FindComboItems(IDD_WEP64_KEYS, IDC_WEP64_ID)
                                                     : FindComboItems(IDD_CONFIG, SETTINGS[setting].control);
    std::vector<std::string> entries(items.texts, items.texts + items.count);
    if (setting == FLOW_CONTROL) entries.emplace_back(FLOW_XON_XOFF_TEXT);
    return entries;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string Quoted(std::string_view text) { return "\"" + MessageExcerpt(text) + "\""; }

std::string ChoicesText(int setting) {
    std::string out;
    for (const std::string& entry : ListEntries(setting)) {
        if (!out.empty()) out += ", ";
        out += Quoted(Trimmed(entry));
    }
    return out;
}

const char* TypeName(const RawValue& raw) {
    switch (raw.type) {
    case RawValue::TEXT: return "text";
    case RawValue::INTEGER: return "a number";
    case RawValue::BOOLEAN: return "true/false";
    case RawValue::OTHER: break;
    }
    return raw.typeName;
}

std::string Expected(int setting) {
    const SettingDef& def = SETTINGS[setting];
    switch (def.kind) {
    case K::Address: return "an address in quotes, such as \"192.168.1.50\"";
    case K::Number: return "a number";
    case K::List: return "one of " + ChoicesText(setting);
    case K::Check: return "true or false";
    case K::Text: return "text in quotes";
    case K::HexBytes: return std::to_string(def.size * 2) + " hexadecimal digits in quotes";
    }
    return "";
}

bool WrongType(int setting, const RawValue& raw, std::string& reason) {
    reason = "expects " + Expected(setting) + ", not " + TypeName(raw);
    return false;
}

bool ParseDecimal(std::string_view text, std::int64_t& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 12) return false;
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

bool ParseDottedAddress(std::string_view text, std::int64_t& address) {
    std::uint32_t value = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.') return false;
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        unsigned number = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && digits < 4) {
            number = number * 10 + static_cast<unsigned>(text[digits] - '0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || number > 255) return false;
        text.remove_prefix(digits);
        value = value << 8 | number;
    }
    if (!text.empty()) return false;
    address = value;
    return true;
}

std::string DottedAddress(std::uint32_t a) {
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", a >> 24, (a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF);
    return text;
}

bool ParseHexBytes(std::string_view text, int size, std::string& bytes) {
    if (text.size() != static_cast<std::size_t>(size) * 2) return false;
    std::uint8_t out[L::RECORD_SIZE];
    if (!HexToBytes(out, size, text)) return false;
    bytes.assign(reinterpret_cast<const char*>(out), static_cast<std::size_t>(size));
    return true;
}

std::string HexOf(const std::string& bytes) {
    return BytesToHex(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
}

// The form's int for a number or a check box.
int* IntSlot(int setting, const FormContext& form) {
    FormFields& f = form.fields;
    switch (setting) {
    case LOCAL_PORT: return &f.localPort;
    case TIMEOUT: return &f.timeoutValue;
    case WATER_MARK: return &f.waterMark;
    case PEER_PORT: return &f.peerPort;
    case DHCP: return &f.dhcpEnabled;
    case ARP: return &f.arpEnabled;
    case MULTI_CONN: return &f.multiConn;
    case KIVRA: return &f.kivraEnabled;
    case TELNET: return &f.telnetEnabled;
    case EAPOL: return &f.eapolEnabled;
    case POWER_DOWN: return &f.powerDown;
    case REMOTE_SEARCH: return &f.remoteSearch;
    case ADHOC_ON_BOOT: return &form.startup.adHocOnBoot;
    case INFRA_ON_BOOT: return &form.startup.infrastructureOnBoot;
    default: return nullptr;
    }
}

std::string* StringSlot(int setting, const FormContext& form) {
    switch (setting) {
    case TARGET_SSID: return &form.fields.targetSsid;
    case ADHOC_SSID: return &form.fields.adhocSsid;
    case COMMENT: return &form.fields.commentText;
    default: return nullptr;
    }
}

// The zero-terminated EAPoL buffers: the buffer and the most characters.
char* EapBuffer(int setting, const FormContext& form, std::size_t& size, int& chars) {
    if (setting == EAPOL_IDENTITY) {
        size = sizeof form.eapUserName;
        chars = L::TEXT_MAX_CHARS;
        return form.eapUserName;
    }
    size = sizeof form.eapPassword;
    chars = L::EAPOL_PASSWORD.size;
    return form.eapPassword;
}

std::string& KeyText(int setting, const FormContext& form) {
    if (setting <= WEP64_KEY3) return form.wep64.keyText[setting - WEP64_KEY0];
    return form.wep128.keyText[setting - WEP128_KEY0];
}

// Visits the record bytes a setting owns, with the mask of its bits in each.
template <typename Visit>
void ForOwnedBytes(int setting, Visit visit) {
    const Owned& owned = OWNED[setting];
    for (const L::BitField& f : owned.bits) {
        if (f.width == 0) continue;
        const std::uint32_t mask = f.Mask();
        for (int i = 0; i < 4; ++i) {
            const auto byteMask = static_cast<std::uint8_t>(mask >> (8 * i));
            if (byteMask) visit(f.word + i, byteMask);
        }
    }
    for (const L::ByteField& f : owned.bytes) {
        for (int i = 0; i < f.size; ++i) visit(f.offset + i, std::uint8_t{0xFF});
    }
}

}  // namespace

const SettingDef SETTINGS[] = {
    {"network", "local_ip", K::Address, 0, CTL_LOCAL_IP},
    {"network", "subnet_mask", K::Address, 0, CTL_SUBNET_MASK},
    {"network", "gateway_ip", K::Address, 0, CTL_GATEWAY_IP},
    {"network", "peer_ip", K::Address, 0, CTL_PEER_IP},
    {"mode", "tarvo_mode", K::List, 0, CTL_MODE_LIST},
    {"mode", "local_port", K::Number, 0, 0},
    {"mode", "timeout", K::Number, 0, 0},
    {"mode", "water_mark", K::Number, 0, 0},
    {"mode", "peer_port", K::Number, 0, 0},
    {"serial", "serial_type", K::List, 0, CTL_SERIAL_TYPE_LIST},
    {"serial", "baud_rate", K::List, 0, CTL_BAUD_LIST},
    {"serial", "parity", K::List, 0, CTL_PARITY_LIST},
    {"serial", "data_bits", K::List, 0, CTL_DATA_BITS_LIST},
    {"serial", "stop_bits", K::List, 0, CTL_STOP_BIT_LIST},
    {"serial", "flow_control", K::List, 0, CTL_FLOW_CONTROL_LIST},
    {"wlan", "wlan_mode", K::List, 0, CTL_WLAN_MODE_LIST},
    {"wlan", "target_ssid", K::Text, L::TEXT_MAX_CHARS, 0},
    {"wlan", "adhoc_master_ssid", K::Text, L::TEXT_MAX_CHARS, 0},
    {"wlan", "channel", K::List, 0, CTL_CHANNEL_LIST},
    {"wlan", "wep", K::List, 0, CTL_WEP_LIST},
    {"wlan", "authentication", K::List, 0, CTL_AUTH_MODE_LIST},
    {"options", "dhcp", K::Check, 0, 0},
    {"options", "arp", K::Check, 0, 0},
    {"options", "multi_conn", K::Check, 0, 0},
    {"options", "kivra", K::Check, 0, 0},
    {"options", "telnet", K::Check, 0, 0},
    {"options", "eapol", K::Check, 0, 0},
    {"options", "power_down", K::Check, 0, 0},
    {"options", "remote_search", K::Check, 0, 0},
    {"comment", "text", K::Text, L::TEXT_MAX_CHARS, 0},
    {"startup", "adhoc_on_boot", K::Check, 0, 0},
    {"startup", "infrastructure_on_boot", K::Check, 0, 0},
    {"wep_keys", "key_id", K::List, 0, 0},
    {"wep_keys", "wep64_key0", K::HexBytes, L::WEP64_KEY_SIZE, 0},
    {"wep_keys", "wep64_key1", K::HexBytes, L::WEP64_KEY_SIZE, 0},
    {"wep_keys", "wep64_key2", K::HexBytes, L::WEP64_KEY_SIZE, 0},
    {"wep_keys", "wep64_key3", K::HexBytes, L::WEP64_KEY_SIZE, 0},
    {"wep_keys", "wep128_key0", K::HexBytes, L::WEP128_KEY_SIZE, 0},
    {"wep_keys", "wep128_key1", K::HexBytes, L::WEP128_KEY_SIZE, 0},
    {"wep_keys", "wep128_key2", K::HexBytes, L::WEP128_KEY_SIZE, 0},
    {"wep_keys", "wep128_key3", K::HexBytes, L::WEP128_KEY_SIZE, 0},
    {"eapol", "identity", K::Text, L::TEXT_MAX_CHARS, 0},
    {"eapol", "password", K::Text, L::EAPOL_PASSWORD.size, 0},
    {"console", "password_field", K::HexBytes, L::PASSWORD_BLOCK.size, 0},
};
const int SETTING_COUNT = COUNT;
static_assert(sizeof SETTINGS / sizeof SETTINGS[0] == COUNT, "one row per setting");

std::string SettingName(int index) {
    if (index < 0 || index >= COUNT) return "?";
    return std::string(SETTINGS[index].section) + "." + SETTINGS[index].name;
}

int FindSetting(std::string_view section, std::string_view name) {
    for (int i = 0; i < COUNT; ++i) {
        if (section == SETTINGS[i].section && name == SETTINGS[i].name) return i;
    }
    return -1;
}

int FindSettingNamed(std::string_view name, std::string& reason) {
    const std::size_t dot = name.find('.');
    const std::string_view section = name.substr(0, dot);
    const int setting = dot == std::string_view::npos ? -1 : FindSetting(section, name.substr(dot + 1));
    if (setting >= 0) return setting;
    const std::string sectionText(section);
    // A file's [about] says which converter it came from; a value to set it is not.
    if (section == "about")
        reason = "[about] is informational (which converter a file was saved from) and cannot be set";
    else
        reason = IsSection(section) ? "unknown setting; [" + sectionText + "] holds " + NamesInSection(section)
                                    : "unknown section [" + MessageExcerpt(sectionText) + "]";
    return -1;
}

std::string MessageExcerpt(std::string_view text) {
    constexpr std::size_t kMostCharacters = 40;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A UTF-8 sequence is cut before its first byte only.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++characters > kMostCharacters) return std::string(text.substr(0, i)) + "...";
    }
    return std::string(text);
}

bool IsSection(std::string_view section) {
    return std::any_of(SETTINGS, SETTINGS + COUNT, [&](const SettingDef& d) { return section == d.section; });
}

std::string NamesInSection(std::string_view section) {
    std::string out;
    for (const SettingDef& d : SETTINGS) {
        if (section != d.section) continue;
        if (!out.empty()) out += ", ";
        out += d.name;
    }
    return out;
}

bool ParseSettingValue(int setting, const RawValue& raw, SettingValue& value, std::string& reason) {
    const SettingDef& def = SETTINGS[setting];
    const bool text = raw.type == RawValue::TEXT;
    switch (def.kind) {
    case K::Address:
        if (!text) return WrongType(setting, raw, reason);
        if (!ParseDottedAddress(raw.text, value.number)) {
            reason = Quoted(raw.text) + " is not an address (four numbers 0-255, such as \"192.168.1.50\")";
            return false;
        }
        return true;
    case K::Number: {
        std::int64_t n = raw.integer;
        if (raw.type != RawValue::INTEGER && !(raw.untyped && ParseDecimal(raw.text, n))) {
            return WrongType(setting, raw, reason);
        }
        if (n < 0 || n > PORT_MAX) {
            reason = std::to_string(n) + " is outside 0-" + std::to_string(PORT_MAX);
            return false;
        }
        value.number = n;
        return true;
    }
    case K::List: {
        std::string wanted;
        if (text) {
            wanted = raw.text;
        } else if (raw.type == RawValue::INTEGER) {
            wanted = std::to_string(raw.integer);  // the lists whose entries are numbers
        } else {
            return WrongType(setting, raw, reason);
        }
        const std::vector<std::string> entries = ListEntries(setting);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (SameIgnoringCase(Trimmed(entries[i]), Trimmed(wanted))) {
                value.number = static_cast<std::int64_t>(i);
                return true;
            }
        }
        reason = Quoted(wanted) + " is not offered; the choices are " + ChoicesText(setting);
        return false;
    }
    case K::Check:
        if (raw.type == RawValue::BOOLEAN) {
            value.number = raw.flag ? 1 : 0;
            return true;
        }
        if (raw.untyped && (raw.text == "true" || raw.text == "false")) {
            value.number = raw.text == "true" ? 1 : 0;
            return true;
        }
        return WrongType(setting, raw, reason);
    case K::Text: {
        if (!text) return WrongType(setting, raw, reason);
        std::string bytes;
        if (!Utf8ToLatin1(raw.text, bytes)) {
            reason = "holds a character the converter cannot keep (only Latin-1 characters, none of them zero)";
            return false;
        }
        if (bytes.size() > static_cast<std::size_t>(def.size)) {
            reason = Quoted(raw.text) + " is " + std::to_string(bytes.size()) +
                     " characters long; the field holds at most " + std::to_string(def.size);
            return false;
        }
        value.bytes = bytes;
        return true;
    }
    case K::HexBytes:
        if (!text) return WrongType(setting, raw, reason);
        if (!ParseHexBytes(raw.text, def.size, value.bytes)) {
            reason = Quoted(raw.text) + " is not " + std::to_string(def.size * 2) + " hexadecimal digits";
            return false;
        }
        return true;
    }
    return false;
}

bool CheckOnConverter(int setting, const SettingValue& value, const FormContext& form, std::string& reason) {
    const ConverterFlags& flags = form.flags;
    int limit = -1;
    if (setting == TIMEOUT) {
        limit = std::min(TimeoutLimitOnLeave(flags.long_limits), StoredTimeoutLimit(flags.model_code));
    } else if (setting == WATER_MARK) {
        limit = std::min(WaterMarkLimitOnLeave(flags.long_limits, flags.model_code),
                         StoredWaterMarkLimit(flags.model_code));
    } else if (setting == FLOW_CONTROL && value.number >= form.controls.ItemCount(CTL_FLOW_CONTROL_LIST)) {
        reason = Quoted(FLOW_XON_XOFF_TEXT) + " is not offered by this converter";
        return false;
    }
    if (limit >= 0 && value.number > limit) {
        reason = std::to_string(value.number) + " is above " + std::to_string(limit) +
                 ", the most this converter (model code " + std::to_string(flags.model_code) + ") takes";
        return false;
    }
    return true;
}

std::optional<SettingValue> ReadFromForm(int setting, const FormContext& form,
                                         const MainBlock::PasswordBlock& passwordField) {
    const SettingDef& def = SETTINGS[setting];
    SettingValue value;
    switch (def.kind) {
    case K::Address:
        value.number = form.controls.GetAddress(def.control);
        return value;
    case K::Number:
    case K::Check:
        value.number = *IntSlot(setting, form);
        if (def.kind == K::Check && value.number != 0 && value.number != 1) return std::nullopt;
        return value;
    case K::List:
        value.number = IsListOfKeyIds(setting) ? form.wep64.wepId : form.controls.GetSelection(def.control);
        if (value.number < 0) return std::nullopt;
        return value;
    case K::Text:
        if (const std::string* slot = StringSlot(setting, form)) {
            value.bytes = *slot;
        } else {
            std::size_t size = 0;
            int chars = 0;
            const char* buffer = EapBuffer(setting, form, size, chars);
            value.bytes.assign(buffer, strnlen(buffer, static_cast<std::size_t>(chars)));
        }
        return value;
    case K::HexBytes:
        if (setting == PASSWORD_FIELD) {
            value.bytes.assign(passwordField.begin(), passwordField.end());
        } else if (!ParseHexBytes(KeyText(setting, form), def.size, value.bytes)) {
            return std::nullopt;
        }
        return value;
    }
    return std::nullopt;
}

void EnterIntoForm(int setting, const SettingValue& value, const FormContext& form,
                   MainBlock::PasswordBlock& passwordField) {
    const SettingDef& def = SETTINGS[setting];
    switch (def.kind) {
    case K::Address:
        form.controls.SetAddress(def.control, static_cast<std::uint32_t>(value.number));
        break;
    case K::Number:
    case K::Check:
        *IntSlot(setting, form) = static_cast<int>(value.number);
        break;
    case K::List:
        if (IsListOfKeyIds(setting)) {
            // Both key dialogs keep the key in use; the WEP mode picks one on Write.
            form.wep64.wepId = static_cast<int>(value.number);
            form.wep128.wepId = static_cast<int>(value.number);
        } else {
            form.controls.SetSelection(def.control, static_cast<int>(value.number));
        }
        break;
    case K::Text:
        if (std::string* slot = StringSlot(setting, form)) {
            *slot = value.bytes;
        } else {
            std::size_t size = 0;
            int chars = 0;
            char* buffer = EapBuffer(setting, form, size, chars);
            std::memset(buffer, 0, size);
            std::memcpy(buffer, value.bytes.data(), std::min(value.bytes.size(), static_cast<std::size_t>(chars)));
        }
        break;
    case K::HexBytes:
        if (setting == PASSWORD_FIELD) {
            std::copy(value.bytes.begin(), value.bytes.end(), passwordField.begin());
        } else {
            KeyText(setting, form) = HexOf(value.bytes);
        }
        break;
    }
}

std::string FormatShown(int setting, const SettingValue& value) {
    switch (SETTINGS[setting].kind) {
    case K::Address: return DottedAddress(static_cast<std::uint32_t>(value.number));
    case K::Number: return std::to_string(value.number);
    case K::List: {
        const std::vector<std::string> entries = ListEntries(setting);
        const auto index = static_cast<std::size_t>(value.number);
        return index < entries.size() ? std::string(Trimmed(entries[index])) : std::string();
    }
    case K::Check: return value.number ? "true" : "false";
    case K::Text: return Latin1ToUtf8(value.bytes);
    case K::HexBytes: return HexOf(value.bytes);
    }
    return "";
}

std::string FormatForFile(int setting, const SettingValue& value) {
    switch (SETTINGS[setting].kind) {
    case K::Number:
    case K::Check: return FormatShown(setting, value);
    case K::Text: return QuotedLatin1(value.bytes);
    default: return Quoted(FormatShown(setting, value));
    }
}

void CopyOwnedBits(int setting, const EnvRecord& from, EnvRecord& to) {
    const std::uint8_t* source = from.Data();
    std::uint8_t* target = to.Data();
    ForOwnedBytes(setting, [&](int offset, std::uint8_t mask) {
        target[offset] = static_cast<std::uint8_t>((target[offset] & ~mask) | (source[offset] & mask));
    });
}

bool OwnedBitsEqual(int setting, const EnvRecord& a, const EnvRecord& b) {
    const std::uint8_t* pa = a.Data();
    const std::uint8_t* pb = b.Data();
    bool equal = true;
    ForOwnedBytes(setting, [&](int offset, std::uint8_t mask) { equal = equal && ((pa[offset] ^ pb[offset]) & mask) == 0; });
    return equal;
}

std::string DescribeRecordValue(int setting, const EnvRecord& record) {
    const Owned& owned = OWNED[setting];
    const MainBlock& main = record.main;
    if (setting == BAUD_RATE) return std::to_string(main.baud_rate());
    if (setting == TARVO_MODE) return "value " + std::to_string(main.mode());
    if (owned.bits[0].width != 0) {
        // Bit fields lie in the main or the WLAN block.
        const auto bits = [&](const L::BitField& f) {
            return f.word < L::WLAN_BASE ? main.Bits(f) : record.wlan.Bits(f);
        };
        std::string text = "value " + std::to_string(bits(owned.bits[0]));
        if (owned.bits[1].width != 0) text += " and " + std::to_string(bits(owned.bits[1]));
        return text;
    }
    if (SETTINGS[setting].kind == K::Number) {
        return std::to_string(LoadLe16(record.Data() + owned.bytes[0].offset));
    }
    std::string bytes;
    ForOwnedBytes(setting, [&](int offset, std::uint8_t) {
        bytes.push_back(static_cast<char>(record.Data()[offset]));
    });
    return "the bytes " + HexOf(bytes);
}

}  // namespace quarnel
