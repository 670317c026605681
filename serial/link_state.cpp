#include "serial/link_state.h"

#include "serial/line_config.h"

namespace quarnel {

void LoadLineDefaults(PortSettings& settings) {
    settings.baudCode = BAUD115200;
    settings.parityCode = PARITY_CODE_NONE;
    settings.dataBitsCode = DATA_BITS8;
    settings.stopBitsCode = STOP_BITS_ONE;
    settings.flowCode = FLOW_NONE;
}

}  // namespace quarnel
