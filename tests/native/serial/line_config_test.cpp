#include <gtest/gtest.h>

#include "serial/line_config.h"

namespace quarnel {
namespace {

// Each code at and outside its table's ends; the first row is the defaults.
TEST(LineConfig, CodesGiveTheLineAndItsFlowControl) {
    struct Case {
        uint16_t baud, parityCode, dataBits, stopBitsCode, flow;
        uint32_t rate;
        int byteSize, parity, stopBits, xonXoff, ctsFlow, rts;
    };
    const Case cases[] = {
        {12, 3, 4, 1, 3, 115200, 8, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {BAUD_CODE_19200, 3, 4, 1, 3, 19200, 8, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {0, 3, 4, 1, 3, 0, 8, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {13, 3, 4, 1, 3, 0, 8, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {1, 3, 4, 1, 3, 110, 8, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {12, 3, 0, 1, 3, 115200, 0, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {12, 3, 5, 1, 3, 115200, 0, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {12, 3, 1, 1, 3, 115200, 5, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {12, 3, 4, 3, 3, 115200, 8, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 0,
         DCB_RTS_ENABLE},  // no code for 1.5 stop bits
        {12, 1, 4, 1, 3, 115200, 8, DCB_EVEN_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {12, 2, 4, 1, 3, 115200, 8, DCB_ODD_PARITY, DCB_ONE_STOP_BIT, 0, 0, DCB_RTS_ENABLE},
        {12, 3, 4, 1, 1, 115200, 8, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 1, 0, DCB_RTS_ENABLE},
        {12, 3, 4, 1, 2, 115200, 8, DCB_NO_PARITY, DCB_ONE_STOP_BIT, 0, 1, DCB_RTS_HANDSHAKE},
    };
    PortSettings defaults = {};
    LoadLineDefaults(defaults);
    for (const Case& c : cases) {
        const PortSettings settings = {1, c.baud, c.parityCode, c.dataBits, c.stopBitsCode, c.flow};
        const LineConfig line = LineConfigFor(&c == cases ? defaults : settings);
        SCOPED_TRACE(testing::Message() << c.baud << " " << c.parityCode << " " << c.dataBits << " " << c.stopBitsCode
                                        << " " << c.flow);
        EXPECT_EQ(line.baudRate, c.rate);
        EXPECT_EQ(line.byteSize, c.byteSize);
        EXPECT_EQ(line.parity, c.parity);
        EXPECT_EQ(line.stopBits, c.stopBits);
        EXPECT_EQ(line.fBinary, 1);
        EXPECT_EQ(line.fParity, c.parity != DCB_NO_PARITY);
        EXPECT_EQ(line.fDtrControl, DCB_DTR_ENABLE);
        EXPECT_EQ(line.fRtsControl, c.rts);
        EXPECT_EQ(line.fOutxCtsFlow, c.ctsFlow);
        EXPECT_EQ(line.fOutX + line.fInX, 2 * c.xonXoff);
        EXPECT_EQ(line.xonLim + line.xoffLim, 4096 * c.xonXoff);
        EXPECT_EQ(line.xonChar + line.xoffChar, (0x11 + 0x13) * c.xonXoff);
    }
}

}  // namespace
}  // namespace quarnel
