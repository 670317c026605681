#include "serial/com_port_list.h"

#include <windows.h>

#include <cstdio>

#include "serial/com_port_names.h"

namespace quarnel {

int ComPortList(uint16_t* ports, int capacity) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    // Only tells whether the facility exists; the call below is an ordinary one.
    if (kernel == nullptr || GetProcAddress(kernel, "QueryDosDeviceA") == nullptr) {
        return ProbeComPorts(ports, capacity);
    }
    // Used by the window thread only.
    static char names[65536];
    if (QueryDosDeviceA(nullptr, names, sizeof names - 1) == 0) return ProbeComPorts(ports, capacity);
    names[sizeof names - 1] = '\0';
    return CollectComPorts(names, sizeof names, ports, capacity);
}

int ProbeComPorts(uint16_t* ports, int capacity) {
    int count = 0;
    for (int n = 1; n <= capacity; ++n) {
        char path[11];
        const int length = _snprintf(path, sizeof path, "\\\\.\\COM%d", n);
        if (length < 0 || length >= static_cast<int>(sizeof path)) break;  // no room for the name
        FILE* port = std::fopen(path, "r");
        if (port == nullptr) continue;
        std::fclose(port);
        ports[count++] = static_cast<uint16_t>(n);
    }
    return count;
}

}  // namespace quarnel
