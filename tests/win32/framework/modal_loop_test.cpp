#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "framework/dialog_registry.h"
#include "test_support.h"

namespace quarnel::test {
namespace {

// Takes a WM_QUIT left in the queue; its exit code, or -1 when none waits.
int TakeQuit() {
    MSG msg;
    for (int i = 0; i < 100; ++i) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return -1;
        if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
        DispatchMessageA(&msg);
    }
    return -1;
}

TEST(ModalLoop, QuitEndsEveryRunAndIsPostedAgain) {
    ScriptedDialog outer(IDD_FIELDS);
    int innerResult = 0;
    outer.OnFirstTick([&](ScriptedDialog&) {
        ScriptedDialog inner(IDD_SUB);
        inner.OnFirstTick([](ScriptedDialog&) { PostQuitMessage(3); });
        innerResult = inner.DoModal();
    });
    EXPECT_EQ(outer.DoModal(), DIALOG_FAILED);
    EXPECT_EQ(innerResult, DIALOG_FAILED);
    EXPECT_FALSE(outer.timedOut);
    EXPECT_EQ(outer.GetHwnd(), nullptr);
    EXPECT_EQ(TakeQuit(), 3);
}

TEST(ModalLoop, IdleCallsCountUpWhileWantedAndRestartAfterAMessage) {
    ScriptedDialog dialog(IDD_SUB);
    constexpr LPARAM IDLE_MARK = -1;
    std::vector<LPARAM> calls;
    bool gapStarted = false;
    dialog.onKickIdle = [&](ScriptedDialog& d, LPARAM count) -> LRESULT {
        calls.push_back(count);
        if (count < 3) return 1;
        if (std::find(calls.begin(), calls.end(), IDLE_MARK) != calls.end()) {
            d.End(IDOK);
        } else if (!gapStarted) {
            gapStarted = true;
            d.StartTimer(1, 100);  // a gap in which no idle call may come
        }
        return 0;
    };
    dialog.onTimer = [](ScriptedDialog& d, UINT_PTR) { PostMessageA(d.GetHwnd(), WM_APP, 0, 0); };
    dialog.onApp = [&](ScriptedDialog&) { calls.push_back(IDLE_MARK); };
    ASSERT_EQ(dialog.DoModal(), IDOK) << "idle calls: " << calls.size();

    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0], 0);
    // The phase before the mark stopped at 3; after the posted message (the
    // timer's own message starts a phase too) the counting restarted at 0.
    const std::vector<LPARAM> tail(calls.end() - 6, calls.end());
    EXPECT_EQ(tail, (std::vector<LPARAM>{3, IDLE_MARK, 0, 1, 2, 3}));
}

// A sub-dialog run from a handler of the outer one disables it while it
// runs; its owner, and a box's, is the parent given or else the innermost run.
TEST(ModalLoop, ASubDialogRunsFromAHandlerOwnedByTheParentOrElseTheInnermostRun) {
    MessageBoxRecorder boxes;
    ScriptedDialog outer(IDD_FIELDS);
    ScriptedDialog named(IDD_SUB, &outer);
    HWND outerHwnd = nullptr, plainHwnd = nullptr, plainOwner = nullptr, namedOwner = nullptr;
    bool outerEnabledDuring = true, outerEnabledAfter = false;
    outer.OnFirstTick([&](ScriptedDialog& d) {
        outerHwnd = d.GetHwnd();
        ScriptedDialog plain(IDD_SUB);
        plain.onInit = [&](ScriptedDialog& s) {
            plainHwnd = s.GetHwnd();
            plainOwner = GetWindow(s.GetHwnd(), GW_OWNER);
            outerEnabledDuring = IsWindowEnabled(outerHwnd) != FALSE;
            AfxMessageBox("owned by the innermost run");
            named.onInit = [&](ScriptedDialog& n) {
                namedOwner = GetWindow(n.GetHwnd(), GW_OWNER);
                n.End(IDOK);
            };
            named.DoModal();
            s.StartTimer(1, 10);
        };
        plain.onTimer = [](ScriptedDialog& s, UINT_PTR) { s.PostClick(IDOK); };
        EXPECT_EQ(plain.DoModal(), IDOK);
        outerEnabledAfter = IsWindowEnabled(outerHwnd) != FALSE;
        d.End(42);
    });
    EXPECT_EQ(outer.DoModal(), 42);
    EXPECT_FALSE(outer.timedOut);
    EXPECT_FALSE(outerEnabledDuring);
    EXPECT_TRUE(outerEnabledAfter);
    EXPECT_EQ(plainOwner, outerHwnd);
    EXPECT_EQ(namedOwner, outerHwnd);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].owner, plainHwnd);
    EXPECT_EQ(TakeQuit(), -1);
}

TEST(ModalLoop, AModelessDialogGetsKeyboardNavigationAndGoesWithItsObject) {
    ScriptedDialog outer(IDD_SUB);
    std::unique_ptr<ScriptedDialog> modeless;
    HWND modelessHwnd = nullptr;
    bool tabMovedFocus = false;
    bool goneWithObject = false;
    outer.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
    outer.onTimer = [&](ScriptedDialog& d, UINT_PTR id) {
        if (id == 1) {
            modeless = std::make_unique<ScriptedDialog>(IDD_MODELESS);
            ASSERT_TRUE(modeless->Create());
            modelessHwnd = modeless->GetHwnd();
            HWND first = modeless->GetDlgItem(IDC_FIRST_EDIT);
            SetActiveWindow(modelessHwnd);
            SetFocus(first);
            PostMessageA(first, WM_KEYDOWN, VK_TAB, 0x000F0001);
            d.StartTimer(2, 30);
        } else {
            tabMovedFocus = GetFocus() == modeless->GetDlgItem(IDC_SECOND_EDIT);
            modeless.reset();
            goneWithObject = !IsWindow(modelessHwnd);
            d.End(IDOK);
        }
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_FALSE(outer.timedOut);
    EXPECT_TRUE(tabMovedFocus);
    EXPECT_TRUE(goneWithObject);
}

TEST(ModalLoop, ExceptionsInHandlersDoNotEndTheRun) {
    struct Throwing : ScriptedDialog {
        Throwing() : ScriptedDialog(IDD_SUB) {}
        BOOL OnInitDialog() override {
            ScriptedDialog::OnInitDialog();
            throw std::runtime_error("init");
        }
    } dialog;
    int ticks = 0;
    dialog.OnFirstTick([&](ScriptedDialog& d) {
        if (++ticks == 1) {
            d.StartTimer(1, 10);
            throw std::logic_error("timer");
        }
        d.End(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace quarnel::test
