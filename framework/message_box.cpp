#include "framework/message_box.h"

#include <utility>

#include "framework/dialog_registry.h"

namespace quarnel {

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;  // window thread only
    return hook;
}

const char* caption = "";  // set once by the application before any box

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

void SetMessageBoxCaption(const char* text) { caption = text != nullptr ? text : ""; }

int AfxMessageBox(const char* text, UINT type) { return ShowMessageBox(DefaultOwnerWindow(), text, caption, type); }

}  // namespace quarnel
