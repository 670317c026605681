#include "cli/port_listing.h"

#include <cstdint>

#include "serial/com_port_list.h"

namespace quarnel {

namespace {

// As many as the window's discovery ever reports.
constexpr int kMaxPorts = 256;

}  // namespace

std::vector<PortInfo> ListPorts() {
    uint16_t numbers[kMaxPorts];
    const int count = ComPortList(numbers, kMaxPorts);
    std::vector<PortInfo> ports;
    for (int i = 0; i < count; ++i) ports.push_back({"COM" + std::to_string(numbers[i]), ""});
    return ports;
}

}  // namespace quarnel
