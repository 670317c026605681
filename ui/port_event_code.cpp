#include "ui/port_event_code.h"

namespace quarnel {

PortEventKind DecodePortEvent(std::intptr_t lParam) {
    switch (static_cast<std::uintptr_t>(lParam) & 0xFFFFu) {
        case 1: return PortEventKind::Data;
        case 32: return PortEventKind::Close;
        default: return PortEventKind::Ignored;
    }
}

}  // namespace quarnel
