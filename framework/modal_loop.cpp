#include <windows.h>

#include "framework/dialog.h"
#include "framework/dialog_registry.h"
#include "framework/resource_module.h"

// The modal run of a dialog: the framework's own loop instead of DialogBox,
// so that the dialog gets idle calls and the modeless dialogs keyboard input.

namespace quarnel {

namespace {

// Messages that do not start a new idle phase: the ones the system makes by
// itself while nothing happens.
class IdleFilter {
public:
    bool StartsIdlePhase(const MSG& msg) {
        if (msg.message == WM_PAINT || msg.message == 0x0118 /* caret blink */) return false;
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            const bool moved = msg.message != lastMouseMessage_ || msg.pt.x != lastMouse_.x || msg.pt.y != lastMouse_.y;
            lastMouseMessage_ = msg.message;
            lastMouse_ = msg.pt;
            return moved;
        }
        return true;
    }

private:
    UINT lastMouseMessage_ = 0;
    POINT lastMouse_{-1, -1};
};

// Keeps the modal stack right whichever way DoModal leaves.
class ModalScope {
public:
    explicit ModalScope(Dialog* dialog) : dialog_(dialog) { PushModal(dialog); }
    ~ModalScope() { PopModal(dialog_); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    Dialog* dialog_;
};

}  // namespace

int Dialog::DoModal() {
    if (hwnd_ != nullptr || modalRunning_) return DIALOG_FAILED;

    HWND owner = ResolveOwner(nullptr);
    bool ownerDisabled = false;
    if (owner != nullptr && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }

    endRequested_ = false;
    result_ = DIALOG_FAILED;
    modalRunning_ = true;
    bool quit = false;
    WPARAM quitCode = 0;
    {
        ModalScope scope(this);
        HWND hwnd = CreateDialogParamA(GetResourceInstance(), MAKEINTRESOURCEA(templateId_), owner, &Dialog::DialogProc,
                                       reinterpret_cast<LPARAM>(this));
        if (hwnd != nullptr && hwnd_ != nullptr) {
            if (!endRequested_ && !IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_SHOWNORMAL);
            RunModalLoop(quit, quitCode);
        }
    }

    // The owner must be usable again before the dialog goes, or the system
    // activates some other program's window.
    if (ownerDisabled) EnableWindow(owner, TRUE);
    if (hwnd_ != nullptr) {
        if (owner != nullptr && GetActiveWindow() == hwnd_) SetActiveWindow(owner);
        ::DestroyWindow(hwnd_);
        if (hwnd_ != nullptr) DetachWindow();
    }
    modalRunning_ = false;

    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
        return DIALOG_FAILED;
    }
    return endRequested_ ? result_ : DIALOG_FAILED;
}

void Dialog::RunModalLoop(bool& quit, WPARAM& quitCode) {
    IdleFilter filter;
    bool idle = true;
    LPARAM idleCount = 0;
    MSG msg;
    while (!endRequested_ && hwnd_ != nullptr) {
        while (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (SendMessageA(hwnd_, WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++) == 0) idle = false;
            if (endRequested_ || hwnd_ == nullptr) return;
        }
        // A message sent from elsewhere may have ended the run inside PeekMessage.
        if (endRequested_ || hwnd_ == nullptr) return;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            quit = true;
            quitCode = msg.wParam;
            return;
        }
        if (!PreTranslateDialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (filter.StartsIdlePhase(msg)) {
            idle = true;
            idleCount = 0;
        }
    }
}

}  // namespace quarnel
