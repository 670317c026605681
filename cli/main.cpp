// quarnel-cli: the converter from the command line.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "product_version.h"
#include "cli/cli_context.h"
#include "cli/console_io.h"

namespace {

constexpr char EXAMPLES[] =
    "\nExamples:\n"
    "  quarnel-cli ports\n"
    "  quarnel-cli factory /dev/ttyUSB0\n"
    "  quarnel-cli factory COM3 --mode shell --timeout-scale 2\n"
    "  quarnel-cli password /dev/ttyUSB0\n"
    "  echo 'secret' | quarnel-cli password /dev/ttyUSB0 --password-stdin\n"
    "  quarnel-cli password /dev/ttyUSB0 --delete\n"
    "  quarnel-cli show /dev/ttyUSB0\n"
    "  quarnel-cli save /dev/ttyUSB0 backup.qcfg\n"
    "  quarnel-cli apply /dev/ttyUSB0 site.qcfg line-7.qcfg --set network.local_ip=10.1.0.5\n"
    "  quarnel-cli restore /dev/ttyUSB0 backup.qcfg\n"
    "  quarnel-cli diff backup.qcfg /dev/ttyUSB0\n"
    "  quarnel-cli provision bench.csv --template site.qcfg --backup backups --report done.csv\n"
    "  quarnel-cli backups /dev/ttyUSB0\n"
    "\nBefore every write the converter's settings are saved in the backups folder\n"
    "($XDG_STATE_HOME/quarnel/backups, by default ~/.local/state/quarnel/backups; on Windows\n"
    "Quarnel\\backups in the local application data folder); --no-backup saves none.\n"
    "\nExit status: 0 success, 1 the converter failed or differs, 2 usage, file or port error,\n"
    "130 interrupted.\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace quarnel;
    CliContext context;
    CLI::App app("Configures Tarvo serial converters through their serial console.", "quarnel-cli");
    app.set_version_flag("--version", std::string("quarnel-cli, ") + QUARNEL_VERSION_LINE);
    app.footer(EXAMPLES);
    app.require_subcommand(1);
    // The common options may also follow the command and its port.
    app.fallthrough();
    AddCommonOptions(app, context.options);
    AddPortsCommand(app, context);
    AddFactoryCommand(app, context);
    AddPasswordCommand(app, context);
    AddShowCommand(app, context);
    AddSaveCommand(app, context);
    AddApplyCommand(app, context);
    AddRestoreCommand(app, context);
    AddDiffCommand(app, context);
    AddProvisionCommand(app, context);
    AddBackupsCommand(app, context);

    const std::string unknown = UnknownCommand(app, argc, argv);
    if (!unknown.empty()) {
        std::fprintf(stderr, "quarnel-cli: %s\n", unknown.c_str());
        return EXIT_USAGE;
    }
    CancelOnInterrupt(context.cancel);
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help, --version
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return EXIT_USAGE;
    }
    return context.exitStatus;
}
