// The serial ports present on this machine, for `quarnel-cli ports`.
#pragma once

#include <string>
#include <vector>

namespace quarnel {

struct PortInfo {
    std::string name;         // what the commands take: /dev/ttyUSB0, COM3
    std::string description;  // USB maker, product and serial number where known; may be empty
};

std::vector<PortInfo> ListPorts();

}  // namespace quarnel
