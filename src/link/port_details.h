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
    // The receive FIFO's trigger level of a 16550-like UART (bytes): fewer bytes wait for the
    // FIFO's time-out of 4 character times before they are handed over. Nothing for other ports.
    std::optional<int> rx_trigger_bytes;
};

// The latency timer that the driver of `device` shows under `sys` ("/sys": class/tty/<name>/
// device/latency_timer); nothing when it has none or it cannot be read.
std::optional<int> latency_timer_ms(const std::string& device,
                                    const std::filesystem::path& sys = "/sys");
// The trigger level that the UART driver of `device` shows under `sys` ("/sys": class/tty/<name>/
// rx_trig_bytes); nothing when it has none or it cannot be read.
std::optional<int> rx_trigger_bytes(const std::string& device,
                                    const std::filesystem::path& sys = "/sys");

// The serial ports the system has, in the order it lists them.
std::vector<PortDetails> system_port_details();

} // namespace zz
