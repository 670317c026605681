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

TEST(ModalLoop, EndsWithTheResultGivenToEnd) {
    ScriptedDialog dialog(IDD_SUB);
    bool modalDuringRun = false;
    dialog.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
    dialog.onTimer = [&](ScriptedDialog& d, UINT_PTR) {
        modalDuringRun = d.IsRunningModal() && ActiveModalDialog() == &d;
        d.End(77);
    };
    EXPECT_EQ(dialog.DoModal(), 77);
    EXPECT_FALSE(dialog.timedOut);
    EXPECT_TRUE(modalDuringRun);
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_EQ(ActiveModalDialog(), nullptr);
    EXPECT_EQ(TakeQuit(), -1);

    // The same object runs again with a fresh window.
    dialog.onTimer = [](ScriptedDialog& d, UINT_PTR) { d.PostClick(IDCANCEL); };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(ModalLoop, EndingDuringInitialisationSkipsTheLoop) {
    ScriptedDialog dialog(IDD_SUB);
    dialog.onInit = [](ScriptedDialog& d) { d.End(5); };
    EXPECT_EQ(dialog.DoModal(), 5);
}

TEST(ModalLoop, AMissingTemplateFails) {
    ScriptedDialog dialog(4321);
    EXPECT_EQ(dialog.DoModal(), DIALOG_FAILED);
}

TEST(ModalLoop, QuitEndsTheRunAndIsPostedAgain) {
    ScriptedDialog dialog(IDD_SUB);
    dialog.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
    dialog.onTimer = [](ScriptedDialog&, UINT_PTR) { PostQuitMessage(7); };
    EXPECT_EQ(dialog.DoModal(), DIALOG_FAILED);
    EXPECT_FALSE(dialog.timedOut);
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_EQ(TakeQuit(), 7);
}

TEST(ModalLoop, QuitInANestedRunEndsBothRuns) {
    ScriptedDialog outer(IDD_FIELDS);
    int innerResult = 0;
    outer.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
    outer.onTimer = [&](ScriptedDialog&, UINT_PTR) {
        ScriptedDialog inner(IDD_SUB);
        inner.onInit = [](ScriptedDialog& d) { d.StartTimer(2, 10); };
        inner.onTimer = [](ScriptedDialog&, UINT_PTR) { PostQuitMessage(3); };
        innerResult = inner.DoModal();
    };
    EXPECT_EQ(outer.DoModal(), DIALOG_FAILED);
    EXPECT_EQ(innerResult, DIALOG_FAILED);
    EXPECT_FALSE(outer.timedOut);
    EXPECT_EQ(TakeQuit(), 3);
}

TEST(ModalLoop, IdleCallsCountUpWhileWantedAndRestartAfterAMessage) {
    ScriptedDialog dialog(IDD_SUB);
    constexpr LPARAM kMark = -1;
    std::vector<LPARAM> calls;
    bool gapStarted = false;
    dialog.onKickIdle = [&](ScriptedDialog& d, LPARAM count) -> LRESULT {
        calls.push_back(count);
        if (count < 3) return 1;
        if (std::find(calls.begin(), calls.end(), kMark) != calls.end()) {
            d.End(IDOK);
        } else if (!gapStarted) {
            gapStarted = true;
            d.StartTimer(1, 100);  // a gap in which no idle call may come
        }
        return 0;
    };
    dialog.onTimer = [](ScriptedDialog& d, UINT_PTR) { PostMessageA(d.GetHwnd(), WM_APP, 0, 0); };
    dialog.onApp = [&](ScriptedDialog&, WPARAM) { calls.push_back(kMark); };
    ASSERT_EQ(dialog.DoModal(), IDOK) << "idle calls: " << calls.size();

    // Every phase counts 0, 1, 2, ... from its start.
    for (size_t i = 1; i < calls.size(); ++i) {
        if (calls[i] != kMark && calls[i] != 0) {
            EXPECT_EQ(calls[i], calls[i - 1] + 1) << i;
        }
    }
    ASSERT_GE(calls.size(), 6u);
    EXPECT_EQ(calls[0], 0);
    // The phase before the mark stopped at 3; after the posted message (the
    // timer's own message starts a phase too) the counting restarted at 0.
    const std::vector<LPARAM> tail(calls.end() - 6, calls.end());
    EXPECT_EQ(tail, (std::vector<LPARAM>{3, kMark, 0, 1, 2, 3}));
}

TEST(ModalLoop, ASubDialogRunsModallyFromATimerOfTheOuterDialog) {
    ScriptedDialog outer(IDD_FIELDS);
    int innerResult = 0;
    bool outerEnabledDuringInner = true;
    bool outerEnabledAfterInner = false;
    std::vector<UINT_PTR> outerTimers;
    outer.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
    outer.onTimer = [&](ScriptedDialog& d, UINT_PTR id) {
        outerTimers.push_back(id);
        if (id == 1) {
            d.StartTimer(2, 20);  // fires while the sub-dialog runs
            ScriptedDialog inner(IDD_SUB);  // no parent: the running modal dialog owns it
            inner.onInit = [&](ScriptedDialog& s) {
                outerEnabledDuringInner = IsWindowEnabled(d.GetHwnd()) != FALSE;
                s.StartTimer(1, 60);
            };
            inner.onTimer = [](ScriptedDialog& s, UINT_PTR) { s.PostClick(IDOK); };
            innerResult = inner.DoModal();
            outerEnabledAfterInner = IsWindowEnabled(d.GetHwnd()) != FALSE;
            d.StartTimer(3, 10);
        } else if (id == 3) {
            d.End(42);
        }
    };
    EXPECT_EQ(outer.DoModal(), 42);
    EXPECT_FALSE(outer.timedOut);
    EXPECT_EQ(innerResult, IDOK);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_EQ(outerTimers, (std::vector<UINT_PTR>{1, 2, 3}));
    EXPECT_EQ(TakeQuit(), -1);
}

TEST(ModalLoop, TheOwnerIsTheParentOrElseTheInnermostModalDialog) {
    MessageBoxRecorder boxes;
    ScriptedDialog outer(IDD_FIELDS);
    ScriptedDialog named(IDD_SUB, &outer);
    HWND outerHwnd = nullptr, plainHwnd = nullptr, plainOwner = nullptr, namedOwner = nullptr;
    HWND boxOwner = nullptr;
    outer.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
    outer.onTimer = [&](ScriptedDialog& d, UINT_PTR) {
        outerHwnd = d.GetHwnd();
        ScriptedDialog plain(IDD_SUB);
        plain.onInit = [&](ScriptedDialog& s) {
            plainHwnd = s.GetHwnd();
            plainOwner = GetWindow(s.GetHwnd(), GW_OWNER);
            AfxMessageBox("owned by the innermost run");
            boxOwner = boxes.boxes.back().owner;
            // A parent given at construction wins over the innermost run.
            named.onInit = [&](ScriptedDialog& n) {
                namedOwner = GetWindow(n.GetHwnd(), GW_OWNER);
                n.End(IDOK);
            };
            named.DoModal();
            s.End(IDOK);
        };
        plain.DoModal();
        d.End(IDOK);
    };
    EXPECT_EQ(outer.DoModal(), IDOK);
    EXPECT_EQ(plainOwner, outerHwnd);
    EXPECT_EQ(namedOwner, outerHwnd);
    EXPECT_EQ(boxOwner, plainHwnd);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, kTestCaption);
    EXPECT_EQ(boxes.boxes[0].type, static_cast<UINT>(MB_OK));
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
    dialog.onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
    dialog.onTimer = [&](ScriptedDialog& d, UINT_PTR) {
        if (++ticks == 1) {
            d.StartTimer(1, 10);
            throw std::logic_error("timer");
        }
        d.End(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace quarnel::test
