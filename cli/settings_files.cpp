#include "cli/settings_files.h"

#include <cstdio>
#include <filesystem>

#include "configfile/text_file.h"

namespace quarnel {

bool ReadSettingsFile(CliContext& context, const std::string& path, ConfigFile& file) {
    std::string text, problem;
    if (!ReadTextFile(path, text, problem)) {
        context.Error("The settings could not be read from " + path + ".\n\n" + problem);
    } else if (!ParseConfigText(text, path, file, problem)) {
        context.Error(problem);
    } else {
        return true;
    }
    context.exitStatus = EXIT_USAGE;
    return false;
}

bool ReadConverterRecord(CliContext& context, const std::string& port, EnvRecord& record) {
    CliContext::Opened opened = context.OpenSession(port);
    if (!opened.session) return false;
    if (context.Finish(opened.session->Read(record), *opened.session) != EXIT_OK) return false;
    context.Detail("Read " + port + " (" + ConsoleModeOf(*opened.session) + " mode).");
    return true;
}

bool NamesSettingsFile(const std::string& argument) {
    const std::string extension = std::string(".") + SETTINGS_FILE_EXTENSION;
    if (argument.size() > extension.size() &&
        argument.compare(argument.size() - extension.size(), extension.size(), extension) == 0)
        return true;
    std::error_code ignored;
    return std::filesystem::is_regular_file(argument, ignored);
}

std::string ShownText(const NamedSetting& setting) {
    std::string text;
    for (char c : setting.text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            text.push_back(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    if (!setting.shown) text += " (not shown by the window as it is)";
    return text;
}

std::string ConsoleModeOf(const ConverterSession& session) { return session.MonitorMode() ? "monitor" : "shell"; }

void WarnOnOtherModel(CliContext& context, const ConfigFile& file, const EnvRecord& converter) {
    const int modelCode = static_cast<int>(converter.main.model_code());
    if (!file.about.hasModelCode || file.about.modelCode == modelCode) return;
    context.Note(file.fileName + " was saved from a converter of model code " + std::to_string(file.about.modelCode) +
                 "; this converter has model code " + std::to_string(modelCode) +
                 ". Its settings are entered all the same.");
}

}  // namespace quarnel
