#pragma once

// Drives the real quarnel.exe from another process, the way a user would:
// through window messages to its controls, by caption and control id.
//
// Everything here waits with a bound; a wait that runs out reports failure
// instead of hanging the caller.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// A program of the build: found beside the running executable or in a
// folder above it (quarnel.exe, quarnel-cli.exe).
std::string ProgramPath(const char* fileName);

// Visible top-level windows of a process, and the children of a window.
std::vector<HWND> TopLevelOf(DWORD pid);
std::vector<HWND> ChildrenOf(HWND window);

// Polls `done` (pumping this thread's messages between polls) until it
// returns true or `timeoutMs` passes. Returns the last result of `done`.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

// A message box or other top-level dialog the program shows.
struct ShownBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;  // the message text (static 0xFFFF of a message box)
};

class AppDriver {
public:
    AppDriver() = default;
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;
    ~AppDriver();  // ends the program if it still runs

    // Starts the program (by default the build's quarnel.exe) and waits for
    // its main window.
    bool Launch(const std::string& exePath = ProgramPath("quarnel.exe"), DWORD timeoutMs = 20000);
    // Waits for the process to end; returns false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    void Kill();

    HWND Main() const { return main_; }
    DWORD ProcessId() const { return process_.dwProcessId; }
    DWORD ThreadId() const { return process_.dwThreadId; }
    HWND Control(int id) const;  // a control of the main window

    // Controls of the main window (or of `dialog` when given).
    // A click does nothing on a disabled control, as a user's would.
    void Click(int id, HWND dialog = nullptr);
    void SetText(int id, const std::string& text, HWND dialog = nullptr);
    std::string Text(int id, HWND dialog = nullptr) const;
    bool Enabled(int id, HWND dialog = nullptr) const;
    bool Checked(int id, HWND dialog = nullptr) const;
    // Selects a list entry and tells the dialog, as a user's choice would.
    void Select(int id, int index, HWND dialog = nullptr);
    int Selection(int id, HWND dialog = nullptr) const;
    int ItemCount(int id, HWND dialog = nullptr) const;
    std::string Item(int id, int index, HWND dialog = nullptr) const;
    // Adds an entry to a list (CB_ADDSTRING); its index, or -1.
    int AddItem(int id, const std::string& text, HWND dialog = nullptr);
    // IPv4 address control, host order.
    DWORD Address(int id) const;
    void SetAddress(int id, DWORD hostOrder);
    // Moves the keyboard focus inside the program to the control (its old
    // owner gets its kill-focus notification).
    void Focus(int id, HWND dialog = nullptr);
    HWND FocusedWindow() const;

    // Top-level windows of the program other than the main window.
    HWND FindTopLevel(const std::string& caption) const;
    bool WaitForTopLevel(const std::string& caption, DWORD timeoutMs, ShownBox* box);
    bool WaitGone(HWND window, DWORD timeoutMs);
    // A message box (a dialog with a message text) with this caption.
    HWND FindMessageBox(const std::string& caption) const;
    // Waits for a message box with this caption, reads it and presses OK.
    bool AnswerBox(const std::string& caption, DWORD timeoutMs, ShownBox* box);
    // How many top-level windows with this caption the program shows now.
    int CountTopLevel(const std::string& caption) const;
    // The progress window of an exchange ("Quarnel" with a progress bar).
    HWND ProgressWindow() const;
    // The program's other top-level windows as "[caption] text" lines, for
    // failure messages.
    std::string DescribeTopLevel() const;

private:
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

std::string WindowText(HWND window);

}  // namespace e2e
