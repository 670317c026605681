#pragma once

// Dialog: one dialog template run modally (DoModal) or modelessly (Create).
//
//   DoModal        own modal loop: disables the owner, gives keyboard input to
//                  the dialogs the loop knows (IsDialogMessage), sends
//                  WM_KICKIDLE while the queue is empty and the dialog asks for
//                  more; ends on End(result) or WM_QUIT (re-posted, result -1).
//   Create         modeless; the running modal loops serve it. End() only hides
//                  it; DestroyWindow or deleting the object removes it.
//   UpdateData     runs DoDataExchange: false shows the members, true collects
//                  and validates them; false when a field was refused.
//   GetMessageMap  the derived dialog's handler table (see message_map.h).
//   Default        default processing of the message being handled.
//
// A derived dialog:
//
//   class ConfigDialog : public Dialog {
//     public:
//       ConfigDialog() : Dialog(102) {}
//     protected:
//       void DoDataExchange(DataExchange& dx) override {
//           DDX_Control(dx, 1006, portCombo);
//           DDX_Text(dx, 1023, localPort);
//           DDX_Text(dx, 1001, targetSsid);
//           DDV_MaxChars(dx, targetSsid, 32);
//       }
//       MessageMap GetMessageMap() const override {
//           static const MessageEntry map[] = {
//               OnClicked(1030, &ConfigDialog::OnRead),
//               OnKillFocus(1023, &ConfigDialog::OnLocalPortKillFocus),
//               OnSelChange(1020, &ConfigDialog::RefreshControls),
//               OnMessage(WM_TIMER, &ConfigDialog::OnTimer),
//           };
//           return MakeMessageMap(map);
//       }
//     ...
//   };
//
// Everything runs on the window thread. The object must outlive its window;
// deleting it destroys the window (with the base class's handling only, so a
// dialog that needs its own WM_DESTROY handling destroys the window first).

#include <windows.h>

#include <string>
#include <vector>

#include "framework/message_map.h"

namespace quarnel {

class DataExchange;

// Sent by the modal loop while the queue is empty: wParam MSGF_DIALOGBOX,
// lParam the idle count (0 on the first call after a message). A non-zero
// result asks for another call before the loop waits.
constexpr UINT WM_KICKIDLE = 0x036A;

// DoModal's result when the dialog could not be created or the run ended by
// WM_QUIT.
constexpr int DIALOG_FAILED = -1;

class Dialog {
public:
    // `parent` owns the window when it has one at DoModal or Create time;
    // otherwise the innermost running modal dialog, else the application's
    // main window, is the owner.
    explicit Dialog(UINT templateId, Dialog* parent = nullptr);
    virtual ~Dialog();

    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally. Returns the result given to End, or
    // DIALOG_FAILED when the window could not be created or WM_QUIT ended
    // the run (the quit message is posted again for the enclosing loop).
    int DoModal();

    // Creates the dialog modelessly, owned by `parent` if given (see the
    // constructor otherwise). False when the window exists or cannot be made.
    bool Create(HWND parent = nullptr);

    // Destroys the window (modeless use); the object stays.
    bool DestroyWindow();

    // Ends the modal run with `result` once the current message is handled,
    // a message sent from another thread or process too; a modeless dialog
    // is hidden.
    void End(int result);
    void EndDialog(int result) { End(result); }

    // Data exchange over the whole DoDataExchange table. With
    // saveAndValidate the controls are collected into the members and the
    // first refused field stops the exchange (after telling the user and
    // focusing that control); the result is then false and no control is
    // written. Control notifications to this dialog are ignored meanwhile.
    bool UpdateData(bool saveAndValidate = true);
    // The same, limited to the fields bound to `controlId`.
    bool UpdateDataFor(int controlId, bool saveAndValidate);
    // Whether the last collection over the whole table took in the field of
    // `controlId`: every field when it succeeded, else those before the
    // refused one (in the order of DoDataExchange).
    bool WasCollected(int controlId) const;

    HWND GetHwnd() const { return hwnd_; }
    UINT GetTemplateId() const { return templateId_; }
    bool IsRunningModal() const { return modalRunning_; }

    HWND GetDlgItem(int id) const;
    int GetDlgItemText(int id, char* buffer, int size) const;
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const char* text);
    void EnableDlgItem(int id, bool enable);

    // Default processing (the system's dialog procedure) of the message
    // being handled, at the point of the call; returns its result. Outside a
    // handler it does nothing and returns 0.
    LRESULT Default();

    // Tells the user why the field `controlId` was refused. The standard
    // behaviour is AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION).
    virtual void OnDataExchangeError(int controlId, const char* message);

protected:
    // Base: UpdateData(false), then TRUE (the system sets the focus).
    virtual BOOL OnInitDialog();
    // Base: UpdateData(true) and, when it succeeds, End(IDOK).
    virtual void OnOK();
    // Base: End(IDCANCEL).
    virtual void OnCancel();
    virtual void DoDataExchange(DataExchange& dx);
    virtual MessageMap GetMessageMap() const;

    // Message-map rows. D is the derived dialog; handlers may be private.
    // (Not constexpr: the member-pointer conversion is not a constant
    // expression for GCC; the map is built once, on first use.)
    template <class D>
    static MessageEntry OnCommand(UINT code, UINT id, void (D::*action)()) {
        return MessageEntry{WM_COMMAND, code, id, static_cast<void (Dialog::*)()>(action), nullptr};
    }
    template <class D>
    static MessageEntry OnClicked(UINT id, void (D::*action)()) {
        return OnCommand(BN_CLICKED, id, action);
    }
    template <class D>
    static MessageEntry OnNotifyCode(UINT code, UINT id, void (D::*action)()) {
        return OnCommand(code, id, action);
    }
    template <class D>
    static MessageEntry OnKillFocus(UINT id, void (D::*action)()) {
        return OnCommand(EN_KILLFOCUS, id, action);
    }
    template <class D>
    static MessageEntry OnSelChange(UINT id, void (D::*action)()) {
        return OnCommand(CBN_SELCHANGE, id, action);
    }
    template <class D>
    static MessageEntry OnMessage(UINT message, LRESULT (D::*handler)(WPARAM, LPARAM)) {
        return MessageEntry{message, 0, 0, nullptr, static_cast<LRESULT (Dialog::*)(WPARAM, LPARAM)>(handler)};
    }
    template <class D>
    static MessageEntry OnMessage(UINT message, void (D::*action)()) {
        return MessageEntry{message, 0, 0, static_cast<void (Dialog::*)()>(action), nullptr};
    }

private:
    struct MessageRecord {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        bool set = false;
    };
    class CurrentMessageScope;

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handled(UINT message, LRESULT result);
    const MessageEntry* FindEntry(UINT message, WPARAM wParam) const;
    void DetachWindow();
    HWND ResolveOwner(HWND explicitOwner) const;
    void RunModalLoop(bool& quit, WPARAM& quitCode);
    bool RunExchange(bool saveAndValidate, int onlyControlId);

    const UINT templateId_;
    Dialog* const parent_;
    HWND hwnd_ = nullptr;
    bool modalRunning_ = false;
    bool endRequested_ = false;
    int result_ = DIALOG_FAILED;
    bool notificationsLocked_ = false;  // during UpdateData
    std::vector<int> collected_;        // controls the last whole collection reached
    bool collectedAll_ = true;          // and whether it succeeded
    MessageRecord current_;             // the message a handler is running for
    MessageRecord defaultPass_;         // Default(): let this one through once
};

}  // namespace quarnel
