#pragma once

#include <windows.h>

// How the serial link shows its errors ("Cannot open COM3", "Can't create
// thread"). By default a task-modal message box with caption "Error" and the
// exclamation icon; tests replace it to capture the text without a box.
namespace quarnel {

using LinkErrorHandler = void (*)(HWND owner, const char* text);

// Installs handler (nullptr restores the message box); returns the one it replaces.
LinkErrorHandler SetLinkErrorHandler(LinkErrorHandler handler);

void ShowLinkErrorBox(HWND owner, const char* text);

}  // namespace quarnel
