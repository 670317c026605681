// quarnel-cli show PORT: the converter's settings as the configuration file
// names them, as a table or (--format qcfg) as the file itself.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>

#include "cli/cli_context.h"
#include "cli/json_output.h"
#include "cli/settings_files.h"

namespace quarnel {

namespace {

struct ShowArguments {
    std::string port;
    std::string format = "table";
};

// "section.name  value" with the values in one column; the converter's
// identity first, under the file's [about] names.
void PrintTable(const EnvRecord& record) {
    std::vector<NamedSetting> rows = {
        {"about.mac", MacText(record.main.mac_address()), true},
        {"about.model_code", std::to_string(record.main.model_code()), true},
        {"about.firmware", FirmwareLabel(record.main), true},
    };
    for (NamedSetting& setting : ListSettings(record)) rows.push_back(std::move(setting));
    std::size_t width = 0;
    for (const NamedSetting& row : rows) width = std::max(width, row.name.size());
    for (const NamedSetting& row : rows) {
        const std::string value = ShownText(row);
        if (value.empty())
            std::printf("%s\n", row.name.c_str());
        else
            std::printf("%-*s  %s\n", static_cast<int>(width), row.name.c_str(), value.c_str());
    }
}

void RunShow(CliContext& context, const ShowArguments& arguments) {
    EnvRecord record{};
    if (!ReadConverterRecord(context, arguments.port, record)) return;
    if (arguments.format == "qcfg" || arguments.format == "json") {
        std::string text = WriteConfigText(record, AboutForSave(record.main));
        if (arguments.format == "json") text = SettingsTextAsJson(text);
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else {
        PrintTable(record);
    }
    std::fflush(stdout);
    context.exitStatus = EXIT_OK;
}

}  // namespace

void AddShowCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<ShowArguments>();
    CLI::App* command = app.add_subcommand(
        "show", "Read the converter and print its settings under the names of the configuration file");
    command->add_option("PORT", arguments->port, "Serial port of the converter")->required();
    command
        ->add_option("--format", arguments->format,
                     "table: one setting a line, marked where the window does not show the converter's value "
                     "as it is; qcfg: the configuration file as save writes it; json: the same as one JSON "
                     "document")
        ->check(CLI::IsMember({"table", "qcfg", "json"}))
        ->capture_default_str();
    command->callback([&context, arguments] { RunShow(context, *arguments); });
}

}  // namespace quarnel
