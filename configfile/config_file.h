#pragma once

// Configuration files (.qcfg): a converter's settings as TOML text a
// technician can read, diff and edit, shared by the window and the command
// line. No platform header here; the file system sits behind text_file.h.
//
// A file has three parts:
// - named settings, one section per group of the window ([network], [mode],
//   [serial], [wlan], [options], [comment], [startup], [wep_keys], [eapol],
//   [console]), each value as the window shows it: addresses dotted, numbers
//   decimal, list choices by their entry text, check boxes true/false, texts
//   quoted (the converter's bytes read as Latin-1), keys and the console
//   password field as hexadecimal text;
// - [about]: MAC, model code, firmware label, time saved, program version
//   (written on save; on load only the model code is looked at);
// - [block]: the whole 480-byte block as hex, 32 bytes to a line.
//
// A file is a patch: a setting it does not name stays as it is. A patch
// changes only the bits and bytes of the settings it names, each stored the
// way the window's form transfer stores it. Every operation that changes
// something is all-or-nothing: on a refusal nothing has changed, and the
// error names where (file and line, or what the caller said), the setting
// and the reason.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "envrecord/env_record.h"
#include "envrecord/form_model.h"
#include "envrecord/settings.h"

namespace quarnel {

// A setting's value, checked against everything but the converter: an
// address (host order), number, list index or check box (0/1) in `number`;
// a text, a key or the password field as its bytes in `bytes`.
struct SettingValue {
    std::int64_t number = 0;
    std::string bytes;
};

struct PatchEntry {
    int setting = 0;  // index of the setting (see SettingName)
    SettingValue value;
    std::string source;  // where it came from: "site.qcfg, line 12", "--set", ...
    int line = 0;        // its line in a file; 0 for an assignment
};

// Named settings in the order they were given; a later entry for the same
// setting wins.
struct ConfigPatch {
    std::vector<PatchEntry> entries;
};

// What a file says about the converter it was saved from.
struct AboutData {
    bool hasMac = false;
    MainBlock::MacAddress mac{};
    bool hasModelCode = false;
    int modelCode = 0;
    std::string firmware;        // "F/W : 2.5B"
    std::string savedAt;         // "2024-05-01 14:03:52"
    std::string programVersion;  // "Quarnel 4.1d"
};

struct ConfigFile {
    std::string fileName;  // as given to ParseConfigText, for messages
    ConfigPatch patch;
    bool hasAbout = false;
    AboutData about;
    bool hasBlock = false;
    EnvRecord block{};
};

// "section.name" of setting `index`; SETTING_COUNT settings (settings.h) in file order.
std::string SettingName(int index);

// The setting named "section.name", or -1 with `reason` saying what the name
// misses (an unknown section, or the settings its section holds).
int FindSettingNamed(std::string_view name, std::string& reason);

// What a user gave, as a message quotes it: its first 40 characters at the
// most, "..." after a cut, so that an over-long value does not fill the message.
std::string MessageExcerpt(std::string_view text);

// Parses a file's text (UTF-8, LF or CRLF). `fileName` starts every message.
// Refuses a syntax error, an unknown section or setting, a value of the wrong
// type, a list choice the window does not offer, an address that is not four
// numbers 0-255, a text longer than its field, a key or password field of the
// wrong length or not hexadecimal, a block of the wrong length or not hex.
bool ParseConfigText(std::string_view text, const std::string& fileName, ConfigFile& file, std::string& error);

// Parses one "section.name=value" (the value unquoted: 10.1.0.5, 115200,
// true, RTS/CTS, My Network) and appends it to `patch`, with the same
// refusals as a file. `source` names where it came from in messages and in
// the entry ("--set", "plan.csv:row 3, column network.local_ip").
bool ParseAssignment(std::string_view assignment, const std::string& source, ConfigPatch& patch, std::string& error);

// The refusals that depend on the converter: a time-out or water mark above
// what the window lets the user enter and store for its model and
// long_limits, and "XON/XOFF" where the converter does not offer it.
bool CheckPatch(const ConfigPatch& patch, const EnvRecord& converter, std::string& error);

// Checks the patch against `record` and applies it: the record goes through
// the form transfer into an in-memory form, the form is patched, the form is
// stored back, and only the named settings' own bits and bytes are taken
// over. On a refusal `record` is untouched.
bool ApplyPatch(const ConfigPatch& patch, EnvRecord& record, std::string& error);

// The window's Load: checks the patch against the converter the form shows
// (its flags and lists) and sets the form's members, lists and addresses and
// the record's password field, as if the user had entered the values. The
// caller shows the members and refreshes the enabling rules afterwards.
bool ApplyPatchToForm(const ConfigPatch& patch, const FormContext& form, MainBlock::PasswordBlock& passwordField,
                      std::string& error);

// The about data of a record, with the time of saving and program version.
AboutData AboutOf(const MainBlock& main, const std::string& savedAt, const std::string& programVersion);
// `text` without the blanks (spaces and tabs, or the characters `blanks`) around it.
std::string_view TrimmedBlanks(std::string_view text, std::string_view blanks = " \t");

// The extension of settings files, without its dot.
constexpr char SETTINGS_FILE_EXTENSION[] = "qcfg";
// "tarvo-0ABCDE012F9E": the name a converter's file is given by default,
// without its extension (".qcfg").
std::string ConfigFileStem(const MainBlock::MacAddress& mac);
// The about data a save writes now: the record's, the local time
// ("2024-05-01 14:03:52") and this program's version.
AboutData AboutForSave(const MainBlock& main);

// How [about] saved_at writes a time.
constexpr char SAVED_AT_FORMAT[] = "%Y-%m-%d %H:%M:%S";
// The local time now in strftime's `format`; safe on any thread.
std::string LocalTimeText(const char* format = SAVED_AT_FORMAT);

// The file text for a record: about, every named setting, the block. A
// setting whose converter value the window does not show as it is (a list
// value outside the list, a number beyond the limits, a text with bytes after
// its end, ...) is written as a comment saying the converter's value is kept:
// loading the file leaves it as it is, and the block holds it.
std::string WriteConfigText(const EnvRecord& record, const AboutData& about);

// A record's named settings in file order, as the window shows them. `shown`
// is false for a setting written as a comment (`text` then says what the
// converter holds: "value 7", "the bytes 61 62 00 63").
struct NamedSetting {
    std::string name;  // "network.local_ip"
    std::string text;  // "192.168.1.50"
    bool shown = true;
};
std::vector<NamedSetting> ListSettings(const EnvRecord& record);

// Where two sides of a comparison differ: the named settings, each side as
// ListSettings shows it, then the record offsets that differ beyond the bits
// and bytes of the settings listed.
struct SettingDifference {
    NamedSetting a;
    NamedSetting b;
};
struct ConfigDifferences {
    std::vector<SettingDifference> settings;
    std::vector<int> offsets;
    bool Empty() const { return settings.empty() && offsets.empty(); }
};

// "64-79, 96" for a list of record offsets.
std::string FormatOffsets(const std::vector<int>& offsets);
// Where two records differ: the settings by name, then any other offsets
// ("network.local_ip, serial.baud_rate; other offsets 9").
std::string DescribeDifferences(const EnvRecord& a, const EnvRecord& b);

// Two whole records, over all 480 bytes.
ConfigDifferences CompareRecords(const EnvRecord& a, const EnvRecord& b);
// A record (side a) against a file without block (side b): only the settings
// the file names, those it would change. Refused as ApplyPatch refuses.
bool ComparePatch(const EnvRecord& record, const ConfigPatch& patch, ConfigDifferences& differences,
                  std::string& error);
// Two files without block: the settings both name with different values,
// and those only one names (shown "(not named)" on the other side).
ConfigDifferences ComparePatches(const ConfigPatch& a, const ConfigPatch& b);

// The record a file stands for: its block patched with its named settings
// (so a hand-edited setting wins over the block). Refused when the file has
// no block or a setting does not fit the block's converter.
bool RecordFromFile(const ConfigFile& file, EnvRecord& record, std::string& error);

}  // namespace quarnel
