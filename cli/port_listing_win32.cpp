#include "cli/port_listing.h"

#include <cstdint>

#include "serial/com_port_list.h"

namespace quarnel {

std::vector<PortInfo> ListPorts() {
    uint16_t numbers[MAX_COM_PORTS];
    const int count = ComPortList(numbers, MAX_COM_PORTS);
    std::vector<PortInfo> ports;
    for (int i = 0; i < count; ++i) ports.push_back({"COM" + std::to_string(numbers[i]), ""});
    return ports;
}

}  // namespace quarnel
