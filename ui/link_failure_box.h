#pragma once

// What the window tells the user when the serial link cannot be made.

#include <windows.h>

#include <cstdint>

#include "serial/serial_port.h"

namespace quarnel {

// A box captioned "Error" (exclamation icon, task-modal) saying why the link
// to COM<portNumber> failed; none for LinkFailure::None.
void ShowLinkFailure(HWND owner, LinkFailure failure, uint16_t portNumber);

}  // namespace quarnel
