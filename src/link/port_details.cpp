#include "link/port_details.h"

#include <cstdio>
#include <libserialport.h>

namespace zz {

namespace {

std::string text_or_empty(const char* text) {
    return text ? text : "";
}

PortDetails details_of(sp_port* port) {
    PortDetails d;
    d.device = text_or_empty(sp_get_port_name(port));
    d.description = text_or_empty(sp_get_port_description(port));
    int vendor = 0;
    int product = 0;
    if (sp_get_port_transport(port) == SP_TRANSPORT_USB &&
        sp_get_port_usb_vid_pid(port, &vendor, &product) == SP_OK) {
        char id[16];
        std::snprintf(id, sizeof id, "%04x:%04x", vendor & 0xFFFF, product & 0xFFFF);
        d.usb_id = id;
    }
    return d;
}

} // namespace

std::vector<PortDetails> system_port_details() {
    std::vector<PortDetails> details;
    sp_port** ports = nullptr;
    if (sp_list_ports(&ports) != SP_OK)
        return details;
    for (sp_port** p = ports; *p; ++p)
        details.push_back(details_of(*p));
    sp_free_port_list(ports);
    return details;
}

} // namespace zz
