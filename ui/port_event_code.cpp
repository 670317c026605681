#include "ui/port_event_code.h"

#include "serial/port_messages.h"

namespace quarnel {

PortEventKind DecodePortEvent(std::intptr_t lParam) {
    switch (static_cast<std::uint16_t>(static_cast<std::uintptr_t>(lParam) & 0xFFFFu)) {
        case PORT_EVENT_DATA: return PortEventKind::Data;
        case PORT_EVENT_CLOSE: return PortEventKind::Close;
        default: return PortEventKind::Ignored;
    }
}

}  // namespace quarnel
