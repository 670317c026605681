// The JSON documents of --format json and of a provisioning report named
// *.json, written by the TOML library's JSON formatter. Names are the
// settings files' own: a program reading them needs one vocabulary.
#pragma once

#include <string>
#include <vector>

#include "cli/provision_plan.h"
#include "cli/provision_runner.h"
#include "configfile/config_file.h"

namespace quarnel {

// A settings file's text (as WriteConfigText makes it) as one JSON object:
// {"about": {...}, "network": {...}, ..., "block": [...]}.
std::string SettingsTextAsJson(const std::string& settingsText);

// {"differences": [{"setting": ..., "a": ..., "b": ...}], "other_offsets": [...]}
std::string DifferencesAsJson(const ConfigDifferences& differences);

// {"rows": [{"port", "mac_address", "result", "seconds", "message", "backup"}]}
std::string ReportAsJson(const ProvisionPlan& plan, const std::vector<RowStatus>& rows);

}  // namespace quarnel
