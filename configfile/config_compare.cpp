// Comparing two sides setting by setting: whole records, or files that name
// some settings and hold no block.

#include <vector>

#include "configfile/config_file.h"
#include "configfile/setting_table.h"

namespace quarnel {

namespace {

// The value a patch finally gives each setting (a later entry wins); null
// where it names none.
std::vector<const SettingValue*> FinalValues(const ConfigPatch& patch) {
    std::vector<const SettingValue*> values(static_cast<std::size_t>(SETTING_COUNT), nullptr);
    for (const PatchEntry& entry : patch.entries) values[static_cast<std::size_t>(entry.setting)] = &entry.value;
    return values;
}

NamedSetting ShownValue(int setting, const SettingValue& value) {
    NamedSetting named;
    named.name = SettingName(setting);
    named.text = FormatShown(setting, value);
    return named;
}

}  // namespace

ConfigDifferences CompareRecords(const EnvRecord& a, const EnvRecord& b) {
    ConfigDifferences differences;
    const std::vector<NamedSetting> shownA = ListSettings(a);
    const std::vector<NamedSetting> shownB = ListSettings(b);
    // What is left of the difference once the listed settings are taken over.
    EnvRecord explained = a;
    for (int i = 0; i < SETTING_COUNT; ++i) {
        if (OwnedBitsEqual(i, a, b)) continue;
        differences.settings.push_back({shownA[static_cast<std::size_t>(i)], shownB[static_cast<std::size_t>(i)]});
        CopyOwnedBits(i, b, explained);
    }
    for (int offset = 0; offset < env_layout::RECORD_SIZE; ++offset) {
        if (explained.Data()[offset] != b.Data()[offset]) differences.offsets.push_back(offset);
    }
    return differences;
}

bool ComparePatch(const EnvRecord& record, const ConfigPatch& patch, ConfigDifferences& differences,
                  std::string& error) {
    EnvRecord patched = record;
    if (!ApplyPatch(patch, patched, error)) return false;
    const std::vector<NamedSetting> before = ListSettings(record);
    const std::vector<NamedSetting> after = ListSettings(patched);
    const std::vector<const SettingValue*> named = FinalValues(patch);
    differences = {};
    for (int i = 0; i < SETTING_COUNT; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        if (named[at] && !OwnedBitsEqual(i, record, patched)) differences.settings.push_back({before[at], after[at]});
    }
    return true;
}

ConfigDifferences ComparePatches(const ConfigPatch& a, const ConfigPatch& b) {
    const std::vector<const SettingValue*> valuesA = FinalValues(a);
    const std::vector<const SettingValue*> valuesB = FinalValues(b);
    ConfigDifferences differences;
    for (int i = 0; i < SETTING_COUNT; ++i) {
        const SettingValue* va = valuesA[static_cast<std::size_t>(i)];
        const SettingValue* vb = valuesB[static_cast<std::size_t>(i)];
        if (!va && !vb) continue;
        if (va && vb && va->number == vb->number && va->bytes == vb->bytes) continue;
        // A setting one file names and the other does not differs too.
        const NamedSetting notNamed{SettingName(i), "(not named)"};
        differences.settings.push_back({va ? ShownValue(i, *va) : notNamed, vb ? ShownValue(i, *vb) : notNamed});
    }
    return differences;
}

std::string FormatOffsets(const std::vector<int>& offsets) {
    std::string text;
    for (size_t i = 0; i < offsets.size();) {
        size_t j = i;
        while (j + 1 < offsets.size() && offsets[j + 1] == offsets[j] + 1) ++j;
        if (!text.empty()) text += ", ";
        text += std::to_string(offsets[i]);
        if (j > i) text += "-" + std::to_string(offsets[j]);
        i = j + 1;
    }
    return text;
}

std::string DescribeDifferences(const EnvRecord& a, const EnvRecord& b) {
    const ConfigDifferences differences = CompareRecords(a, b);
    std::string text;
    for (const SettingDifference& d : differences.settings) text += (text.empty() ? "" : ", ") + d.a.name;
    if (!differences.offsets.empty())
        text += (text.empty() ? "offsets " : "; other offsets ") + FormatOffsets(differences.offsets);
    return text;
}

}  // namespace quarnel
