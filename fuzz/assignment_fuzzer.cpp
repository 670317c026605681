// The --set assignment: any text is taken or refused, never crashes. A
// refusal leaves the caller's patch as it was; a taken assignment adds one
// entry, which a converter takes or refuses cleanly, and what `show` then
// prints for the setting is taken back by --set without a change.
//
// The input's last byte picks the converter (see SampleConverter); the bytes
// before it are the assignment.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "configfile/config_file.h"
#include "fuzz_check.h"
#include "patch_outcome.h"
#include "sample_converter.h"

namespace {

using namespace quarnel;

constexpr char SOURCE[] = "--set";

void CheckShownValueTakenBack(int setting, const EnvRecord& record) {
    const std::string name = SettingName(setting);
    for (const NamedSetting& shown : ListSettings(record)) {
        if (shown.name != name || !shown.shown) continue;
        ConfigPatch back;
        std::string error;
        FUZZ_CHECK(ParseAssignment(name + "=" + shown.text, SOURCE, back, error), "--set refuses a value show printed");
        EnvRecord again = record;
        FUZZ_CHECK(ApplyPatch(back, again, error), "a converter refuses a value show printed for it");
        FUZZ_CHECK(quarnel_fuzz::SameRecord(again, record), "a value show printed changed the record when set");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t converter = data[size - 1];
    const std::string_view assignment(reinterpret_cast<const char*>(data), size - 1);
    ConfigPatch patch;
    patch.entries.resize(1);  // what the caller had gathered before
    std::string error;
    if (!ParseAssignment(assignment, SOURCE, patch, error)) {
        FUZZ_CHECK(error.rfind(std::string(SOURCE) + ": ", 0) == 0, "a refusal does not name its source");
        FUZZ_CHECK(patch.entries.size() == 1, "a refused assignment changed the patch");
        return 0;
    }
    FUZZ_CHECK(patch.entries.size() == 2, "a taken assignment did not add exactly one entry");
    ConfigPatch assigned;
    assigned.entries.push_back(patch.entries.back());
    EnvRecord record = quarnel_fuzz::SampleConverter(converter);
    if (quarnel_fuzz::ApplyChecked(assigned, record)) CheckShownValueTakenBack(assigned.entries[0].setting, record);
    return 0;
}
