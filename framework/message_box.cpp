#include "framework/message_box.h"

#include <utility>

#include "app/product_info.h"
#include "framework/dialog_registry.h"

namespace quarnel {

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;  // window thread only
    return hook;
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (text == nullptr) text = "";
    if (caption == nullptr) caption = "";
    if (Hook()) return Hook()(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

int AfxMessageBox(const char* text, UINT type) {
    return ShowMessageBox(DefaultOwnerWindow(), text, kProductTitle, type);
}

}  // namespace quarnel
