#include "framework/data_exchange.h"

#include <cstdio>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/int_text.h"

namespace quarnel {

const char* const ENTER_INTEGER_MESSAGE = "Please enter an integer.";
const char* const MAX_CHARS_MESSAGE_FORMAT = "Please enter no more than %d characters.";

namespace {

bool IsEditControl(HWND hwnd) {
    char name[16];
    return GetClassNameA(hwnd, name, sizeof name) > 0 && lstrcmpiA(name, "Edit") == 0;
}

std::string WindowText(HWND hwnd) {
    int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

// Rewriting an edit box's text repaints it and moves its caret; a form
// refresh shows every field, and most hold what they showed before.
void ShowText(HWND control, const char* text) {
    if (WindowText(control) != text) SetWindowTextA(control, text);
}

}  // namespace

DataExchange::DataExchange(Dialog& dialog, bool saveAndValidate, int onlyControlId)
    : dialog(dialog), saveAndValidate(saveAndValidate), onlyControlId_(onlyControlId) {}

HWND DataExchange::PrepareCtrl(int id) {
    lastId_ = id;
    lastControl_ = nullptr;
    lastIsEdit_ = false;
    if (failed_) return nullptr;
    if (onlyControlId_ != 0 && id != onlyControlId_) return nullptr;
    lastControl_ = dialog.GetDlgItem(id);
    if (reached_ != nullptr && lastControl_ != nullptr) reached_->push_back(id);
    return lastControl_;
}

HWND DataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    lastIsEdit_ = control != nullptr && IsEditControl(control);
    return control;
}

void DataExchange::Fail(const char* message) {
    if (failed_) return;
    failed_ = true;
    if (reached_ != nullptr && !reached_->empty() && reached_->back() == lastId_) reached_->pop_back();
    dialog.OnDataExchangeError(lastId_, message);
    if (lastControl_ != nullptr && IsWindow(lastControl_)) {
        SetFocus(lastControl_);
        if (lastIsEdit_) SendMessageA(lastControl_, EM_SETSEL, 0, -1);
    }
}

void DDX_Text(DataExchange& dx, int id, int& value) {
    HWND control = dx.PrepareEditCtrl(id);
    if (control == nullptr) return;
    if (dx.saveAndValidate) {
        if (!ParseIntField(WindowText(control).c_str(), value)) dx.Fail(ENTER_INTEGER_MESSAGE);
    } else {
        char text[16];
        ShowText(control, FormatIntField(value, text));
    }
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
    HWND control = dx.PrepareEditCtrl(id);
    if (control == nullptr) return;
    if (dx.saveAndValidate) {
        value = WindowText(control);
    } else {
        ShowText(control, value.c_str());
    }
}

void DDX_Check(DataExchange& dx, int id, int& value) {
    HWND control = dx.PrepareCtrl(id);
    if (control == nullptr) return;
    if (dx.saveAndValidate) {
        value = static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
    } else {
        const int state = (value >= BST_UNCHECKED && value <= BST_INDETERMINATE) ? value : BST_UNCHECKED;
        SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
}

void DDX_Control(DataExchange& dx, int id, Control& control) {
    HWND item = dx.PrepareCtrl(id);
    // Bound to this window's item; a wrapper left from an earlier window of
    // the same dialog object is bound afresh.
    if (item != nullptr && control.GetHwnd() != item) control.Attach(item);
}

void DDV_MaxChars(DataExchange& dx, const std::string& value, int maxChars) {
    if (dx.LastSkipped()) return;
    if (dx.saveAndValidate) {
        if (value.size() > static_cast<size_t>(maxChars < 0 ? 0 : maxChars)) {
            char message[64];
            std::snprintf(message, sizeof message, MAX_CHARS_MESSAGE_FORMAT, maxChars);
            dx.Fail(message);
        }
    } else if (dx.LastIsEdit()) {
        SendMessageA(dx.LastControl(), EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    }
}

}  // namespace quarnel
