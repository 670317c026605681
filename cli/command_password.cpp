// quarnel-cli password PORT: sets (or --delete deletes) the console password.
#include <CLI/CLI.hpp>

#include "cli/cli_context.h"
#include "cli/console_io.h"
#include "configfile/latin1_text.h"
#include "envrecord/password_block.h"

namespace quarnel {

namespace {

struct PasswordArguments {
    std::string port;
    bool deletePassword = false;
    bool fromStdin = false;
};

// The new password, typed twice on the terminal or given once on stdin;
// checked as the window's password dialog checks it. False (and said why)
// when there is none to take.
bool TakePassword(CliContext& context, const PasswordArguments& arguments, std::string& password) {
    if (arguments.fromStdin) {
        if (!ReadStdinLine(password)) {
            context.Error("No password on standard input.");
            return false;
        }
        std::string more;
        if (ReadStdinLine(more)) {
            context.Error("Standard input holds more than one line; give the password alone on one line.");
            return false;
        }
    } else {
        if (!StdinIsTerminal()) {
            context.Error("No terminal to read the password from; give it with --password-stdin.");
            return false;
        }
        std::string retyped;
        if (!ReadSecretLine("New password: ", password) || !ReadSecretLine("Retype new password: ", retyped)) {
            context.Error(context.cancel ? "Cancelled." : "No password entered.");
            return false;
        }
        if (password != retyped) {
            context.Error("Password does not match.");
            return false;
        }
    }
    if (password.empty()) {
        // The window stores an empty password as "no password"; on the
        // command line that is asked for by name.
        context.Error("The password is empty; to remove the password use --delete.");
        return false;
    }
    // The converter keeps a byte a character: the typed text (UTF-8) becomes
    // Latin-1, and only characters it can show are taken.
    std::string bytes;
    if (!Utf8ToLatin1(password, bytes)) {
        context.Error(
            "The password holds a character the converter cannot keep: only Latin-1 letters, digits "
            "and signs are taken.");
        return false;
    }
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) {
            context.Error("The password holds a control character; the converter cannot keep it.");
            return false;
        }
    }
    password = bytes;
    if (password.size() > static_cast<size_t>(PASSWORD_MAX_CHARS)) {
        context.Error("The password has more than " + std::to_string(PASSWORD_MAX_CHARS) + " characters.");
        return false;
    }
    return true;
}

void RunPassword(CliContext& context, const PasswordArguments& arguments) {
    std::string password;
    if (!arguments.deletePassword && !TakePassword(context, arguments, password)) {
        // Ctrl-C at the prompt ends the wait for the line.
        context.exitStatus = context.cancel ? EXIT_CANCELLED : EXIT_USAGE;
        return;
    }
    MainBlock::PasswordBlock block;
    if (!BuildPasswordBlock(arguments.deletePassword ? 1 : 0, password, block)) {
        context.exitStatus = EXIT_USAGE;
        return;
    }

    CliContext::Opened opened = context.OpenSession(arguments.port);
    if (!opened.session) return;
    EnvRecord record{};
    const SessionResult result = opened.session->SetPasswordBlock(block, record);
    context.FinishWrite(result, *opened.session, arguments.port,
                        std::string(arguments.deletePassword ? "Password deleted on " : "Password set on ") +
                            arguments.port + ": verified.");
}

}  // namespace

void AddPasswordCommand(CLI::App& app, CliContext& context) {
    auto arguments = std::make_shared<PasswordArguments>();
    CLI::App* command =
        app.add_subcommand("password", "Set the converter's console password (typed twice, not shown), or delete it");
    command->add_option("PORT", arguments->port, "Serial port of the converter")->required();
    CLI::Option* remove = command->add_flag("--delete", arguments->deletePassword, "Delete the password");
    command->add_flag("--password-stdin", arguments->fromStdin, "Read the password, once, from standard input")
        ->excludes(remove);
    command->callback([&context, arguments] { RunPassword(context, *arguments); });
}

}  // namespace quarnel
