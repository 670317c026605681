// Patches: one assignment parsed, checked against a converter, applied onto
// a record or onto the window's form.

#include <ctime>
#include <mutex>
#include <string>

#include "product_version.h"
#include "configfile/config_file.h"
#include "configfile/memory_form.h"
#include "configfile/setting_table.h"
#include "envrecord/form_transfer.h"

namespace quarnel {

std::string_view TrimmedBlanks(std::string_view text, std::string_view blanks) {
    const auto blank = [&](char c) { return blanks.find(c) != std::string_view::npos; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

namespace {

bool CheckEntries(const ConfigPatch& patch, const FormContext& converter, std::string& error) {
    for (const PatchEntry& entry : patch.entries) {
        std::string reason;
        if (!CheckOnConverter(entry.setting, entry.value, converter, reason)) {
            error = entry.source + ": " + SettingName(entry.setting) + ": " + reason;
            return false;
        }
    }
    return true;
}

void EnterEntries(const ConfigPatch& patch, const FormContext& form, MainBlock::PasswordBlock& passwordField) {
    for (const PatchEntry& entry : patch.entries) EnterIntoForm(entry.setting, entry.value, form, passwordField);
}

}  // namespace

bool ParseAssignment(std::string_view assignment, const std::string& source, ConfigPatch& patch, std::string& error) {
    const std::size_t equals = assignment.find('=');
    const std::string_view name = TrimmedBlanks(assignment.substr(0, equals));
    const std::size_t dot = name.find('.');
    if (equals == std::string_view::npos || dot == std::string_view::npos) {
        error = source + ": expects section.name=value, such as network.local_ip=192.168.1.50";
        return false;
    }
    std::string reason;
    const int setting = FindSettingNamed(name, reason);
    if (setting < 0) {
        error = source + ": " + MessageExcerpt(name) + ": " + reason;
        return false;
    }
    RawValue raw;
    raw.untyped = true;
    raw.text = std::string(assignment.substr(equals + 1));
    // Blanks around a text may be meant; around anything else they are not.
    if (SETTINGS[setting].kind != SettingKind::Text) raw.text = std::string(TrimmedBlanks(raw.text));
    PatchEntry entry;
    entry.setting = setting;
    entry.source = source;
    if (!ParseSettingValue(setting, raw, entry.value, reason)) {
        error = source + ": " + SettingName(setting) + ": " + reason;
        return false;
    }
    patch.entries.push_back(std::move(entry));
    return true;
}

bool CheckPatch(const ConfigPatch& patch, const EnvRecord& converter, std::string& error) {
    MemoryForm form;
    ShowRecord(converter, form);
    return CheckEntries(patch, form.Context(), error);
}

bool ApplyPatch(const ConfigPatch& patch, EnvRecord& record, std::string& error) {
    MemoryForm form;
    ShowRecord(record, form);
    const FormContext context = form.Context();
    if (!CheckEntries(patch, context, error)) return false;

    MainBlock::PasswordBlock passwordField = record.main.password_block();
    EnterEntries(patch, context, passwordField);
    EnvRecord stored = record;
    stored.main.set_password_block(passwordField);
    if (!FormToRecord(stored.main, stored.wlan, stored.tail, context)) {
        error = form.refusal;
        return false;
    }
    // The transfer also stores what the patch does not name; only the named
    // settings are taken over.
    EnvRecord patched = record;
    for (const PatchEntry& entry : patch.entries) CopyOwnedBits(entry.setting, stored, patched);
    record = patched;
    return true;
}

bool ApplyPatchToForm(const ConfigPatch& patch, const FormContext& form, MainBlock::PasswordBlock& passwordField,
                      std::string& error) {
    if (!CheckEntries(patch, form, error)) return false;
    EnterEntries(patch, form, passwordField);
    return true;
}

bool RecordFromFile(const ConfigFile& file, EnvRecord& record, std::string& error) {
    if (!file.hasBlock) {
        error = file.fileName + ": holds no [block], so it stands for no whole record; it can only patch one";
        return false;
    }
    EnvRecord built = file.block;
    if (!ApplyPatch(file.patch, built, error)) return false;
    record = built;
    return true;
}

AboutData AboutOf(const MainBlock& main, const std::string& savedAt, const std::string& programVersion) {
    AboutData about;
    about.hasMac = true;
    about.mac = main.mac_address();
    about.hasModelCode = true;
    about.modelCode = static_cast<int>(main.model_code());
    about.firmware = FirmwareLabel(main);
    about.savedAt = savedAt;
    about.programVersion = programVersion;
    return about;
}

std::string LocalTimeText(const char* format) {
    // localtime's buffer is shared; provisioning rows save from many threads.
    static std::mutex lock;
    const std::time_t now = std::time(nullptr);
    char text[64] = "";
    std::lock_guard<std::mutex> hold(lock);
    if (const std::tm* local = std::localtime(&now)) std::strftime(text, sizeof text, format, local);
    return text;
}

AboutData AboutForSave(const MainBlock& main) {
    // The window's caption names the program and its version.
    return AboutOf(main, LocalTimeText(), QUARNEL_MAIN_CAPTION);
}

}  // namespace quarnel
