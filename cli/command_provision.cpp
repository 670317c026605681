// quarnel-cli provision PLAN --template FILE: many converters side by side,
// one row of the plan each.
#include <CLI/CLI.hpp>

#include <ctime>
#include <filesystem>

#include "product_version.h"
#include "cli/cli_context.h"
#include "cli/console_io.h"
#include "cli/json_output.h"
#include "cli/provision_display.h"
#include "cli/provision_plan.h"
#include "cli/provision_runner.h"
#include "configfile/backups.h"
#include "configfile/text_file.h"

namespace quarnel {

namespace {

constexpr char PROVISION_FOOTER[] =
    "\nThe plan is a CSV file (RFC 4180: fields with commas, quotes or line ends in double quotes,\n"
    "a quote inside doubled). Its header is \"port\", then settings named as in a configuration file:\n"
    "\n"
    "  port,network.local_ip,comment.text\n"
    "  /dev/ttyUSB0,10.1.0.11,\"Hall 3, line 1\"\n"
    "  /dev/ttyUSB1,10.1.0.12,\n"
    "\n"
    "Each row: read the converter, apply the template's settings, then the row's, write, verify.\n"
    "An empty cell leaves that setting as the template (or else the converter) has it. Only the\n"
    "template's named settings are used, not its [block]. Rows are numbered as a spreadsheet shows\n"
    "them (the header is row 1). Every row is checked before any converter is touched: a bad cell or\n"
    "a port in two rows sends nothing. Whether a value suits a converter's model is checked after\n"
    "reading it: a refusal fails that row only, with nothing written.\n"
    "\n"
    "All rows run at once, each on its own port (--jobs limits how many at a time). --backup saves\n"
    "each converter's settings before writing as DIR/tarvo-<MAC>.qcfg (an existing file is kept: the\n"
    "next is tarvo-<MAC>-2.qcfg); a failed backup fails the row before writing. Ctrl-C: rows not yet\n"
    "started are not touched, rows writing are reported \"interrupted\".\n"
    "\n"
    "Exit status: 0 every row written and verified, 1 any row failed, 2 the plan, template or options\n"
    "refused (nothing sent), 130 interrupted.\n";

struct ProvisionArguments {
    std::string plan;
    std::string templateFile;
    std::string backupDir;
    std::string report;
    int jobs = 0;
};

bool ReadFileOrSay(CliContext& context, const std::string& path, const char* what, std::string& text) {
    std::string reason;
    if (ReadTextFile(path, text, reason)) return true;
    context.Error(std::string("Cannot read the ") + what + " " + path + ": " + reason + ".");
    return false;
}

// The plan with the template's settings in every row; false (and said why)
// when anything in either is refused.
bool LoadPlan(CliContext& context, const ProvisionArguments& arguments, ProvisionPlan& plan) {
    std::string text;
    std::string error;
    ConfigFile templateFile;
    if (!ReadFileOrSay(context, arguments.templateFile, "template", text)) return false;
    if (!ParseConfigText(text, arguments.templateFile, templateFile, error)) {
        context.Error(error + ".");
        return false;
    }
    if (!ReadFileOrSay(context, arguments.plan, "plan", text)) return false;
    if (!ParsePlan(text, arguments.plan, templateFile.patch, plan, error)) {
        context.Error(error + ". Nothing was sent to any converter.");
        return false;
    }
    return true;
}

// The backup folder and the report can take the files before any converter
// is touched.
bool PrepareFolders(CliContext& context, const ProvisionArguments& arguments) {
    std::string reason;
    if (!arguments.backupDir.empty()) {
        std::error_code failure;
        std::filesystem::create_directories(arguments.backupDir, failure);
        if (failure) reason = failure.message();
        if (failure || !CheckSaveFolder(arguments.backupDir, reason)) {
            context.Error("Cannot use " + arguments.backupDir + " as the backup folder: " + reason + ".");
            return false;
        }
    }
    if (!arguments.report.empty() && !CheckSaveTarget(arguments.report, reason)) {
        context.Error("Cannot save the report " + arguments.report + ": " + reason + ".");
        return false;
    }
    return true;
}

int ExitStatusOf(const std::vector<RowStatus>& rows) {
    int status = EXIT_OK;
    for (const RowStatus& row : rows) {
        switch (row.result) {
            case RowResult::Verified:
            case RowResult::Unchanged: break;
            case RowResult::Interrupted:
            case RowResult::Cancelled:
            case RowResult::NotStarted: return EXIT_CANCELLED;
            default: status = EXIT_CONVERTER; break;
        }
    }
    return status;
}

// Each row's converter is saved before it is written: with --backup DIR as
// DIR/tarvo-<MAC>.qcfg (-2, -3 ... when taken), else as every command saves
// it, in the backups folder; --no-backup saves nothing.
std::function<bool(const EnvRecord&, std::string&, std::string&)> BackupSaver(const CliContext& context,
                                                                              const std::string& folder) {
    if (!folder.empty()) {
        const std::string savedAt = LocalTimeText();
        return [folder, savedAt](const EnvRecord& converter, std::string& path, std::string& reason) {
            const std::string text = WriteConfigText(converter, AboutOf(converter.main, savedAt, QUARNEL_MAIN_CAPTION));
            if (SaveTextAsNewFile(folder, ConfigFileStem(converter.main.mac_address()), SETTINGS_FILE_EXTENSION, text,
                                  path, reason))
                return true;
            reason = "Cannot save the backup in " + folder + ": " + reason;
            return false;
        };
    }
    if (context.options.noBackup) return nullptr;
    return SaveToBackupFolder;
}

void RunProvision(CliContext& context, const ProvisionArguments& arguments) {
    context.exitStatus = EXIT_USAGE;
    ProvisionPlan plan;
    if (!LoadPlan(context, arguments, plan) || !PrepareFolders(context, arguments)) return;

    ProvisionSettings settings;
    settings.console = context.Console();
    settings.timeoutScale = context.options.timeoutScale;
    settings.cancel = &context.cancel;
    settings.jobs = arguments.jobs;
    settings.saveBackup = BackupSaver(context, arguments.backupDir);
    if (!context.PrepareTrace()) return;
    settings.openLine = [&context](const std::string& port, LineError& error) { return context.OpenLine(port, error); };

    // Step lines are for a person watching: off a terminal (a log, a pipe)
    // only the results are written.
    const DisplayKind kind = context.options.quiet || !StderrIsTerminal() ? DisplayKind::None
                             : StderrTakesCursorMoves()                   ? DisplayKind::Live
                                                                          : DisplayKind::Events;
    ProvisionDisplay display(plan, kind, stderr);
    ProvisionRunner runner(plan, std::move(settings));
    runner.Run([&display](const std::vector<RowStatus>& rows) { display.Update(rows); });
    const std::vector<RowStatus>& rows = runner.Statuses();

    // The result table is the command's output: -q silences progress only.
    std::fputs(("\n" + SummaryTable(plan, rows)).c_str(), stdout);
    std::fflush(stdout);
    int verified = 0, unchanged = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].result == RowResult::Verified)
            ++verified;
        else if (rows[i].result == RowResult::Unchanged)
            ++unchanged;
        else if (!rows[i].message.empty())
            context.Error("row " + std::to_string(plan.rows[i].row) + ", " + plan.rows[i].port + ": " +
                          rows[i].message);
    }
    context.exitStatus = ExitStatusOf(rows);
    context.Note(std::to_string(verified) + " of " + std::to_string(rows.size()) + " converters written and verified" +
                 (unchanged > 0 ? ", " + std::to_string(unchanged) + " held these settings already." : "."));

    if (!arguments.report.empty()) {
        std::string reason;
        const bool json = std::filesystem::path(arguments.report).extension() == ".json";
        if (!SaveTextAtomically(arguments.report, json ? ReportAsJson(plan, rows) : ReportCsv(plan, rows), reason)) {
            context.Error("Cannot save the report " + arguments.report + ": " + reason + ".");
            if (context.exitStatus == EXIT_OK) context.exitStatus = EXIT_USAGE;
        }
    }
}

}  // namespace

void AddProvisionCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<ProvisionArguments>();
    CLI::App* command = app.add_subcommand(
        "provision", "Configure many converters at once: one template, one CSV row (port and values) each");
    command->add_option("PLAN", arguments->plan, "CSV file: a header port,<setting>,..., one row a converter")
        ->required()
        ->type_name("FILE");
    command->add_option("--template", arguments->templateFile, "Configuration file with the settings all rows share")
        ->required()
        ->type_name("FILE");
    command
        ->add_option("--backup", arguments->backupDir,
                     "Save each converter's configuration in this folder before writing it")
        ->type_name("DIR");
    command
        ->add_option("--report", arguments->report,
                     "Write the summary to this file: CSV, or JSON when its name ends in .json")
        ->type_name("FILE");
    command
        ->add_option("--jobs", arguments->jobs, "At most this many converters at a time (default: every row at once)")
        ->check(NumberFrom(1, 1e9));
    command->footer(PROVISION_FOOTER);
    command->callback([&context, arguments] { RunProvision(context, *arguments); });
}

}  // namespace quarnel
