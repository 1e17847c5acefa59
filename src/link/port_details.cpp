#include "link/port_details.h"

#include <charconv>
#include <cstdio>
#include <fstream>
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
    d.latency_timer_ms = latency_timer_ms(d.device);
    d.rx_trigger_bytes = rx_trigger_bytes(d.device);
    return d;
}

// A whole number in the attribute `below` of the port's tty under `sys`.
std::optional<int> tty_attribute(const std::string& device, const std::filesystem::path& sys,
                                 const std::filesystem::path& below) {
    const std::string name = std::filesystem::path(device).filename();
    if (name.empty())
        return std::nullopt;
    std::ifstream in(sys / "class" / "tty" / name / below);
    std::string text;
    if (!std::getline(in, text))
        return std::nullopt;
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc{} || end != text.data() + text.size() || n < 0)
        return std::nullopt;
    return n;
}

} // namespace

std::optional<int> latency_timer_ms(const std::string& device, const std::filesystem::path& sys) {
    return tty_attribute(device, sys, "device/latency_timer");
}

std::optional<int> rx_trigger_bytes(const std::string& device, const std::filesystem::path& sys) {
    return tty_attribute(device, sys, "rx_trig_bytes");
}

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
