// OK sent to a sub-dialog from another thread, as automation and accessibility
// tools send it, closes the dialog at once: no other message has to come
// along first to wake its modal loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "ui/about_dialog.h"
#include "tests/win32/support/message_box_recorder.h"
#include "ui/eap_id_dialog.h"
#include "ui/password_dialog.h"
#include "ui/startup_options_dialog.h"
#include "ui/wep_key_dialog.h"

namespace quarnel {
namespace {

constexpr DWORD WAIT_MS = 3000;

HANDLE loopIdle = nullptr;  // set when a modal loop runs out of messages
std::atomic<HWND> idleDialog{nullptr};

LRESULT CALLBACK SpotIdle(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_KICKIDLE) {
        idleDialog = sent->hwnd;
        SetEvent(loopIdle);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Sends OK to the dialog once its loop waits for messages, and tells whether
// the run ended (runEnded) within WAIT_MS. One that did not is cancelled by a
// posted message, so that the test fails instead of hanging.
bool SendOk(HANDLE runEnded) {
    if (WaitForSingleObject(loopIdle, WAIT_MS) != WAIT_OBJECT_0) return false;
    const HWND dialog = idleDialog;
    DWORD_PTR result = 0;
    // Nothing else may wake the loop: the caret of a focused edit blinks on a
    // timer, so the focus goes to OK first, and the paints that owes are done.
    SendMessageTimeoutA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE, SMTO_NORMAL,
                        WAIT_MS, &result);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageTimeoutA(dialog, WM_COMMAND, IDOK, 0, SMTO_NORMAL, WAIT_MS, &result);
    if (WaitForSingleObject(runEnded, WAIT_MS) == WAIT_OBJECT_0) return true;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return false;
}

TEST(SubDialogs, OkFromAnotherThreadClosesEachAtOnce) {
    test::MessageBoxRecorder boxes;
    AboutDialog about;
    StartupOptionsDialog startup;
    WepKey64Dialog wep64;
    WepKey128Dialog wep128;
    for (int key = 0; key < 4; ++key) {
        wep64.keyText[key] = std::string(10, '0');
        wep128.keyText[key] = std::string(26, '0');
    }
    PasswordDialog password;
    EapIdDialog eapId;
    const struct {
        const char* name;
        Dialog& dialog;
    } cases[] = {{"About", about},    {"Startup Options", startup},  {"WEP 64", wep64},
                 {"WEP 128", wep128}, {"Change Password", password}, {"EAP ID", eapId}};
    loopIdle = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, SpotIdle, nullptr, GetCurrentThreadId());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEvent(loopIdle);
        HANDLE runEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        bool endedAtOnce = false;
        std::thread sender([&] { endedAtOnce = SendOk(runEnded); });
        EXPECT_EQ(c.dialog.DoModal(), IDOK);
        SetEvent(runEnded);
        sender.join();
        CloseHandle(runEnded);
        EXPECT_TRUE(endedAtOnce);
    }
    UnhookWindowsHookEx(hook);
    CloseHandle(loopIdle);
    EXPECT_TRUE(boxes.boxes.empty());
}

}  // namespace
}  // namespace quarnel
