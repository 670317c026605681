// quarnel-cli apply PORT FILE... [--set SECTION.NAME=VALUE]...: reads the
// converter, patches its settings with the files in order and then the
// --set values, writes them and reads them back. Every file and value is
// parsed before the port is opened and checked against the converter before
// anything is written: one refusal and nothing is sent.
#include <CLI/CLI.hpp>

#include "cli/cli_context.h"
#include "cli/settings_files.h"

namespace quarnel {

namespace {

struct ApplyArguments {
    std::string port;
    std::vector<std::string> files;
    std::vector<std::string> assignments;
    bool noVerify = false;
};

// Each file a patch, then all the --set values as one more, in the order
// they apply.
bool ParsePatches(CliContext& context, const ApplyArguments& arguments, std::vector<ConfigFile>& files,
                  ConfigPatch& assignments) {
    for (const std::string& path : arguments.files) {
        files.emplace_back();
        if (!ReadSettingsFile(context, path, files.back())) return false;
    }
    for (const std::string& assignment : arguments.assignments) {
        std::string error;
        if (!ParseAssignment(assignment, "--set " + assignment, assignments, error)) {
            context.Error(error);
            context.exitStatus = EXIT_USAGE;
            return false;
        }
    }
    return true;
}

void RunApply(CliContext& context, const ApplyArguments& arguments) {
    if (arguments.files.empty() && arguments.assignments.empty()) {
        context.Error("Nothing to apply: give a configuration file or --set SECTION.NAME=VALUE.");
        context.exitStatus = EXIT_USAGE;
        return;
    }
    std::vector<ConfigFile> files;
    ConfigPatch assignments;
    if (!ParsePatches(context, arguments, files, assignments)) return;

    CliContext::Opened opened = context.OpenSession(arguments.port);
    if (!opened.session) return;
    std::string refusal;
    const auto patch = [&](EnvRecord& converter) {
        // All or nothing: the converter's record changes only when every
        // patch went on.
        EnvRecord patched = converter;
        for (const ConfigFile& file : files) {
            WarnOnOtherModel(context, file, converter);
            if (!ApplyPatch(file.patch, patched, refusal)) return false;
        }
        if (!ApplyPatch(assignments, patched, refusal)) return false;
        for (const SettingDifference& d : CompareRecords(converter, patched).settings)
            context.Detail(d.a.name + ": " + ShownText(d.a) + " -> " + ShownText(d.b));
        converter = patched;
        return true;
    };
    EnvRecord record{};
    const SessionResult result = opened.session->Change(record, patch, !arguments.noVerify);
    if (result == SessionResult::Refused) {
        context.Error(refusal + "\nNothing was written to the converter.");
        context.exitStatus = EXIT_USAGE;
        return;
    }
    context.FinishWrite(result, *opened.session, arguments.port,
                        "Settings written to " + arguments.port + " (" + ConsoleModeOf(*opened.session) + " mode)" +
                            (arguments.noVerify ? "; not read back." : ": verified."));
}

}  // namespace

void AddApplyCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<ApplyArguments>();
    CLI::App* command = app.add_subcommand(
        "apply",
        "Read the converter, apply configuration files in order and then the --set values (only the settings "
        "they name change), write, and read back to verify");
    command->add_option("PORT", arguments->port, "Serial port of the converter")->required();
    command->add_option("FILE", arguments->files, "Configuration files (.qcfg), applied in order");
    command
        ->add_option("--set", arguments->assignments,
                     "One setting, SECTION.NAME=VALUE (such as network.local_ip=192.168.1.50), applied after "
                     "the files; may be repeated")
        ->allow_extra_args(false);
    command->add_flag("--no-verify", arguments->noVerify, "Do not read the block back after writing");
    command->callback([&context, arguments] { RunApply(context, *arguments); });
}

}  // namespace quarnel
