#include "configfile/setting_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "configfile/latin1_text.h"
#include "envrecord/field_limits.h"
#include "envrecord/hex_text.h"

namespace quarnel {

namespace L = env_layout;

namespace {

using K = SettingKind;

// The index of a setting named in settings.h; a name it lacks does not compile.
constexpr int IndexOf(const char* name) {
    return SettingIndex(name) >= 0 ? SettingIndex(name) : throw "no such setting";
}

// The settings some step treats on their own.
constexpr int TARVO_MODE = IndexOf("tarvo_mode");
constexpr int LOCAL_PORT = IndexOf("local_port");
constexpr int TIMEOUT = IndexOf("timeout");
constexpr int WATER_MARK = IndexOf("water_mark");
constexpr int PEER_PORT = IndexOf("peer_port");
constexpr int BAUD_RATE = IndexOf("baud_rate");
constexpr int FLOW_CONTROL = IndexOf("flow_control");
constexpr int TARGET_SSID = IndexOf("target_ssid");
constexpr int ADHOC_SSID = IndexOf("adhoc_master_ssid");
constexpr int COMMENT = IndexOf("text");
constexpr int ADHOC_ON_BOOT = IndexOf("adhoc_on_boot");
constexpr int INFRA_ON_BOOT = IndexOf("infrastructure_on_boot");
constexpr int KEY_ID = IndexOf("key_id");
constexpr int WEP64_KEY0 = IndexOf("wep64_key0");
constexpr int WEP64_KEY3 = IndexOf("wep64_key3");
constexpr int WEP128_KEY0 = IndexOf("wep128_key0");
constexpr int EAPOL_IDENTITY = IndexOf("identity");
constexpr int PASSWORD_FIELD = IndexOf("password_field");
static_assert(WEP64_KEY3 == WEP64_KEY0 + 3 && WEP128_KEY0 == WEP64_KEY3 + 1, "the keys in slot order");

bool IsListOfKeyIds(int setting) { return setting == KEY_ID; }

// The entries the window offers for a list setting, in index order.
std::vector<std::string> ListEntries(int setting) {
    const ListTexts& list = SETTINGS[setting].list;
    std::vector<std::string> entries(list.texts, list.texts + list.count);
    if (setting == FLOW_CONTROL) entries.emplace_back(FLOW_XON_XOFF_TEXT);
    return entries;
}

// List entries and the texts matched against them lose their spaces only.
std::string_view Trimmed(std::string_view text) { return TrimmedBlanks(text, " "); }

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
    const SettingDescriptor& def = SETTINGS[setting];
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
    if (IsMainCheckBox(SETTINGS[setting])) return &f.CheckBox(SETTINGS[setting].control);
    switch (setting) {
        case LOCAL_PORT: return &f.localPort;
        case TIMEOUT: return &f.timeoutValue;
        case WATER_MARK: return &f.waterMark;
        case PEER_PORT: return &f.peerPort;
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
    const SettingDescriptor& owned = SETTINGS[setting];
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

std::string SettingName(int index) {
    if (index < 0 || index >= SETTING_COUNT) return "?";
    return std::string(SETTINGS[index].section) + "." + SETTINGS[index].name;
}

int FindSetting(std::string_view section, std::string_view name) {
    for (int i = 0; i < SETTING_COUNT; ++i) {
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
    constexpr std::size_t MOST_CHARACTERS = 40;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A UTF-8 sequence is cut before its first byte only.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (++characters > MOST_CHARACTERS) return std::string(text.substr(0, i)) + "...";
    }
    return std::string(text);
}

bool IsSection(std::string_view section) {
    return std::any_of(std::begin(SETTINGS), std::end(SETTINGS),
                       [&](const SettingDescriptor& d) { return section == d.section; });
}

std::string NamesInSection(std::string_view section) {
    std::string out;
    for (const SettingDescriptor& d : SETTINGS) {
        if (section != d.section) continue;
        if (!out.empty()) out += ", ";
        out += d.name;
    }
    return out;
}

bool ParseSettingValue(int setting, const RawValue& raw, SettingValue& value, std::string& reason) {
    const SettingDescriptor& def = SETTINGS[setting];
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
    } else if (setting == FLOW_CONTROL && value.number >= form.controls.ItemCount(IDC_FLOW_CONTROL)) {
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
    const SettingDescriptor& def = SETTINGS[setting];
    SettingValue value;
    switch (def.kind) {
        case K::Address: value.number = form.controls.GetAddress(def.control); return value;
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
    const SettingDescriptor& def = SETTINGS[setting];
    switch (def.kind) {
        case K::Address: form.controls.SetAddress(def.control, static_cast<std::uint32_t>(value.number)); break;
        case K::Number:
        case K::Check: *IntSlot(setting, form) = static_cast<int>(value.number); break;
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
    ForOwnedBytes(setting,
                  [&](int offset, std::uint8_t mask) { equal = equal && ((pa[offset] ^ pb[offset]) & mask) == 0; });
    return equal;
}

std::string DescribeRecordValue(int setting, const EnvRecord& record) {
    const SettingDescriptor& owned = SETTINGS[setting];
    const MainBlock& main = record.main;
    if (setting == BAUD_RATE) return std::to_string(main.baud_rate());
    if (setting == TARVO_MODE) return "value " + std::to_string(main.mode());
    if (owned.bits[0].width != 0) {
        const auto bits = [&](const L::BitField& f) { return FieldBits(main, record.wlan, f); };
        std::string text = "value " + std::to_string(bits(owned.bits[0]));
        if (owned.bits[1].width != 0) text += " and " + std::to_string(bits(owned.bits[1]));
        return text;
    }
    if (owned.kind == K::Number) {
        return std::to_string(LoadLe16(record.Data() + owned.bytes[0].offset));
    }
    std::string bytes;
    ForOwnedBytes(setting,
                  [&](int offset, std::uint8_t) { bytes.push_back(static_cast<char>(record.Data()[offset])); });
    return "the bytes " + HexOf(bytes);
}

}  // namespace quarnel
