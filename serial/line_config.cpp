#include "serial/line_config.h"

namespace quarnel {
namespace {

uint32_t BaudRateFor(uint16_t code) {
    static const uint32_t RATES[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200};
    if (code < 1 || code > sizeof RATES / sizeof RATES[0]) return 0;
    return RATES[code - 1];
}

uint8_t ByteSizeFor(uint16_t code) { return code >= 1 && code <= 4 ? static_cast<uint8_t>(code + 4) : 0; }

}  // namespace

LineConfig LineConfigFor(const PortSettings& settings) {
    LineConfig line = {};
    line.baudRate = BaudRateFor(settings.baudCode);
    line.fBinary = 1;
    line.fDtrControl = DCB_DTR_ENABLE;

    switch (settings.parityCode) {
        case 1:
            line.fParity = 1;
            line.parity = DCB_EVEN_PARITY;
            break;
        case 2:
            line.fParity = 1;
            line.parity = DCB_ODD_PARITY;
            break;
        default: line.parity = DCB_NO_PARITY; break;
    }
    line.byteSize = ByteSizeFor(settings.dataBitsCode);
    // There is no code for 1.5 stop bits.
    line.stopBits = settings.stopBitsCode == 2 ? DCB_TWO_STOP_BITS : DCB_ONE_STOP_BIT;

    switch (settings.flowCode) {
        case 1:  // XON/XOFF
            line.fOutX = 1;
            line.fInX = 1;
            line.xonLim = 2048;
            line.xoffLim = 2048;
            line.xonChar = 0x11;
            line.xoffChar = 0x13;
            line.fRtsControl = DCB_RTS_ENABLE;
            break;
        case 2:  // RTS/CTS
            line.fOutxCtsFlow = 1;
            line.fRtsControl = DCB_RTS_HANDSHAKE;
            break;
        default: line.fRtsControl = DCB_RTS_ENABLE; break;
    }
    return line;
}

}  // namespace quarnel
