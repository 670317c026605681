#include "cli/cli_context.h"

#include <CLI/CLI.hpp>

#include "configfile/backups.h"

#include <cstdio>
#include <sstream>

namespace quarnel {

namespace {

// The window's texts break lines with "\r\n"; a terminal wants "\n".
std::string ForTerminal(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out.push_back(c);
    return out;
}

ConsoleChoice ChoiceFor(const std::string& mode) {
    if (mode == "monitor") return ConsoleChoice::Monitor;
    if (mode == "shell") return ConsoleChoice::Shell;
    return ConsoleChoice::Auto;
}

}  // namespace

void CliContext::Error(const std::string& text) {
    progress_.End();
    std::fprintf(stderr, "%s\n", ForTerminal(text).c_str());
}

void CliContext::Note(const std::string& text) {
    if (!options.quiet) Error(text);
}

void CliContext::Detail(const std::string& text) {
    if (options.verbose && !options.quiet) Error(text);
}

bool CliContext::SaveAutomaticBackup(const EnvRecord& converter, std::string& reason) {
    if (!SaveToBackupFolder(converter, backupPath, reason)) return false;
    Note("The converter's settings before the write are saved in " + backupPath + ".");
    return true;
}

bool CliContext::PrepareTrace() {
    if (options.trace.empty() || trace_) return true;
    trace_ = std::make_unique<TraceLog>(options.trace);
    if (trace_->Ready()) return true;
    Error("Cannot create the trace file " + options.trace + ".");
    exitStatus = EXIT_USAGE;
    return false;
}

std::unique_ptr<ByteLine> CliContext::OpenLine(const std::string& port, LineError& error) {
    std::unique_ptr<ByteLine> line = OpenByteLine(port, error);
    return trace_ && trace_->Ready() ? TracedLine(std::move(line), *trace_) : std::move(line);
}

CliContext::Opened CliContext::OpenSession(const std::string& port) {
    Opened opened;
    if (!PrepareTrace()) return opened;
    LineError error;
    opened.line = OpenLine(port, error);
    if (!opened.line) {
        Error(error.message);
        exitStatus = EXIT_USAGE;
        return opened;
    }
    progress_.Enable(!options.quiet);
    SessionSettings settings;
    settings.console = ChoiceFor(options.mode);
    settings.timeoutScale = options.timeoutScale;
    settings.cancel = &cancel;
    settings.progress = [this](const SessionProgress& p) { progress_.Show(p); };
    if (!options.noBackup)
        settings.beforeWrite = [this](const EnvRecord& converter, std::string& reason) {
            return SaveAutomaticBackup(converter, reason);
        };
    opened.session = std::make_unique<ConverterSession>(*opened.line, std::move(settings));
    Detail("Opened " + port + ".");
    return opened;
}

ConsoleChoice CliContext::Console() const { return ChoiceFor(options.mode); }

int CliContext::Finish(SessionResult result, const ConverterSession& session) {
    progress_.End();
    switch (result) {
        case SessionResult::Ok:
        case SessionResult::Unchanged: return exitStatus = EXIT_OK;
        case SessionResult::NoResponse: Error(session.Message()); return exitStatus = EXIT_CONVERTER;
        case SessionResult::Differs: Error(session.Message()); return exitStatus = EXIT_CONVERTER;
        case SessionResult::Cancelled: Error(session.Message()); return exitStatus = EXIT_CANCELLED;
        case SessionResult::Refused:
        case SessionResult::NotSaved:
        case SessionResult::LineFailed: Error(session.Message()); return exitStatus = EXIT_USAGE;
    }
    return exitStatus = EXIT_USAGE;
}

int CliContext::FinishWrite(SessionResult result, const ConverterSession& session, const std::string& port,
                            const std::string& written) {
    if (result == SessionResult::Ok || result == SessionResult::Unchanged) {
        progress_.End();
        Note(result == SessionResult::Ok
                 ? written
                 : "The converter on " + port + " already holds these settings; nothing was written.");
        return exitStatus = EXIT_OK;
    }
    Finish(result, session);
    if (session.PartlyWritten()) Error(RestoreAdvice(port, backupPath));
    return exitStatus;
}

CLI::Validator NumberFrom(double low, double high) {
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            double value = 0;
            if (!CLI::detail::lexical_cast(text, value)) return "\"" + text + "\" is not a number";
            if (value < low || value > high) {
                std::ostringstream range;
                range << "must be from " << low << " to " << high;
                if (high >= 1e9) range.str("must be at least " + CLI::detail::to_string(low));
                return range.str();
            }
            return std::string();
        },
        "");
}

std::string UnknownCommand(const CLI::App& app, int argc, const char* const* argv) {
    // The common options that take a value, written apart from it.
    static const char* const VALUED[] = {"--mode", "--timeout-scale", "--trace"};
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.empty() || word[0] == '-') {
            for (const char* valued : VALUED) i += word == valued ? 1 : 0;
            continue;
        }
        std::string names;
        for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
            if (command->get_name() == word) return "";
            names += (names.empty() ? "" : ", ") + command->get_name();
        }
        return "unknown command \"" + word + "\"; the commands are " + names + ".";
    }
    return "";
}

void AddCommonOptions(CLI::App& app, CommonOptions& options) {
    app.add_option("--mode", options.mode,
                   "Console mode of the converter: auto probes monitor mode (115200 bps), then shell mode "
                   "(19200 bps)")
        ->check(CLI::IsMember({"auto", "monitor", "shell"}))
        ->capture_default_str();
    app.add_option("--timeout-scale", options.timeoutScale, "Multiply every reply time-out by this (slow lines)")
        ->check(NumberFrom(0.1, 100.0))
        ->capture_default_str();
    app.add_flag("-q,--quiet", options.quiet, "Only errors; no progress");
    app.add_flag("-v,--verbose", options.verbose, "Say more about each step");
    app.add_flag("--no-backup", options.noBackup,
                 "Do not save the converter's settings in the backups folder before writing to it");
    app.add_option("--trace", options.trace,
                   "Write the serial dialogue to this file, one line per transfer (it holds the converter's "
                   "keys and password field: it is created readable by you only)")
        ->type_name("FILE");
}

}  // namespace quarnel
