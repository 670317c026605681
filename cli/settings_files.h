// What the commands on configuration files share: reading a file or a
// converter with the failure said, telling a file argument from a port, and
// a setting as the command line shows it.
#pragma once

#include <string>

#include "cli/cli_context.h"
#include "configfile/config_file.h"

namespace quarnel {

// Reads and parses a configuration file. On failure says why (the file, and
// where it can, the line, the setting and the reason), with EXIT_USAGE.
bool ReadSettingsFile(CliContext& context, const std::string& path, ConfigFile& file);

// Reads the converter on `port` into `record`. On failure says why, with the
// exit status set.
bool ReadConverterRecord(CliContext& context, const std::string& port, EnvRecord& record);

// Whether a command argument that may be either names a file: an existing
// regular file, or a name ending in ".qcfg"; anything else is a port.
bool NamesSettingsFile(const std::string& argument);

// The setting's value, marked when the window does not show it as it is;
// control characters escaped so a value stays on one line.
std::string ShownText(const NamedSetting& setting);

// "monitor" or "shell": the console mode that answered last.
std::string ConsoleModeOf(const ConverterSession& session);

// Warns (without -q) when the file was saved from a converter of another
// model; its settings are entered all the same, as the window's Load does.
void WarnOnOtherModel(CliContext& context, const ConfigFile& file, const EnvRecord& converter);

}  // namespace quarnel
