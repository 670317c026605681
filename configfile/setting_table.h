#pragma once

// What a configuration file does with the named settings of settings.h: how
// their values are checked, written and shown, where the window's form keeps
// them and how their record bits are compared.

#include <cstdint>
#include <optional>
#include <string>

#include "configfile/config_file.h"
#include "envrecord/env_layout.h"
#include "envrecord/form_model.h"
#include "envrecord/settings.h"

namespace quarnel {

// A value as the file or an assignment gave it, before it is checked.
struct RawValue {
    enum Type : std::uint8_t { TEXT, INTEGER, BOOLEAN, OTHER };
    Type type = TEXT;
    std::string text;  // TEXT (UTF-8)
    std::int64_t integer = 0;
    bool flag = false;
    bool untyped = false;           // an assignment: the text may stand for a number or true/false
    const char* typeName = "text";  // what OTHER is, for messages ("an array")
};

// Index of "section" + "name", or -1.
int FindSetting(std::string_view section, std::string_view name);
bool IsSection(std::string_view section);
// "local_ip, subnet_mask, ..." of a section, for messages.
std::string NamesInSection(std::string_view section);

// Checks a raw value against the setting's own rules; `reason` says why not.
bool ParseSettingValue(int setting, const RawValue& raw, SettingValue& value, std::string& reason);

// The converter-dependent rules, read from a form filled by RecordToForm.
bool CheckOnConverter(int setting, const SettingValue& value, const FormContext& form, std::string& reason);

// The value the form shows, or nothing when the window shows no value (a
// list without selection, an EAPoL state other than 0 and 1). The password
// field is not in the form and comes from `passwordField`.
std::optional<SettingValue> ReadFromForm(int setting, const FormContext& form,
                                         const MainBlock::PasswordBlock& passwordField);
// Enters a checked value into the form (or the password field).
void EnterIntoForm(int setting, const SettingValue& value, const FormContext& form,
                   MainBlock::PasswordBlock& passwordField);

// The value as the file writes it (TOML, quoted where it is text).
std::string FormatForFile(int setting, const SettingValue& value);
// The value as shown to a user, unquoted.
std::string FormatShown(int setting, const SettingValue& value);

// Copies the setting's own bits and bytes from `from` to `to`; whether they
// were equal already.
void CopyOwnedBits(int setting, const EnvRecord& from, EnvRecord& to);
bool OwnedBitsEqual(int setting, const EnvRecord& a, const EnvRecord& b);
// What the converter holds in the setting's bits, for a setting the window
// does not show as it is ("value 3", "230400").
std::string DescribeRecordValue(int setting, const EnvRecord& record);

}  // namespace quarnel
