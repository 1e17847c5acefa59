#pragma once

#include "base/observable.h"
#include "base/timer.h"
#include "link/link.h"

#include <functional>
#include <string>
#include <vector>

namespace zz {

// The port selector of the window: an editable list of port names; its text is the port in use.
struct PortSelector {
    Value<std::string> text{"COM1"};
    Value<std::vector<std::string>> items;
};

// Choosing the port, switching it off and on, restarting the board, and searching every port for
// a board of any model.
class BoardDiscovery {
public:
    using PortLister = std::function<std::vector<std::string>()>;

    BoardDiscovery(Link& link, PortLister lister);

    PortSelector selector;
    // Applies ProgrammerModel to the rest of the application (chip list, chip selection, menus),
    // with the chip position dialog suppressed once.
    std::function<void()> apply_found_model;

    // Refills the selector's list from the system; its text is kept.
    void test_com();
    // Switches a port that is off back on (restarting the board), if it is off.
    void reopen_port(bool show_status = true);
    void cmbbxcomnumChange();
    void N18Click(); // "&Turn Serial Off"
    void N16Click(); // "&Reset Programmer"
    void N29Click(); // "Auto &Find Board/Reconnect hardware"
    void findbord();
    // Restarts the board after the programmer model changed, so it announces the new identity.
    void restart_for_model();
    // After the port `name` was lost: watches the port list and, once that port is back, reopens
    // it and restarts the board, as switching the port on does. Ends when the person chooses or
    // switches on a port first.
    void watch_lost_port(const std::string& name);
    bool watching_lost_port() const { return lost_watch_.enabled(); }

    static constexpr int kLostWatchMs = 500;

private:
    // Opens the port and switches DTR on; false when opening failed.
    bool open_with_dtr(int settle);
    // An open-error message with what the port said beyond its first line (why it would not
    // open and what gives access) under it.
    std::string with_open_error(std::string message) const;
    void close_quietly(int settle);
    bool probe(const std::string& name);
    void found(int model, const std::string& name);
    void none_found();
    void lost_port_tick();
    bool port_present(const std::string& name) const;

    Link& link_;
    PortLister lister_;
    Timer lost_watch_;
    std::string lost_name_;
    std::string open_error_; // the last open failure of the port
};

// The serial ports the system has, in the order it lists them.
std::vector<std::string> system_serial_ports();

} // namespace zz
