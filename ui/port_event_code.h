#pragma once

// Decoding of WM_PORT_EVENT's lParam. Only its low 16 bits count, and they
// are compared for equality, not tested as bits.

#include <cstdint>

namespace quarnel {

enum class PortEventKind {
    Data,     // PORT_EVENT_DATA (1): received bytes are waiting in the driver
    Close,    // PORT_EVENT_CLOSE (32): close the link
    Ignored,  // anything else
};

PortEventKind DecodePortEvent(std::intptr_t lParam);

}  // namespace quarnel
