#pragma once

#include <string>
#include <vector>

namespace zz {

// A serial port as the system describes it.
struct PortDetails {
    std::string device;      // "/dev/ttyUSB0"
    std::string usb_id;      // vendor and product, "0403:6001"; empty for a port not on USB
    std::string description; // the adapter's product text, or the system's name for the port
};

// The serial ports the system has, in the order it lists them.
std::vector<PortDetails> system_port_details();

} // namespace zz
