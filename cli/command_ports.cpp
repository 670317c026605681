// quarnel-cli ports: the serial ports present, one a line.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/cli_context.h"
#include "cli/port_listing.h"

namespace quarnel {

void AddPortsCommand(CLI::App& app, CliContext& context) {
    CLI::App* command =
        app.add_subcommand("ports", "List the serial ports present, with what the system knows of them");
    command->callback([&context] {
        const std::vector<PortInfo> ports = ListPorts();
        if (ports.empty()) context.Note("No serial ports found.");
        for (const PortInfo& port : ports) {
            if (port.description.empty())
                std::printf("%s\n", port.name.c_str());
            else
                std::printf("%-16s %s\n", port.name.c_str(), port.description.c_str());
        }
        context.exitStatus = EXIT_OK;
    });
}

}  // namespace quarnel
