#include <gtest/gtest.h>

#include "serial/line_config.h"

namespace quarnel {
namespace {

LineConfig For(uint16_t baud, uint16_t parity, uint16_t dataBits, uint16_t stopBits, uint16_t flow) {
  return LineConfigFor(PortSettings{1, baud, parity, dataBits, stopBits, flow});
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

TEST(LineConfig, CodesAtAndOutsideTheTablesEnds) {
  EXPECT_EQ(For(kBaud19200, 3, 4, 1, 3).baudRate, 19200u);
  EXPECT_EQ(For(0, 3, 4, 1, 3).baudRate, 0u);
  EXPECT_EQ(For(13, 3, 4, 1, 3).baudRate, 0u);
  EXPECT_EQ(For(1, 3, 4, 1, 3).baudRate, 110u);
  EXPECT_EQ(For(12, 3, 0, 1, 3).byteSize, 0);
  EXPECT_EQ(For(12, 3, 5, 1, 3).byteSize, 0);
  EXPECT_EQ(For(12, 3, 1, 1, 3).byteSize, 5);
  EXPECT_EQ(For(12, 3, 4, 3, 3).stopBits, kOneStopBit);  // no code for 1.5 stop bits
  EXPECT_EQ(For(12, 1, 4, 1, 3).parity, kEvenParity);
  EXPECT_EQ(For(12, 2, 4, 1, 3).parity, kOddParity);
}

TEST(LineConfig, FlowControl) {
  const LineConfig xon = For(12, 3, 4, 1, 1);
  EXPECT_EQ(xon.fOutX + xon.fInX, 2);
  EXPECT_EQ(xon.xonLim + xon.xoffLim, 4096);
  EXPECT_EQ(xon.xonChar, 0x11);
  EXPECT_EQ(xon.xoffChar, 0x13);
  EXPECT_EQ(xon.fRtsControl, kRtsEnable);

  const LineConfig rts = For(12, 3, 4, 1, 2);
  EXPECT_EQ(rts.fOutxCtsFlow, 1);
  EXPECT_EQ(rts.fRtsControl, kRtsHandshake);
  EXPECT_EQ(rts.fOutX + rts.fInX, 0);
}

}  // namespace
}  // namespace quarnel
