// quarnel-cli save PORT FILE: reads the converter and saves its settings as a
// configuration file, atomically (a failed save leaves the old file whole).
#include <CLI/CLI.hpp>

#include "cli/cli_context.h"
#include "cli/settings_files.h"
#include "configfile/text_file.h"

namespace quarnel {

namespace {

struct SaveArguments {
    std::string port;
    std::string file;
};

void RefuseFile(CliContext& context, const SaveArguments& arguments, const std::string& reason) {
    context.Error("The settings could not be saved to " + arguments.file + ".\n\n" + reason);
    context.exitStatus = EXIT_USAGE;
}

void RunSave(CliContext& context, const SaveArguments& arguments) {
    // A file that cannot be saved is refused before the converter is read.
    std::string reason;
    if (!CheckSaveTarget(arguments.file, reason)) return RefuseFile(context, arguments, reason);
    EnvRecord record{};
    if (!ReadConverterRecord(context, arguments.port, record)) return;
    const std::string text = WriteConfigText(record, AboutForSave(record.main));
    if (!SaveTextAtomically(arguments.file, text, reason)) return RefuseFile(context, arguments, reason);
    context.Note("Settings of " + arguments.port + " saved to " + arguments.file + ".");
    context.exitStatus = EXIT_OK;
}

}  // namespace

void AddSaveCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<SaveArguments>();
    CLI::App* command =
        app.add_subcommand("save", "Read the converter and save its settings and whole block as a configuration file");
    command->add_option("PORT", arguments->port, "Serial port of the converter")->required();
    command->add_option("FILE", arguments->file, "Configuration file to write (.qcfg); replaced if it exists")
        ->required();
    command->callback([&context, arguments] { RunSave(context, *arguments); });
}

}  // namespace quarnel
