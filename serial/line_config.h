#pragma once

#include <cstdint>

#include "serial/link_state.h"

// Translation of the PortSettings codes into the line parameters of the
// system's device control block. The values of the enumerations below are the
// system's own (NOPARITY, ONESTOPBIT, DTR_CONTROL_ENABLE, ...), so the driver
// copies them over unchanged.
namespace quarnel {

// PortSettings codes the program itself uses.
constexpr uint16_t BAUD_CODE_19200 = 9;
constexpr uint16_t BAUD_CODE_115200 = 12;
constexpr uint16_t PARITY_CODE_NONE = 3;
constexpr uint16_t DATA_BITS_CODE_8 = 4;
constexpr uint16_t STOP_BITS_CODE_ONE = 1;
constexpr uint16_t FLOW_CODE_NONE = 3;

enum LineParity : uint8_t { DCB_NO_PARITY = 0, DCB_ODD_PARITY = 1, DCB_EVEN_PARITY = 2 };
enum LineStopBits : uint8_t { DCB_ONE_STOP_BIT = 0, DCB_TWO_STOP_BITS = 2 };
enum LineDtrControl : uint8_t { DCB_DTR_ENABLE = 1 };
enum LineRtsControl : uint8_t { DCB_RTS_ENABLE = 1, DCB_RTS_HANDSHAKE = 2 };

// The members of the device control block that the codes set; every other
// member stays 0.
struct LineConfig {
    uint32_t baudRate;  // 0 for an unknown code: the system refuses it, the line keeps its settings
    uint8_t fBinary;
    uint8_t fParity;
    uint8_t fOutxCtsFlow;
    uint8_t fDtrControl;
    uint8_t fOutX;
    uint8_t fInX;
    uint8_t fRtsControl;
    uint16_t xonLim;
    uint16_t xoffLim;
    uint8_t byteSize;
    uint8_t parity;
    uint8_t stopBits;
    char xonChar;
    char xoffChar;
};

LineConfig LineConfigFor(const PortSettings& settings);

}  // namespace quarnel
