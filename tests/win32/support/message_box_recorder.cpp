#include "tests/win32/support/message_box_recorder.h"

#include "framework/application.h"

namespace quarnel::test {

MessageBoxRecorder::MessageBoxRecorder() {
    static const bool commonControlsReady = InitCommonControlClasses();
    (void)commonControlsReady;
    previous_ = SetMessageBoxHook([this](HWND owner, const char* text, const char* caption, UINT type) {
        boxes.push_back(RecordedBox{owner, text, caption, type});
        if (onShow) onShow();
        return IDOK;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHook(previous_); }

std::vector<std::string> MessageBoxRecorder::Texts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& box : boxes) texts.push_back(box.text);
    return texts;
}

}  // namespace quarnel::test
