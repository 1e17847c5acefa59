#pragma once

#include <string>

namespace zz {

// What decides whether a person may open a serial device, and what would give access.
struct AccessFacts {
    std::string device;
    std::string user;  // login name; empty when unknown
    std::string owner; // the device's owner; empty when it has no name
    std::string group; // the device's group; empty when it has no name
    unsigned mode = 0; // permission bits (0660, 0600 ...)
    bool group_may_read_write = false;
    bool process_in_group = false; // this process already holds the group
    bool user_in_group = false;    // the group database lists the user (from the next login)
};

// Whether this process may open the device for reading and writing (opening it is not tried:
// that would restart a board through DTR), and for a device it may not open, what gives access.
struct PortAccess {
    bool may_open = true;
    std::string hint; // one line, empty when the device may be opened
};

PortAccess port_access(const std::string& device);

// The way to access for a device the process may not open.
std::string access_hint(const AccessFacts& facts);

// The detail of an open that failed for lack of permission: "Permission denied on <device>: " and
// the hint.
std::string permission_denied_text(const std::string& device);

} // namespace zz
