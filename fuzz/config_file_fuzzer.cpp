// Settings files: any text is read or refused, never crashes. A refused file
// leaves the caller's ConfigFile as it was; an accepted one patches a record
// (its own block, or a sample converter of its model), and that record goes
// through the file writer and the reader back to itself.

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
using quarnel_fuzz::SameRecord;

constexpr char UNTOUCHED_NAME[] = "untouched.qcfg";
constexpr std::uint8_t DEFAULT_MODEL = 9;

ConfigFile CallersFile() {
    ConfigFile file;
    file.fileName = UNTOUCHED_NAME;
    file.patch.entries.resize(1);
    return file;
}

bool IsCallersFile(const ConfigFile& file) {
    return file.fileName == UNTOUCHED_NAME && file.patch.entries.size() == 1 && !file.hasAbout && !file.hasBlock;
}

void CheckRoundTrip(const EnvRecord& record) {
    const std::string written = WriteConfigText(record, AboutOf(record.main, "2024-05-01 14:03:52", "fuzz"));
    ConfigFile reread;
    std::string error;
    FUZZ_CHECK(ParseConfigText(written, "written.qcfg", reread, error), "a written file was refused");
    EnvRecord rebuilt{};
    FUZZ_CHECK(RecordFromFile(reread, rebuilt, error), "a written file stands for no record");
    FUZZ_CHECK(SameRecord(rebuilt, record), "a written file came back as another record");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ConfigFile file = CallersFile();
    std::string error;
    if (!ParseConfigText(text, "fuzz.qcfg", file, error)) {
        FUZZ_CHECK(error.rfind("fuzz.qcfg", 0) == 0, "a refusal does not name the file");
        FUZZ_CHECK(IsCallersFile(file), "a refused file changed the caller's ConfigFile");
        return 0;
    }
    const bool namesModel = file.hasAbout && file.about.hasModelCode;
    EnvRecord record = file.hasBlock
                           ? file.block
                           : quarnel_fuzz::SampleConverter(namesModel ? static_cast<std::uint8_t>(file.about.modelCode)
                                                                      : DEFAULT_MODEL);
    if (quarnel_fuzz::ApplyChecked(file.patch, record)) CheckRoundTrip(record);
    return 0;
}
