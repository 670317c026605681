// What every command of quarnel-cli shares: the common options, the exit
// status rules, the messages on stderr, the progress line, the cancel flag,
// and the helper that opens a converter session on a port.
//
// A command lives in its own file (command_<name>.cpp) and registers itself
// with Add<Name>Command(app, context); its callback sets context.exitStatus.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "cli/byte_line.h"
#include "cli/converter_session.h"
#include "cli/progress_line.h"
#include "cli/trace_line.h"

namespace CLI {
class App;
class Validator;
}  // namespace CLI

namespace quarnel {

// Exit statuses.
constexpr int EXIT_OK = 0;
constexpr int EXIT_CONVERTER = 1;  // the converter failed, or differs
constexpr int EXIT_USAGE = 2;      // usage, file or port error
constexpr int EXIT_CANCELLED = 130;

struct CommonOptions {
    std::string mode = "auto";  // auto | monitor | shell
    double timeoutScale = 1.0;
    bool quiet = false;
    bool verbose = false;
    std::string trace;  // --trace FILE, or empty
    bool noBackup = false;
};

class CliContext {
public:
    CommonOptions options;
    int exitStatus = EXIT_OK;
    // Raised by Ctrl-C; every session checks it.
    std::atomic<bool> cancel{false};

    // A message for the user on stderr (line ends as the terminal wants
    // them); Note only without -q, Detail only with -v.
    void Error(const std::string& text);
    void Note(const std::string& text);
    void Detail(const std::string& text);

    // Creates the --trace file if asked for and not done yet. False, said
    // and with exitStatus EXIT_USAGE, when it cannot be created.
    bool PrepareTrace();
    // Opens a port as every command does, traced with --trace (call
    // PrepareTrace first where lines open on several threads).
    std::unique_ptr<ByteLine> OpenLine(const std::string& port, LineError& error);

    // Opens the port and a session on it. On failure says why and returns
    // null, with exitStatus set to EXIT_USAGE.
    struct Opened {
        std::unique_ptr<ByteLine> line;
        std::unique_ptr<ConverterSession> session;
    };
    Opened OpenSession(const std::string& port);

    // Ends the progress line, then reports a session's failure (the exit
    // status for `result` is returned and stored).
    int Finish(SessionResult result, const ConverterSession& session);
    // Ends a command that writes to the converter on `port`: a failure as
    // Finish reports it, and for a write that stopped part-way how to put
    // the converter back; on success the note `written`, or that the
    // converter held the change already.
    int FinishWrite(SessionResult result, const ConverterSession& session, const std::string& port,
                    const std::string& written);

    // The backup this command saved of the converter before writing, if any.
    std::string backupPath;
    // Saves the automatic backup of `converter` (backupPath then names it).
    bool SaveAutomaticBackup(const EnvRecord& converter, std::string& reason);

    ProgressLine& Progress() { return progress_; }

    // The console mode --mode asks for.
    ConsoleChoice Console() const;

private:
    ProgressLine progress_;
    std::unique_ptr<TraceLog> trace_;
};

// A number from `low` to `high`, refused as "not a number" or with the
// range in words.
CLI::Validator NumberFrom(double low, double high);

// The message for an unknown command, if the first word of the command line
// names none of `app`'s commands; empty otherwise.
std::string UnknownCommand(const CLI::App& app, int argc, const char* const* argv);

// The common options, on the top-level app (they may follow the command).
void AddCommonOptions(CLI::App& app, CommonOptions& options);

// The commands.
void AddPortsCommand(CLI::App& app, CliContext& context);
void AddFactoryCommand(CLI::App& app, CliContext& context);
void AddPasswordCommand(CLI::App& app, CliContext& context);
void AddShowCommand(CLI::App& app, CliContext& context);
void AddSaveCommand(CLI::App& app, CliContext& context);
void AddApplyCommand(CLI::App& app, CliContext& context);
void AddRestoreCommand(CLI::App& app, CliContext& context);
void AddDiffCommand(CLI::App& app, CliContext& context);
void AddProvisionCommand(CLI::App& app, CliContext& context);
void AddBackupsCommand(CLI::App& app, CliContext& context);

}  // namespace quarnel
