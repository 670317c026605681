#include "cli/console_io.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <iostream>

namespace quarnel {

// A new file gets the folder's inherited permissions: on Windows the
// user's own profile folders are private already.
std::FILE* CreatePrivateFile(const std::string& path) { return std::fopen(path.c_str(), "wb"); }

namespace {

// The flag Ctrl-C raises; set once, before the handler is installed.
std::atomic<bool>* interruptFlag = nullptr;

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    if (interruptFlag == nullptr || interruptFlag->load()) return FALSE;  // the second one ends the program
    interruptFlag->store(true);
    return TRUE;
}

}  // namespace

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

bool StderrTakesCursorMoves() {
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
    constexpr DWORD ENABLE_VIRTUAL_TERMINAL_PROCESSING = 0x0004;
#endif
    // Consoles before Windows 10 refuse the mode: they get plain lines.
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!StderrIsTerminal() || !GetConsoleMode(error, &mode)) return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0 ||
           SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool ReadSecretLine(const char* prompt, std::string& line) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    const bool console = GetConsoleMode(input, &saved) != 0;
    if (console) SetConsoleMode(input, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    const bool got = static_cast<bool>(std::getline(std::cin, line));
    if (console) {
        SetConsoleMode(input, saved);
        std::fputc('\n', stderr);
    }
    DropLineEnd(line);
    return got;
}

void CancelOnInterrupt(std::atomic<bool>& flag) {
    interruptFlag = &flag;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

}  // namespace quarnel
