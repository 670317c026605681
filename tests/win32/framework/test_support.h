#pragma once

// Shared pieces of the framework tests: a recorder for message boxes, a
// bounded message pump, and two test dialogs.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/data_exchange.h"
#include "framework/dialog.h"
#include "framework/message_box.h"
#include "test_dialog_ids.h"

namespace quarnel::test {

// The caption the tests hand the framework for its message boxes.
constexpr char kTestCaption[] = "Test caption";

struct RecordedBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

// Records every message box while it lives; each answers IDOK at once.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<RecordedBox> boxes;
    std::function<void()> onShow;  // runs inside the box, as a real box's loop would

private:
    MessageBoxHook previous_;
};

// Dispatches messages until `done` or about two seconds have passed.
bool PumpUntil(const std::function<bool()>& done);
// Dispatches what is waiting now.
void PumpPending();

// A dialog whose behaviour the test supplies. Its timers are one-shot; a
// watchdog timer ends a forgotten modal run with kWatchdogResult.
class ScriptedDialog : public Dialog {
public:
    static constexpr UINT_PTR kWatchdogTimer = 999;
    static constexpr int kWatchdogResult = -99;

    explicit ScriptedDialog(UINT templateId, Dialog* parent = nullptr) : Dialog(templateId, parent) {}

    std::function<void(ScriptedDialog&)> onInit;
    std::function<void(ScriptedDialog&, UINT_PTR)> onTimer;
    std::function<LRESULT(ScriptedDialog&, LPARAM)> onKickIdle;  // unset: no idle wanted
    std::function<void(ScriptedDialog&, WPARAM)> onApp;           // WM_APP
    bool timedOut = false;

    void StartTimer(UINT_PTR id, UINT ms) { SetTimer(GetHwnd(), id, ms, nullptr); }
    void PostClick(int id) {
        PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(id)));
    }

protected:
    BOOL OnInitDialog() override;
    MessageMap GetMessageMap() const override;

private:
    LRESULT OnTimer(WPARAM id, LPARAM);
    LRESULT OnKickIdle(WPARAM, LPARAM count);
    LRESULT OnApp(WPARAM wParam, LPARAM);
};

// The fields dialog (template IDD_FIELDS) with a data-exchange table over
// every kind of field and a message map that counts what arrives.
class FieldsDialog : public Dialog {
public:
    explicit FieldsDialog(Dialog* parent = nullptr) : Dialog(IDD_FIELDS, parent) {}

    ComboBox combo;
    IpAddressCtrl ip;
    ProgressCtrl progress;
    int check = 0;
    int intA = 0;
    std::string textA;
    int intB = 0;
    std::string limited;
    std::string label;

    int actionClicks = 0;
    int intAKillFocus = 0;
    int textAKillFocus = 0;
    int comboSelChanges = 0;
    int paints = 0;
    int sysCommands = 0;
    int cancels = 0;
    bool throwOnAction = false;
    HICON dragIcon = nullptr;

    std::string Text(int id) const { return GetDlgItemText(id); }

protected:
    void DoDataExchange(DataExchange& dx) override;
    MessageMap GetMessageMap() const override;
    void OnCancel() override;

private:
    void OnAction();
    void OnIntAKillFocus() { ++intAKillFocus; }
    void OnTextAKillFocus() { ++textAKillFocus; }
    void OnComboSelChange() { ++comboSelChanges; }
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnSysCommand(WPARAM, LPARAM);
    LRESULT OnQueryDragIcon(WPARAM, LPARAM);
    LRESULT OnEcho(WPARAM wParam, LPARAM lParam);
};

constexpr UINT WM_TEST_ECHO = WM_APP + 1;  // returns wParam + lParam

}  // namespace quarnel::test
