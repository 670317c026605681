#include "cli/console_io.h"

#include <fcntl.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace quarnel {

namespace {

// The flag Ctrl-C raises; set once, before the handler is installed.
std::atomic<bool>* interruptFlag = nullptr;

extern "C" void OnInterrupt(int) {
    if (interruptFlag != nullptr) interruptFlag->store(true);
}

}  // namespace

std::FILE* CreatePrivateFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, "w");
    if (file == nullptr) close(fd);
    return file;
}

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

bool StdinIsTerminal() { return isatty(STDIN_FILENO) != 0; }

bool StderrTakesCursorMoves() {
    const char* term = std::getenv("TERM");
    return StderrIsTerminal() && term != nullptr && std::strcmp(term, "dumb") != 0;
}

bool ReadSecretLine(const char* prompt, std::string& line) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    termios saved;
    const bool haveTerminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const bool got = static_cast<bool>(std::getline(std::cin, line));
    if (haveTerminal) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    DropLineEnd(line);
    return got;
}

void CancelOnInterrupt(std::atomic<bool>& flag) {
    interruptFlag = &flag;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    // The second Ctrl-C ends the program the ordinary way.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace quarnel
