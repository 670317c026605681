#pragma once

#include <cstdint>

#include "serial/link_state.h"

// Translation of the PortSettings codes into the line parameters of the
// system's device control block. The values of the enumerations below are the
// system's own (NOPARITY, ONESTOPBIT, DTR_CONTROL_ENABLE, ...), so the driver
// copies them over unchanged.
namespace quarnel {

// PortSettings codes the program itself uses.
constexpr uint16_t kBaud19200 = 9;
constexpr uint16_t kBaud115200 = 12;
constexpr uint16_t kParityNone = 3;
constexpr uint16_t kDataBits8 = 4;
constexpr uint16_t kStopBitsOne = 1;
constexpr uint16_t kFlowNone = 3;

enum LineParity : uint8_t { kNoParity = 0, kOddParity = 1, kEvenParity = 2 };
enum LineStopBits : uint8_t { kOneStopBit = 0, kTwoStopBits = 2 };
enum LineDtrControl : uint8_t { kDtrEnable = 1 };
enum LineRtsControl : uint8_t { kRtsEnable = 1, kRtsHandshake = 2 };

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
