#include "tests/native/cli/cli_run.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace clitest {

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::string& input, double interruptAfter) {
    int in[2], err[2];
    if (pipe(in) != 0 || pipe(err) != 0) return {};
    // stdout into a file: two pipes read in turn could block each other.
    std::FILE* out = std::tmpfile();
    if (out == nullptr) return {};
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(fileno(out), 1);
        dup2(err[1], 2);
        close(in[1]);
        close(err[0]);
        setenv("LD_PRELOAD", PTY_SHIM_PATH, 1);
        // The sanitizer build would refuse a library preloaded before its own.
        setenv("ASAN_OPTIONS", "verify_asan_link_order=0", 1);
        std::vector<std::string> all = {QUARNEL_CLI_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(QUARNEL_CLI_PATH, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(err[1]);
    if (!input.empty()) (void)!write(in[1], input.data(), input.size());
    close(in[1]);
    CliRun run;
    bool interrupted = false;
    Clock::time_point interruptedAt;
    for (;;) {
        int waitMs = -1;
        if (interruptAfter > 0 && !interrupted) {
            const double left = interruptAfter - Since(start);
            if (left <= 0) {
                kill(pid, SIGINT);
                interrupted = true;
                interruptedAt = Clock::now();
                continue;
            }
            waitMs = static_cast<int>(left * 1000) + 1;
        }
        pollfd fd = {err[0], POLLIN, 0};
        if (poll(&fd, 1, waitMs) == 0) continue;
        char buffer[512];
        const ssize_t n = read(err[0], buffer, sizeof buffer);
        if (n <= 0) break;
        run.errors.append(buffer, static_cast<size_t>(n));
    }
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.seconds = Since(start);
    if (interrupted) run.secondsAfterInterrupt = std::chrono::duration<double>(Clock::now() - interruptedAt).count();
    std::rewind(out);
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, out)) > 0) run.output.append(buffer, n);
    std::fclose(out);
    return run;
}

}  // namespace clitest
