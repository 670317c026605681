#pragma once

// The progress window of the main window's exchanges: opened by the buttons,
// fed by the engine's reports, closed when the exchange ends. Moving and
// repainting the bar takes milliseconds: done for every chunk it would hold
// up each next command, and for every byte of a shell dump it would take
// seconds. So a position is only noted, and shown by ShowPending once the
// pump has sent what it could, at most once in PROGRESS_REPAINT_MS.

#include <windows.h>

namespace quarnel {

class Dialog;
class ProgressDialog;

class ExchangeProgress {
public:
    ExchangeProgress() = default;
    ~ExchangeProgress();
    ExchangeProgress(const ExchangeProgress&) = delete;
    ExchangeProgress& operator=(const ExchangeProgress&) = delete;

    // Opens the window over `owner` unless it is open.
    void Open(Dialog* owner);
    bool IsOpen() const { return dialog_ != nullptr; }
    // A new range, the bar at its start; a position still to be shown is
    // dropped (a restarted exchange starts from 0).
    void SetRange(int lower, int upper);
    void ShowText(const char* text);
    void SetPosition(int position);
    // Shows the noted position once the repaint period has passed.
    void ShowPending();
    // Closes the window; false when none was open.
    bool Close();

private:
    ProgressDialog* dialog_ = nullptr;
    int position_ = 0;
    bool positionPending_ = false;
    DWORD shownAt_ = 0;  // GetTickCount when the bar was last shown
};

constexpr DWORD PROGRESS_REPAINT_MS = 50;

}  // namespace quarnel
