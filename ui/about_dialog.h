#pragma once

#include <windows.h>

#include "framework/dialog.h"

namespace quarnel {

// The About box: the icon, the version line and a notice; OK closes it.
class AboutDialog : public Dialog {
public:
    AboutDialog();
};

}  // namespace quarnel
