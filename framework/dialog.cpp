#include "framework/dialog.h"

#include <algorithm>

#include "framework/data_exchange.h"
#include "framework/dialog_registry.h"
#include "framework/message_box.h"
#include "framework/resource_module.h"

namespace quarnel {

namespace {

// Messages whose dialog-procedure return value is the result itself rather
// than a handled flag (the result then also sits in DWLP_MSGRESULT).
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_VKEYTOITEM: return true;
        default: return false;
    }
}

bool SameMessage(UINT message, WPARAM wParam, LPARAM lParam, UINT m, WPARAM w, LPARAM l) {
    return message == m && wParam == w && lParam == l;
}

}  // namespace

// Remembers the message being handled (for Default), restoring the outer one
// when handlers nest through SendMessage.
class Dialog::CurrentMessageScope {
public:
    CurrentMessageScope(Dialog& dialog, UINT message, WPARAM wParam, LPARAM lParam)
        : dialog_(dialog), saved_(dialog.current_) {
        dialog.current_ = MessageRecord{message, wParam, lParam, true};
    }
    ~CurrentMessageScope() { dialog_.current_ = saved_; }
    CurrentMessageScope(const CurrentMessageScope&) = delete;
    CurrentMessageScope& operator=(const CurrentMessageScope&) = delete;

private:
    Dialog& dialog_;
    MessageRecord saved_;
};

Dialog::Dialog(UINT templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
    // Virtual calls made while the window goes now reach this class only.
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
    if (hwnd_ != nullptr) DetachWindow();  // not destroyable (other thread): forget it
    UnregisterDialog(this);
}

bool Dialog::Create(HWND parent) {
    if (hwnd_ != nullptr || modalRunning_) return false;
    endRequested_ = false;
    result_ = DIALOG_FAILED;
    HWND owner = ResolveOwner(parent);
    HWND hwnd = CreateDialogParamA(GetResourceInstance(), MAKEINTRESOURCEA(templateId_), owner, &Dialog::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr || hwnd_ == nullptr) return false;
    RegisterModeless(this);
    return true;
}

bool Dialog::DestroyWindow() {
    if (hwnd_ == nullptr) return false;
    return ::DestroyWindow(hwnd_) != FALSE;
}

void Dialog::End(int result) {
    result_ = result;
    endRequested_ = true;
    if (hwnd_ == nullptr) return;
    if (!modalRunning_) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    // A message sent from another thread or process is handled inside the
    // loop's GetMessage, which then blocks on: only a posted message makes
    // it return and see the request.
    PostMessageA(hwnd_, WM_NULL, 0, 0);
}

bool Dialog::UpdateData(bool saveAndValidate) { return RunExchange(saveAndValidate, 0); }

bool Dialog::UpdateDataFor(int controlId, bool saveAndValidate) { return RunExchange(saveAndValidate, controlId); }

bool Dialog::RunExchange(bool saveAndValidate, int onlyControlId) {
    if (hwnd_ == nullptr) return false;
    // Focus moves and message boxes during the exchange make controls notify
    // us; a handler that ran UpdateData again would report the same field
    // over and over.
    struct Lock {
        bool& flag;
        bool saved;
        ~Lock() { flag = saved; }
    } lock{notificationsLocked_, notificationsLocked_};
    notificationsLocked_ = true;

    DataExchange dx(*this, saveAndValidate, onlyControlId);
    const bool whole = saveAndValidate && onlyControlId == 0;
    if (whole) {
        collected_.clear();
        dx.RecordReached(&collected_);
    }
    DoDataExchange(dx);
    if (whole) collectedAll_ = !dx.Failed();
    return !dx.Failed();
}

bool Dialog::WasCollected(int controlId) const {
    return collectedAll_ || std::find(collected_.begin(), collected_.end(), controlId) != collected_.end();
}

HWND Dialog::GetDlgItem(int id) const { return hwnd_ != nullptr ? ::GetDlgItem(hwnd_, id) : nullptr; }

int Dialog::GetDlgItemText(int id, char* buffer, int size) const {
    if (buffer == nullptr || size <= 0) return 0;
    buffer[0] = '\0';
    if (hwnd_ == nullptr) return 0;
    return static_cast<int>(::GetDlgItemTextA(hwnd_, id, buffer, size));
}

