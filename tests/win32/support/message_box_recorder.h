#pragma once

// Records every message box of the program while it lives (through the one
// hook every box goes through); each answers IDOK at once, nothing blocks.
// Creating one also registers the common control classes the program's
// dialogs hold.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/message_box.h"

namespace quarnel::test {

struct RecordedBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    std::vector<std::string> Texts() const;

    std::vector<RecordedBox> boxes;
    std::function<void()> onShow;  // runs inside the box, as a real box's loop would

private:
    MessageBoxHook previous_;
};

}  // namespace quarnel::test
