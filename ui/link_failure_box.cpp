#include "ui/link_failure_box.h"

#include <cstdio>

#include "framework/message_box.h"

namespace quarnel {

void ShowLinkFailure(HWND owner, LinkFailure failure, uint16_t portNumber) {
    char text[32];
    switch (failure) {
        case LinkFailure::None: return;
        case LinkFailure::PortNotOpened:
            std::snprintf(text, sizeof text, "Cannot open COM%u", static_cast<unsigned>(portNumber));
            break;
        case LinkFailure::NoReceiver: std::snprintf(text, sizeof text, "Can't create thread"); break;
    }
    ShowMessageBox(owner, text, "Error", MB_ICONEXCLAMATION | MB_TASKMODAL);
}

}  // namespace quarnel
