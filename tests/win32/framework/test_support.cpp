#include "test_support.h"

namespace quarnel::test {

namespace {

// What an application hands the framework for its boxes' caption.
const bool captionSet = (SetMessageBoxCaption(TEST_CAPTION), true);

}  // namespace

void ScriptedDialog::OnFirstTick(std::function<void(ScriptedDialog&)> step) {
    onInit = [](ScriptedDialog& d) { d.StartTimer(1, 10); };
    onTimer = [step](ScriptedDialog& d, UINT_PTR) { step(d); };
}

BOOL ScriptedDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    StartTimer(WATCHDOG_TIMER, 5000);
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
    if (id == WATCHDOG_TIMER) {
        timedOut = true;
        End(WATCHDOG_RESULT);
    } else if (onTimer) {
        onTimer(*this, id);
    }
    return 0;
}

LRESULT ScriptedDialog::OnKickIdle(WPARAM, LPARAM count) { return onKickIdle ? onKickIdle(*this, count) : 0; }

LRESULT ScriptedDialog::OnApp(WPARAM, LPARAM) {
    if (onApp) onApp(*this);
    return 0;
}

void FieldsDialog::DoDataExchange(DataExchange& dx) {
    DDX_Control(dx, IDC_COMBO, combo);
    DDX_Control(dx, IDC_IP, ip);
    DDX_Check(dx, IDC_CHECK, check);
    DDX_Text(dx, IDC_INT_A, intA);
    DDX_Text(dx, IDC_TEXT_A, textA);
    DDX_Text(dx, IDC_INT_B, intB);
    DDX_Text(dx, IDC_LIMITED, limited);
    DDV_MaxChars(dx, limited, 5);
}

MessageMap FieldsDialog::GetMessageMap() const {
    static const MessageEntry map[] = {
        OnClicked(IDC_ACTION, &FieldsDialog::OnAction),
        OnKillFocus(IDC_INT_A, &FieldsDialog::OnIntAKillFocus),
        OnNotifyCode(EN_KILLFOCUS, IDC_TEXT_A, &FieldsDialog::OnTextAKillFocus),
        OnSelChange(IDC_COMBO, &FieldsDialog::OnComboSelChange),
        OnMessage(WM_PAINT, &FieldsDialog::OnPaint),
        OnMessage(WM_TEST_ECHO, &FieldsDialog::OnEcho),
    };
    return MakeMessageMap(map);
}

LRESULT FieldsDialog::OnPaint(WPARAM, LPARAM) {
    ++paints;
    return Default();
}

}  // namespace quarnel::test
