#include "dialog_driver.h"

#include "framework/dialog.h"
#include "framework/dialog_registry.h"

namespace quarnel::test {

namespace {

ModalScript* runningScript = nullptr;

// Ticks a dialog may stay up after the last step before it is cancelled.
constexpr int FORGOTTEN_TICKS = 200;

}  // namespace

ModalScript::ModalScript() {
    runningScript = this;
    timer_ = SetTimer(nullptr, 0, 10, &ModalScript::Tick);
}

ModalScript::~ModalScript() {
    KillTimer(nullptr, timer_);
    runningScript = nullptr;
}

ModalScript& ModalScript::Then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (runningScript != nullptr) runningScript->RunTick();
}

void ModalScript::RunTick() {
    Dialog* dialog = ActiveModalDialog();
    if (dialog == nullptr || dialog->GetHwnd() == nullptr) return;
    HWND hwnd = dialog->GetHwnd();
    // A step that ends the dialog is the last message of its modal loop, so
    // the next tick already finds the following dialog, if any.
    if (done < static_cast<int>(steps_.size())) {
        templates.push_back(dialog->GetTemplateId());
        steps_[static_cast<size_t>(done++)](hwnd);
        idleTicks_ = 0;
        return;
    }
    // A dialog the script did not expect: end it so the test fails instead of hanging.
    if (++idleTicks_ > FORGOTTEN_TICKS) {
        dialog->End(IDCANCEL);
        idleTicks_ = 0;
    }
}

std::string ItemText(HWND dialog, int id) {
    char text[256] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void SetItemText(HWND dialog, int id, const char* text) { SetDlgItemTextA(dialog, id, text); }

void ChooseListEntry(HWND dialog, int id, int index) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

int ListSelection(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

void Press(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressCommand(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void TypeChars(HWND dialog, int id, const char* text) {
    HWND edit = GetDlgItem(dialog, id);
    for (const char* c = text; *c != '\0'; ++c) {
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*c)), 0);
    }
}

}  // namespace quarnel::test
