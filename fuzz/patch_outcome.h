// ApplyPatch under watch: every fuzz target that ends in a patch goes
// through here, so all of them hold it to the same promises.
#pragma once

#include "configfile/config_file.h"

namespace quarnel_fuzz {

bool SameRecord(const quarnel::EnvRecord& a, const quarnel::EnvRecord& b);

// Applies `patch` to `record` and checks the outcome: a refusal says why and
// leaves the record untouched; an acceptance keeps the converter's identity
// bytes and is settled (applying the patch again changes nothing). Returns
// whether the patch was accepted.
bool ApplyChecked(const quarnel::ConfigPatch& patch, quarnel::EnvRecord& record);

}  // namespace quarnel_fuzz
