// quarnel-cli backups [PORT|MAC]: the automatic backups saved before each
// write, newest first: file, MAC address, time. With a MAC address (or the
// port of a converter, which is read for it) only that converter's.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "cli/cli_context.h"
#include "cli/settings_files.h"
#include "configfile/backups.h"

namespace quarnel {

namespace {

struct BackupsArguments {
    std::string which;  // empty, a MAC address or a port
};

// "021FA0000BFF" for any spelling of a MAC address, or empty when `text`
// is not one.
std::string MacKey(const std::string& text) {
    std::string key;
    for (char c : text) {
        if (c == ':' || c == '-') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) return "";
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return key.size() == 12 ? key : "";
}

void RunBackups(CliContext& context, const BackupsArguments& arguments) {
    std::string reason;
    const std::string folder = BackupFolder(reason);
    if (folder.empty()) {
        context.Error(reason);
        context.exitStatus = EXIT_USAGE;
        return;
    }
    std::string mac = MacKey(arguments.which);
    if (!arguments.which.empty() && mac.empty()) {
        EnvRecord record{};
        if (!ReadConverterRecord(context, arguments.which, record)) return;
        mac = MacKey(MacText(record.main.mac_address(), ":"));
    }
    std::vector<BackupEntry> entries = ListBackups(folder);
    if (!mac.empty())
        entries.erase(
            std::remove_if(entries.begin(), entries.end(), [&](const BackupEntry& e) { return MacKey(e.mac) != mac; }),
            entries.end());
    for (const BackupEntry& e : entries) std::printf("%s  %s  %s\n", e.path.c_str(), e.mac.c_str(), e.savedAt.c_str());
    std::fflush(stdout);
    if (entries.empty()) context.Note("No backups in " + folder + (mac.empty() ? "." : " of that converter."));
    context.exitStatus = EXIT_OK;
}

}  // namespace

void AddBackupsCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<BackupsArguments>();
    CLI::App* command = app.add_subcommand(
        "backups",
        "List the automatic backups (the converter's settings saved before every write), newest first: file, MAC "
        "address, time");
    command->add_option("PORT|MAC", arguments->which,
                        "Only the backups of this converter: its MAC address, or its port (read for the address)");
    command->callback([&context, arguments] { RunBackups(context, *arguments); });
}

}  // namespace quarnel
