#pragma once

// The dialogs the message loops know: the modal runs (innermost last) and the
// modeless dialogs. A loop hands every message to PreTranslateDialogMessage
// so each dialog gets its keyboard navigation (IsDialogMessage).

#include <windows.h>

namespace quarnel {

class Dialog;

// The innermost running modal dialog, or null.
Dialog* ActiveModalDialog();

// The owner for a dialog or message box given none: the innermost running
// modal dialog, else the application's main window, else null.
HWND DefaultOwnerWindow();

// Gives `msg` to the known dialog that holds its window. True when that
// dialog consumed it (then it must not be dispatched again).
bool PreTranslateDialogMessage(MSG& msg);

// Kept by Dialog itself.
void PushModal(Dialog* dialog);
void PopModal(Dialog* dialog);
void RegisterModeless(Dialog* dialog);
void UnregisterModeless(Dialog* dialog);
void UnregisterDialog(Dialog* dialog);

}  // namespace quarnel
