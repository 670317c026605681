#pragma once

// Drives the program's modal dialogs from inside their own modal loops: a
// thread timer runs the queued steps one per tick, each on the innermost
// modal dialog running then. Message boxes are recorded (MessageBoxRecorder),
// never shown.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/win32/support/message_box_recorder.h"

namespace quarnel::test {

class ModalScript {
public:
    using Step = std::function<void(HWND dialog)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // Runs on the next tick at which a modal dialog is up, on the innermost.
    ModalScript& Then(Step step);

    // Steps run so far (a dialog that outlives the script is cancelled).
    int done = 0;
    // Template ids of the dialogs the steps ran on, in order.
    std::vector<UINT> templates;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunTick();

    UINT_PTR timer_ = 0;
    std::vector<Step> steps_;
    int idleTicks_ = 0;
};

// Control helpers for the steps.
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const char* text);
// Selects an entry of a drop-down list as the user would: the list sends
// CBN_SELCHANGE to the dialog.
void ChooseListEntry(HWND dialog, int id, int index);
int ListSelection(HWND dialog, int id);
void Press(HWND dialog, int id);                        // BN_CLICKED from the button
void PressCommand(HWND dialog, int id);                 // BN_CLICKED as from the button, even a disabled one
void TypeChars(HWND dialog, int id, const char* text);  // WM_CHAR per character

}  // namespace quarnel::test
