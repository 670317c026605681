// quarnel-cli factory PORT: what Initialize ENV does, verified.
#include <CLI/CLI.hpp>

#include "cli/cli_context.h"

namespace quarnel {

namespace {

struct FactoryArguments {
    std::string port;
};

void RunFactory(CliContext& context, const FactoryArguments& arguments) {
    CliContext::Opened opened = context.OpenSession(arguments.port);
    if (!opened.session) return;
    EnvRecord record{};
    const SessionResult result = opened.session->Initialize(record);
    context.FinishWrite(result, *opened.session, arguments.port,
                        "Factory values written to " + arguments.port + " (" +
                            (opened.session->MonitorMode() ? "monitor" : "shell") + " mode): verified.");
}

}  // namespace

void AddFactoryCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<FactoryArguments>();
    CLI::App* command = app.add_subcommand(
        "factory", "Reset the converter to the factory values of its model (as Initialize ENV), then verify");
    command->add_option("PORT", arguments->port, "Serial port of the converter")->required();
    command->callback([&context, arguments] { RunFactory(context, *arguments); });
}

}  // namespace quarnel
