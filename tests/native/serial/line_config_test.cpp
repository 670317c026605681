#include <gtest/gtest.h>

#include "serial/line_config.h"

namespace quarnel {
namespace {

PortSettings Codes(uint16_t baud, uint16_t parity, uint16_t dataBits, uint16_t stopBits, uint16_t flow) {
  return PortSettings{1, baud, parity, dataBits, stopBits, flow};
}

TEST(LineConfig, BaudCodesAndUnknownCodes) {
  const uint32_t expected[] = {0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200, 0};
  for (uint16_t code = 0; code <= 13; ++code) {
    EXPECT_EQ(LineConfigFor(Codes(code, 3, 4, 1, 3)).baudRate, expected[code]) << code;
  }
  EXPECT_EQ(LineConfigFor(Codes(0xFFFF, 3, 4, 1, 3)).baudRate, 0u);
}

TEST(LineConfig, DefaultsAreBinaryWithDtrAndRtsOnly) {
  PortSettings settings = {};
  LoadLineDefaults(settings);
  const LineConfig line = LineConfigFor(settings);
  EXPECT_EQ(line.baudRate, 115200u);
  EXPECT_EQ(line.byteSize, 8);
  EXPECT_EQ(line.parity, kNoParity);
  EXPECT_EQ(line.stopBits, kOneStopBit);
  EXPECT_EQ(line.fBinary, 1);
  EXPECT_EQ(line.fDtrControl, kDtrEnable);
  EXPECT_EQ(line.fRtsControl, kRtsEnable);
  EXPECT_EQ(line.fParity + line.fOutX + line.fInX + line.fOutxCtsFlow, 0);
  EXPECT_EQ(line.xonLim + line.xoffLim + line.xonChar + line.xoffChar, 0);
}

TEST(LineConfig, ParityDataAndStopBits) {
  EXPECT_EQ(LineConfigFor(Codes(12, 1, 4, 1, 3)).parity, kEvenParity);
  EXPECT_EQ(LineConfigFor(Codes(12, 1, 4, 1, 3)).fParity, 1);
  EXPECT_EQ(LineConfigFor(Codes(12, 2, 4, 1, 3)).parity, kOddParity);
  EXPECT_EQ(LineConfigFor(Codes(12, 7, 4, 1, 3)).fParity, 0);
  const uint8_t sizes[] = {0, 5, 6, 7, 8, 0};
  for (uint16_t code = 0; code <= 5; ++code) EXPECT_EQ(LineConfigFor(Codes(12, 3, code, 1, 3)).byteSize, sizes[code]);
  EXPECT_EQ(LineConfigFor(Codes(12, 3, 4, 2, 3)).stopBits, kTwoStopBits);
  EXPECT_EQ(LineConfigFor(Codes(12, 3, 4, 3, 3)).stopBits, kOneStopBit);
}

TEST(LineConfig, FlowControl) {
  const LineConfig xon = LineConfigFor(Codes(12, 3, 4, 1, 1));
  EXPECT_EQ(xon.fOutX + xon.fInX, 2);
  EXPECT_EQ(xon.xonLim, 2048);
  EXPECT_EQ(xon.xoffLim, 2048);
  EXPECT_EQ(xon.xonChar, 0x11);
  EXPECT_EQ(xon.xoffChar, 0x13);
  EXPECT_EQ(xon.fRtsControl, kRtsEnable);
  EXPECT_EQ(xon.fOutxCtsFlow, 0);

  const LineConfig rts = LineConfigFor(Codes(12, 3, 4, 1, 2));
  EXPECT_EQ(rts.fOutxCtsFlow, 1);
  EXPECT_EQ(rts.fRtsControl, kRtsHandshake);
  EXPECT_EQ(rts.fOutX + rts.fInX, 0);

  EXPECT_EQ(LineConfigFor(Codes(12, 3, 4, 1, 9)).fRtsControl, kRtsEnable);
}

}  // namespace
}  // namespace quarnel
