#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zz {

// A serial port as the system describes it.
struct PortDetails {
    std::string device;      // "/dev/ttyUSB0"
    std::string usb_id;      // vendor and product, "0403:6001"; empty for a port not on USB
    std::string description; // the adapter's product text, or the system's name for the port
    // The latency timer of an FTDI bridge's driver (ms): how long it may hold received bytes
    // before handing them over. Nothing for other ports.
    std::optional<int> latency_timer_ms;
};

// The latency timer that the driver of `device` shows under `sys` ("/sys": class/tty/<name>/
// device/latency_timer); nothing when it has none or it cannot be read.
std::optional<int> latency_timer_ms(const std::string& device,
                                    const std::filesystem::path& sys = "/sys");

// The serial ports the system has, in the order it lists them.
std::vector<PortDetails> system_port_details();

} // namespace zz
