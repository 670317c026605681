#pragma once

// A dialog's message map: a table from (message, notification code, control
// id) to member handlers, scanned in order, first match wins. Rows are built
// with the helpers of Dialog (OnCommand, OnClicked, OnMessage, ...) inside the
// derived dialog's GetMessageMap, so the map reads as one table there.

#include <windows.h>

#include <cstddef>

namespace quarnel {

class Dialog;

struct MessageEntry {
    UINT message;  // WM_COMMAND for control notifications and commands
    UINT code;     // WM_COMMAND only: notification code (HIWORD of wParam)
    UINT id;       // WM_COMMAND only: control or command id (LOWORD of wParam)
    // Exactly one of the two is set.
    void (Dialog::*action)();                    // no arguments; the result is 0
    LRESULT (Dialog::*handler)(WPARAM, LPARAM);  // gets wParam and lParam, gives the result
};

struct MessageMap {
    const MessageEntry* entries = nullptr;
    std::size_t count = 0;
};

template <std::size_t N>
constexpr MessageMap MakeMessageMap(const MessageEntry (&entries)[N]) {
    return MessageMap{entries, N};
}

}  // namespace quarnel
