#include "cli/port_listing.h"

#include <libserialport.h>

#include <algorithm>
#include <cstdio>

namespace quarnel {

namespace {

void Append(std::string& text, const char* part, const char* label = "") {
    if (part == nullptr || *part == '\0') return;
    if (!text.empty()) text += ", ";
    text += label;
    text += part;
}

std::string DescriptionOf(sp_port* port) {
    std::string text;
    if (sp_get_port_transport(port) == SP_TRANSPORT_USB) {
        Append(text, sp_get_port_usb_manufacturer(port));
        Append(text, sp_get_port_usb_product(port));
        Append(text, sp_get_port_usb_serial(port), "serial ");
        int vid = 0, pid = 0;
        if (sp_get_port_usb_vid_pid(port, &vid, &pid) == SP_OK) {
            char ids[16];
            std::snprintf(ids, sizeof ids, "%04x:%04x", vid, pid);
            Append(text, ids, "USB ");
        }
    }
    if (text.empty()) Append(text, sp_get_port_description(port));
    return text;
}

}  // namespace

std::vector<PortInfo> ListPorts() {
    std::vector<PortInfo> ports;
    sp_port** list = nullptr;
    if (sp_list_ports(&list) != SP_OK) return ports;
    for (int i = 0; list[i] != nullptr; ++i) ports.push_back({sp_get_port_name(list[i]), DescriptionOf(list[i])});
    sp_free_port_list(list);
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) { return a.name < b.name; });
    return ports;
}

}  // namespace quarnel
