#pragma once

#include <windows.h>

#include "framework/dialog.h"

namespace quarnel {

// The system-menu command that opens the About box.
constexpr UINT IDM_ABOUTBOX = 0x0010;

// The About box: the icon, the version line and a notice; OK closes it.
class AboutDialog : public Dialog {
public:
    AboutDialog();
};

}  // namespace quarnel
