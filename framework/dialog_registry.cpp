#include "framework/dialog_registry.h"

#include <algorithm>
#include <vector>

#include "framework/application.h"
#include "framework/dialog.h"

namespace quarnel {

namespace {

// Window thread only. Changed only when a dialog starts, ends or is created.
std::vector<Dialog*>& ModalDialogs() {
    static std::vector<Dialog*> dialogs;
    return dialogs;
}

std::vector<Dialog*>& ModelessDialogs() {
    static std::vector<Dialog*> dialogs;
    return dialogs;
}

void Remove(std::vector<Dialog*>& list, Dialog* dialog) {
    list.erase(std::remove(list.begin(), list.end(), dialog), list.end());
}

bool Holds(HWND dialogWindow, HWND target) {
    return dialogWindow != nullptr && target != nullptr && (target == dialogWindow || IsChild(dialogWindow, target));
}

}  // namespace

Dialog* ActiveModalDialog() {
    const auto& modal = ModalDialogs();
    for (auto it = modal.rbegin(); it != modal.rend(); ++it) {
        if ((*it)->GetHwnd() != nullptr) return *it;
    }
    return nullptr;
}

HWND DefaultOwnerWindow() {
    if (Dialog* modal = ActiveModalDialog()) return modal->GetHwnd();
    if (Application* app = GetApp()) {
        if (app->mainWindow != nullptr) return app->mainWindow->GetHwnd();
    }
    return nullptr;
}

bool PreTranslateDialogMessage(MSG& msg) {
    if (msg.hwnd == nullptr) return false;
    // IsDialogMessage may run handlers that change the lists: look up first,
    // then call with the window alone.
    HWND target = nullptr;
    const auto& modal = ModalDialogs();
    for (auto it = modal.rbegin(); it != modal.rend() && target == nullptr; ++it) {
        if (Holds((*it)->GetHwnd(), msg.hwnd)) target = (*it)->GetHwnd();
    }
    for (Dialog* dialog : ModelessDialogs()) {
        if (target != nullptr) break;
        if (Holds(dialog->GetHwnd(), msg.hwnd)) target = dialog->GetHwnd();
    }
    return target != nullptr && IsDialogMessageA(target, &msg) != FALSE;
}

void PushModal(Dialog* dialog) { ModalDialogs().push_back(dialog); }

void PopModal(Dialog* dialog) { Remove(ModalDialogs(), dialog); }

void RegisterModeless(Dialog* dialog) {
    auto& list = ModelessDialogs();
    if (std::find(list.begin(), list.end(), dialog) == list.end()) list.push_back(dialog);
}

void UnregisterModeless(Dialog* dialog) { Remove(ModelessDialogs(), dialog); }

void UnregisterDialog(Dialog* dialog) {
    Remove(ModalDialogs(), dialog);
    Remove(ModelessDialogs(), dialog);
}

}  // namespace quarnel
