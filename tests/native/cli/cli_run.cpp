#include "tests/native/cli/cli_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace clitest {

namespace {

std::string Contents(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[512];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

// The runs' state folder (and so their backups): one of the test process's
// own, removed when it ends, never the user's.
const std::string& StateFolder() {
    // Kept to the very end: the removal at exit still needs the name.
    static const std::string* folder = [] {
        char pattern[] = "/tmp/quarnel-state.XXXXXX";
        auto* made = new std::string(mkdtemp(pattern) != nullptr ? pattern : "");
        setenv("XDG_STATE_HOME", made->c_str(), 1);
        std::atexit([] { std::filesystem::remove_all(StateFolder()); });
        return made;
    }();
    return *folder;
}

}  // namespace

std::string BackupsFolder() { return StateFolder() + "/quarnel/backups"; }

CliRun RunCli(const std::vector<std::string>& args, const std::string& input, double interruptAfter) {
    StateFolder();
    // Files, not pipes: nothing to read while the program runs, so nothing can block.
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    if (in == nullptr || out == nullptr || err == nullptr) return {};
    std::fwrite(input.data(), 1, input.size(), in);
    std::fflush(in);
    std::rewind(in);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fileno(in), 0);
        dup2(fileno(out), 1);
        dup2(fileno(err), 2);
        std::vector<std::string> all = {QUARNEL_CLI_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(QUARNEL_CLI_PATH, argv.data());
        _exit(127);
    }
    if (interruptAfter > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(interruptAfter));
        kill(pid, SIGINT);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    std::fclose(in);
    CliRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.output = Contents(out);
    run.errors = Contents(err);
    return run;
}

}  // namespace clitest
