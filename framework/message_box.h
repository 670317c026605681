#pragma once

// Every message box of the program goes through ShowMessageBox, and so
// through one replaceable hook (tests record the boxes instead of showing
// them; nothing blocks).

#include <windows.h>

#include <functional>

namespace quarnel {

// Gets the owner, text, caption and type of a box; gives the button pressed.
using MessageBoxHook = std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;

// Installs `hook` (an empty one restores MessageBoxA); returns the one before.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// The caption of every AfxMessageBox: the program's title, which the
// application hands in at start-up (the framework knows no program).
void SetMessageBoxCaption(const char* text);

// A box with the caption set above, owned by the innermost running
// modal dialog (else the main window).
int AfxMessageBox(const char* text, UINT type = MB_OK);

}  // namespace quarnel
