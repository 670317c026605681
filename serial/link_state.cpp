#include "serial/link_state.h"

#include "serial/line_config.h"

namespace quarnel {

void LoadLineDefaults(PortSettings& settings) {
    settings.baudCode = kBaud115200;
    settings.parityCode = kParityNone;
    settings.dataBitsCode = kDataBits8;
    settings.stopBitsCode = kStopBitsOne;
    settings.flowCode = kFlowNone;
}

}  // namespace quarnel
