// A record's named settings as the window shows them, and the file text
// written for a record.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "configfile/config_file.h"
#include "configfile/latin1_text.h"
#include "configfile/memory_form.h"
#include "configfile/setting_table.h"
#include "envrecord/form_transfer.h"
#include "envrecord/hex_text.h"

namespace quarnel {

namespace {

constexpr int BLOCK_BYTES_PER_LINE = 32;

// A setting of a record: its value when the file can name it, else what the
// converter holds.
struct SettingOfRecord {
    std::optional<SettingValue> value;
    std::string held;
};

// A setting is named only when the value the window shows, entered again as
// a file would enter it, stores back exactly the converter's bits and passes
// the converter's own limits: so loading a saved file changes nothing.
std::vector<SettingOfRecord> SettingsOfRecord(const EnvRecord& record) {
    MemoryForm shown;
    ShowRecord(record, shown);
    const MainBlock::PasswordBlock passwordField = record.main.password_block();

    std::vector<std::optional<SettingValue>> values(static_cast<std::size_t>(SETTING_COUNT));
    MemoryForm entered;
    ShowRecord(record, entered);
    MainBlock::PasswordBlock enteredPassword = passwordField;
    for (int i = 0; i < SETTING_COUNT; ++i) {
        values[static_cast<std::size_t>(i)] = ReadFromForm(i, shown.Context(), passwordField);
        if (values[static_cast<std::size_t>(i)]) {
            EnterIntoForm(i, *values[static_cast<std::size_t>(i)], entered.Context(), enteredPassword);
        }
    }
    EnvRecord stored = record;
    stored.main.set_password_block(enteredPassword);
    FormToRecord(stored.main, stored.wlan, stored.tail, entered.Context());

    std::vector<SettingOfRecord> out(static_cast<std::size_t>(SETTING_COUNT));
    for (int i = 0; i < SETTING_COUNT; ++i) {
        SettingOfRecord& setting = out[static_cast<std::size_t>(i)];
        const std::optional<SettingValue>& value = values[static_cast<std::size_t>(i)];
        std::string reason;
        if (value && OwnedBitsEqual(i, record, stored) && CheckOnConverter(i, *value, shown.Context(), reason)) {
            setting.value = value;
        } else {
            setting.held = DescribeRecordValue(i, record);
        }
    }
    return out;
}

// Explanations written above a section's settings.
const char* SectionNote(const std::string& section) {
    if (section == "mode") return "# In U2S mode the window calls timeout Interval(10ms) and water_mark Block(Byte).\n";
    if (section == "wep_keys") return "# Keys as hexadecimal text: 10 digits for a 64-bit key, 26 for a 128-bit key.\n";
    if (section == "console") {
        return "# The console password is kept only as its 12-byte field (two digests, then\n"
               "# characters 9-12): the password itself cannot be read back from it. Twelve\n"
               "# zero bytes mean no password.\n";
    }
    return "";
}

}  // namespace

std::string ConfigFileStem(const MainBlock::MacAddress& mac) { return "tarvo-" + MacText(mac, ""); }

std::vector<NamedSetting> ListSettings(const EnvRecord& record) {
    const std::vector<SettingOfRecord> settings = SettingsOfRecord(record);
    std::vector<NamedSetting> out;
    for (int i = 0; i < SETTING_COUNT; ++i) {
        const SettingOfRecord& s = settings[static_cast<std::size_t>(i)];
        NamedSetting named;
        named.name = SettingName(i);
        named.shown = s.value.has_value();
        named.text = named.shown ? FormatShown(i, *s.value) : s.held;
        out.push_back(std::move(named));
    }
    return out;
}

std::string WriteConfigText(const EnvRecord& record, const AboutData& about) {
    std::string out =
        "# Quarnel configuration file: the settings of one Tarvo converter.\n"
        "# Loading a file changes only the settings it names: remove a line and that\n"
        "# setting stays as the converter holds it. Lists take the text of one of\n"
        "# their entries, check boxes true or false, texts go in quotes.\n"
        "\n[about]\n"
        "# The converter this file was saved from; not loaded.\n";
    if (about.hasMac) out += "mac = \"" + MacText(about.mac) + "\"\n";
    if (about.hasModelCode) out += "model_code = " + std::to_string(about.modelCode) + "\n";
    out += "firmware = " + QuotedLatin1(about.firmware) + "\n";
    out += "saved_at = " + QuotedLatin1(about.savedAt) + "\n";
    out += "program = " + QuotedLatin1(about.programVersion) + "\n";

    const std::vector<SettingOfRecord> settings = SettingsOfRecord(record);
    std::string section;
    for (int i = 0; i < SETTING_COUNT; ++i) {
        const SettingDescriptor& def = SETTINGS[i];
        if (section != def.section) {
            section = def.section;
            out += "\n[" + section + "]\n";
            out += SectionNote(section);
        }
        const SettingOfRecord& s = settings[static_cast<std::size_t>(i)];
        if (s.value) {
            out += std::string(def.name) + " = " + FormatForFile(i, *s.value) + "\n";
        } else {
            out += "# " + std::string(def.name) + ": the converter holds " + s.held +
                   ", which the window does not show as it is; loading keeps it.\n";
        }
    }

    out +=
        "\n[block]\n"
        "# Everything the converter held, 480 bytes, 32 to a line. The window's Load\n"
        "# uses only the named settings above; the block serves an exact restore.\n"
        "bytes = [\n";
    for (int offset = 0; offset < env_layout::RECORD_SIZE; offset += BLOCK_BYTES_PER_LINE) {
        out += "  \"" + BytesToHex(record.Data() + offset, BLOCK_BYTES_PER_LINE) + "\",\n";
    }
    out += "]\n";
    return out;
}

}  // namespace quarnel
