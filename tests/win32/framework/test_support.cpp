#include "test_support.h"

#include <stdexcept>

#include "framework/application.h"

namespace quarnel::test {

namespace {

// The test dialogs hold address and progress controls.
const bool commonControlsReady = InitCommonControlClasses();
// What an application hands the framework for its boxes' caption.
const bool captionSet = (SetMessageBoxCaption(kTestCaption), true);

}  // namespace

MessageBoxRecorder::MessageBoxRecorder() {
    (void)commonControlsReady;
    (void)captionSet;
    previous_ = SetMessageBoxHook([this](HWND owner, const char* text, const char* caption, UINT type) {
        boxes.push_back(RecordedBox{owner, text, caption, type});
        if (onShow) onShow();
        return IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHook(previous_); }

bool PumpUntil(const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 2000) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

BOOL ScriptedDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    StartTimer(kWatchdogTimer, 5000);
    if (onInit) onInit(*this);
    return TRUE;
}

MessageMap ScriptedDialog::GetMessageMap() const {
    static const MessageEntry map[] = {
        OnMessage(WM_TIMER, &ScriptedDialog::OnTimer),
        OnMessage(WM_KICKIDLE, &ScriptedDialog::OnKickIdle),
        OnMessage(WM_APP, &ScriptedDialog::OnApp),
    };
    return MakeMessageMap(map);
}

LRESULT ScriptedDialog::OnTimer(WPARAM id, LPARAM) {
    KillTimer(GetHwnd(), id);
    if (id == kWatchdogTimer) {
        timedOut = true;
        End(kWatchdogResult);
    } else if (onTimer) {
        onTimer(*this, id);
    }
    return 0;
}

LRESULT ScriptedDialog::OnKickIdle(WPARAM, LPARAM count) {
    return onKickIdle ? onKickIdle(*this, count) : 0;
}

LRESULT ScriptedDialog::OnApp(WPARAM wParam, LPARAM) {
    if (onApp) onApp(*this, wParam);
    return 0;
}

void FieldsDialog::DoDataExchange(DataExchange& dx) {
    DDX_Control(dx, IDC_COMBO, combo);
    DDX_Control(dx, IDC_IP, ip);
    DDX_Control(dx, IDC_PROGRESS, progress);
    DDX_Check(dx, IDC_CHECK, check);
    DDX_Text(dx, IDC_INT_A, intA);
    DDX_Text(dx, IDC_TEXT_A, textA);
    DDX_Text(dx, IDC_INT_B, intB);
    DDX_Text(dx, IDC_LIMITED, limited);
    DDV_MaxChars(dx, limited, 5);
    DDX_Text(dx, IDC_LABEL, label);
}

MessageMap FieldsDialog::GetMessageMap() const {
    static const MessageEntry map[] = {
        OnClicked(IDC_ACTION, &FieldsDialog::OnAction),
        OnKillFocus(IDC_INT_A, &FieldsDialog::OnIntAKillFocus),
        OnNotifyCode(EN_KILLFOCUS, IDC_TEXT_A, &FieldsDialog::OnTextAKillFocus),
        OnSelChange(IDC_COMBO, &FieldsDialog::OnComboSelChange),
        OnMessage(WM_PAINT, &FieldsDialog::OnPaint),
        OnMessage(WM_SYSCOMMAND, &FieldsDialog::OnSysCommand),
        OnMessage(WM_QUERYDRAGICON, &FieldsDialog::OnQueryDragIcon),
        OnMessage(WM_TEST_ECHO, &FieldsDialog::OnEcho),
    };
    return MakeMessageMap(map);
}

void FieldsDialog::OnCancel() {
    ++cancels;
    Dialog::OnCancel();
}

void FieldsDialog::OnAction() {
    if (throwOnAction) throw std::runtime_error("handler failure");
    ++actionClicks;
}

LRESULT FieldsDialog::OnPaint(WPARAM, LPARAM) {
    ++paints;
    return Default();
}

LRESULT FieldsDialog::OnSysCommand(WPARAM, LPARAM) {
    ++sysCommands;
    return Default();
}

LRESULT FieldsDialog::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(dragIcon); }

LRESULT FieldsDialog::OnEcho(WPARAM wParam, LPARAM lParam) {
    return static_cast<LRESULT>(wParam) + lParam;
}

}  // namespace quarnel::test
