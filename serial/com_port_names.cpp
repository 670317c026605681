#include "serial/com_port_names.h"

#include <cstdlib>
#include <cstring>

namespace quarnel {
namespace {

// atoi of the text after "COM", truncated to 16 bits ("COMX" gives 0).
uint16_t PortNumberOf(const char* name) { return static_cast<uint16_t>(std::strtol(name + 3, nullptr, 10)); }

// Ascending selection sort (the earliest of equal values is taken first).
void SortPortNumbers(uint16_t* ports, int count) {
    for (int i = 0; i + 1 < count; ++i) {
        int smallest = i;
        for (int j = i + 1; j < count; ++j) {
            if (ports[j] < ports[smallest]) smallest = j;
        }
        if (smallest != i) {
            const uint16_t value = ports[i];
            ports[i] = ports[smallest];
            ports[smallest] = value;
        }
    }
}

}  // namespace

int CollectComPorts(const char* names, size_t size, uint16_t* ports, int capacity) {
    int count = 0;
    size_t at = 0;
    while (count < capacity && at < size && names[at] != '\0') {
        const char* name = names + at;
        const void* end = std::memchr(name, '\0', size - at);
        if (end == nullptr) break;  // a name cut off by the end of the buffer
        const size_t length = static_cast<size_t>(static_cast<const char*>(end) - name);
        if (length > 3 && std::strncmp(name, "COM", 3) == 0) ports[count++] = PortNumberOf(name);
        at += length + 1;
    }
    SortPortNumbers(ports, count);
    return count;
}

}  // namespace quarnel