std::string Dialog::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    if (item == nullptr) return std::string();
    int length = GetWindowTextLengthA(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(item, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void Dialog::SetDlgItemText(int id, const char* text) {
    if (hwnd_ != nullptr) ::SetDlgItemTextA(hwnd_, id, text != nullptr ? text : "");
}

void Dialog::EnableDlgItem(int id, bool enable) {
    if (HWND item = GetDlgItem(id)) EnableWindow(item, enable ? TRUE : FALSE);
}

LRESULT Dialog::Default() {
    if (hwnd_ == nullptr || !current_.set) return 0;
    // The system's dialog procedure first calls ours with the same message;
    // that call must answer "not handled" so the default processing runs.
    MessageRecord saved = defaultPass_;
    defaultPass_ = current_;
    LRESULT result = DefDlgProcA(hwnd_, current_.message, current_.wParam, current_.lParam);
    defaultPass_ = saved;
    return result;
}

void Dialog::OnDataExchangeError(int /*controlId*/, const char* message) {
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    if (!UpdateData(true)) return;
    End(IDOK);
}

void Dialog::OnCancel() { End(IDCANCEL); }

void Dialog::DoDataExchange(DataExchange& /*dx*/) {}

MessageMap Dialog::GetMessageMap() const { return MessageMap{}; }

HWND Dialog::ResolveOwner(HWND explicitOwner) const {
    HWND owner = explicitOwner;
    if (owner == nullptr && parent_ != nullptr) owner = parent_->GetHwnd();
    if (owner == nullptr) owner = DefaultOwnerWindow();
    if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
    // A popup is owned by a top-level window.
    if (owner != nullptr) owner = GetAncestor(owner, GA_ROOT);
    if (owner != nullptr && owner == hwnd_) owner = nullptr;
    return owner;
}

void Dialog::DetachWindow() {
    if (hwnd_ != nullptr && IsWindow(hwnd_)) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    UnregisterModeless(this);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may unwind through the system's code.
    try {
        if (message == WM_INITDIALOG) {
            Dialog* self = reinterpret_cast<Dialog*>(lParam);
            if (self == nullptr) return FALSE;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
            self->hwnd_ = hwnd;
            CurrentMessageScope scope(*self, message, wParam, lParam);
            return self->OnInitDialog();
        }
        Dialog* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (self == nullptr || self->hwnd_ != hwnd) return FALSE;
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // The handler's work is abandoned; the message counts as handled.
        if (message == WM_INITDIALOG) return TRUE;
        if (IsWindow(hwnd)) SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 0);
        return message == WM_NCDESTROY ? FALSE : TRUE;
    }
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (defaultPass_.set &&
        SameMessage(message, wParam, lParam, defaultPass_.message, defaultPass_.wParam, defaultPass_.lParam)) {
        defaultPass_.set = false;
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        DetachWindow();
        return FALSE;
    }
    const bool controlNotification = message == WM_COMMAND && lParam != 0;
    if (controlNotification && notificationsLocked_) return Handled(message, 0);

    CurrentMessageScope scope(*this, message, wParam, lParam);
    if (const MessageEntry* entry = FindEntry(message, wParam)) {
        LRESULT result = 0;
        if (entry->action != nullptr) {
            (this->*(entry->action))();
        } else {
            result = (this->*(entry->handler))(wParam, lParam);
        }
        return Handled(message, result);
    }
    if (message == WM_COMMAND && (HIWORD(wParam) == BN_CLICKED || lParam == 0)) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return Handled(message, 0);
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return Handled(message, 0);
        }
    }
    return FALSE;
}

INT_PTR Dialog::Handled(UINT message, LRESULT result) {
    if (hwnd_ != nullptr) SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    return TRUE;
}

const MessageEntry* Dialog::FindEntry(UINT message, WPARAM wParam) const {
    const MessageMap map = GetMessageMap();
    for (std::size_t i = 0; i < map.count; ++i) {
        const MessageEntry& entry = map.entries[i];
        if (entry.message != message) continue;
        if (message == WM_COMMAND && (entry.code != HIWORD(wParam) || entry.id != LOWORD(wParam))) {
            continue;
        }
        return &entry;
    }
    return nullptr;
}

}  // namespace quarnel
