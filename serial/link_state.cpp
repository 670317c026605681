#include "serial/link_state.h"

#include "serial/line_config.h"

namespace quarnel {

void LoadLineDefaults(PortSettings& settings) {
    settings.baudCode = BAUD_CODE_115200;
    settings.parityCode = PARITY_CODE_NONE;
    settings.dataBitsCode = DATA_BITS_CODE_8;
    settings.stopBitsCode = STOP_BITS_CODE_ONE;
    settings.flowCode = FLOW_CODE_NONE;
}

}  // namespace quarnel
