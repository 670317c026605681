// quarnel-cli restore PORT FILE: writes the whole block a file holds (bytes
// 32-479, exactly) back to the converter it was saved from, and verifies.
#include <CLI/CLI.hpp>

#include <algorithm>

#include "cli/cli_context.h"
#include "cli/settings_files.h"

namespace quarnel {

namespace {

struct RestoreArguments {
    std::string port;
    std::string file;
    bool force = false;
};

void RunRestore(CliContext& context, const RestoreArguments& arguments) {
    ConfigFile file;
    if (!ReadSettingsFile(context, arguments.file, file)) return;
    EnvRecord saved{};
    std::string error;
    if (!RecordFromFile(file, saved, error)) {
        context.Error(error);
        context.exitStatus = EXIT_USAGE;
        return;
    }

    CliContext::Opened opened = context.OpenSession(arguments.port);
    if (!opened.session) return;
    std::string refusal;
    const auto restore = [&](EnvRecord& converter) {
        // A backup belongs to one converter: another's block would carry
        // this one's addresses and keys to it.
        const std::string savedMac = MacText(saved.main.mac_address());
        const std::string converterMac = MacText(converter.main.mac_address());
        if (savedMac != converterMac) {
            const std::string what = arguments.file + " was saved from the converter with MAC address " + savedMac +
                                     "; the converter on " + arguments.port + " has " + converterMac + ".";
            if (!arguments.force) {
                refusal = what + " Use --force to restore it all the same.";
                return false;
            }
            context.Note(what + " Restoring it all the same (--force).");
        }
        // Bytes before the first written offset are the converter's own and
        // never sent.
        std::copy(saved.Data() + env_layout::FIRST_WRITTEN_OFFSET, saved.Data() + env_layout::RECORD_SIZE,
                  converter.Data() + env_layout::FIRST_WRITTEN_OFFSET);
        return true;
    };
    EnvRecord record{};
    const SessionResult result = opened.session->Change(record, restore);
    if (result == SessionResult::Refused) {
        context.Error(refusal + "\nNothing was written to the converter.");
        context.exitStatus = EXIT_USAGE;
        return;
    }
    context.FinishWrite(result, *opened.session, arguments.port,
                        arguments.file + " restored to " + arguments.port + " (" + ConsoleModeOf(*opened.session) +
                            " mode): verified.");
}

}  // namespace

void AddRestoreCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<RestoreArguments>();
    CLI::App* command = app.add_subcommand(
        "restore", "Write a saved file's whole block back exactly (a backup of this very converter), then verify");
    command->add_option("PORT", arguments->port, "Serial port of the converter")->required();
    command->add_option("FILE", arguments->file, "Configuration file saved with its [block]")->required();
    command->add_flag("--force", arguments->force,
                      "Restore even when the file was saved from a converter with another MAC address");
    command->callback([&context, arguments] { RunRestore(context, *arguments); });
}

}  // namespace quarnel
