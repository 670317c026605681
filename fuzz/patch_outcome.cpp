#include "patch_outcome.h"

#include <cstring>
#include <string>

#include "fuzz_check.h"

namespace quarnel_fuzz {

bool SameRecord(const quarnel::EnvRecord& a, const quarnel::EnvRecord& b) {
    return std::memcmp(a.Data(), b.Data(), quarnel::env_layout::RECORD_SIZE) == 0;
}

bool ApplyChecked(const quarnel::ConfigPatch& patch, quarnel::EnvRecord& record) {
    const quarnel::EnvRecord before = record;
    std::string error;
    if (!quarnel::ApplyPatch(patch, record, error)) {
        FUZZ_CHECK(!error.empty(), "a refused patch gave no reason");
        FUZZ_CHECK(SameRecord(record, before), "a refused patch changed the record");
        return false;
    }
    // The bytes below the first written one are the converter's identity:
    // no setting owns them and a write never sends them.
    FUZZ_CHECK(std::memcmp(record.Data(), before.Data(), quarnel::env_layout::FIRST_WRITTEN_OFFSET) == 0,
               "a patch changed the converter's identity bytes");
    quarnel::EnvRecord again = record;
    FUZZ_CHECK(quarnel::ApplyPatch(patch, again, error), "a patch accepted once was refused the second time");
    FUZZ_CHECK(SameRecord(again, record), "a patch applied twice stored something else the second time");
    return true;
}

}  // namespace quarnel_fuzz
