#pragma once

#include <cstdint>

// Window messages of the serial link (WM_USER = 0x400).
namespace quarnel {

// lParam low word: PORT_EVENT_DATA or PORT_EVENT_CLOSE; wParam 0.
constexpr uint32_t WM_PORT_EVENT = 0x0400 + 4;
// The port is open and configured: start the receiver. wParam and lParam 0.
constexpr uint32_t WM_PORT_OPENED = 0x0400 + 5;

constexpr uint16_t PORT_EVENT_DATA = 1;    // received bytes wait in the driver (from the receiver thread)
constexpr uint16_t PORT_EVENT_CLOSE = 32;  // close the link (failed open, Close button)

}  // namespace quarnel
