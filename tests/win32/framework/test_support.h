#pragma once

// Shared pieces of the framework tests: two test dialogs. Message boxes go to tests/win32/support's recorder.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/controls.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "test_dialog_ids.h"
#include "tests/win32/support/message_box_recorder.h"

namespace quarnel::test {

// The caption the tests hand the framework for its message boxes.
constexpr char TEST_CAPTION[] = "Test caption";

// A dialog whose behaviour the test supplies. Its timers are one-shot; a
// watchdog timer ends a forgotten modal run with WATCHDOG_RESULT.
class ScriptedDialog : public Dialog {
public:
    static constexpr UINT_PTR WATCHDOG_TIMER = 999;
    static constexpr int WATCHDOG_RESULT = -99;

    explicit ScriptedDialog(UINT templateId, Dialog* parent = nullptr) : Dialog(templateId, parent) {}

    std::function<void(ScriptedDialog&)> onInit;
    std::function<void(ScriptedDialog&, UINT_PTR)> onTimer;
    std::function<LRESULT(ScriptedDialog&, LPARAM)> onKickIdle;  // unset: no idle wanted
    std::function<void(ScriptedDialog&)> onApp;                  // WM_APP
    bool timedOut = false;

    void StartTimer(UINT_PTR id, UINT ms) { SetTimer(GetHwnd(), id, ms, nullptr); }
    // Starts timer 1 at initialisation and runs `step` when it fires.
    void OnFirstTick(std::function<void(ScriptedDialog&)> step);
    void PostClick(int id) {
        PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(id)));
    }

protected:
    BOOL OnInitDialog() override;
    MessageMap GetMessageMap() const override;

private:
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnKickIdle(WPARAM, LPARAM count);
    LRESULT OnApp(WPARAM, LPARAM);
};

// The fields dialog (template IDD_FIELDS) with a data-exchange table over
// every kind of field and a message map that counts what arrives.
class FieldsDialog : public Dialog {
public:
    explicit FieldsDialog(Dialog* parent = nullptr) : Dialog(IDD_FIELDS, parent) {}

    ComboBox combo;
    IpAddressCtrl ip;  // the template holds one: the class must be registered
    int check = 0;
    int intA = 0;
    std::string textA;
    int intB = 0;
    std::string limited;

    int actionClicks = 0;
    int intAKillFocus = 0;
    int textAKillFocus = 0;
    int comboSelChanges = 0;
    int paints = 0;

    std::string Text(int id) const { return GetDlgItemText(id); }

protected:
    void DoDataExchange(DataExchange& dx) override;
    MessageMap GetMessageMap() const override;

private:
    void OnAction() { ++actionClicks; }
    void OnIntAKillFocus() { ++intAKillFocus; }
    void OnTextAKillFocus() { ++textAKillFocus; }
    void OnComboSelChange() { ++comboSelChanges; }
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnEcho(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam) + lParam; }
};

constexpr UINT WM_TEST_ECHO = WM_APP + 1;  // returns wParam + lParam

}  // namespace quarnel::test
