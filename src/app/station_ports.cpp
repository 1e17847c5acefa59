// The ports of a station's boards when it takes every port where a board answers.
#include "app/station.h"

#include "base/real_loop.h"
#include "link/board_discovery.h"
#include "link/serial_port.h"

namespace zz {

namespace {

class QuietOperator : public Operator {
public:
    void show_message(std::string_view, std::string_view, Icon) override {}
    bool ask_yes_no(std::string_view, std::string_view) override { return false; }
    bool play_tone(int, int) override { return true; }
};

// The board search of the window, one port at a time and without its messages.
bool board_answers_on(const std::string& name) {
    RealLoop loop;
    SerialPort port(loop);
    QuietOperator op;
    Flag N18, N31{true}, N_ICSP, vpp_first;
    Link link(loop, port, op, LinkFlags{N18, N31, N_ICSP, vpp_first});
    BoardDiscovery search(link, [name] { return std::vector<std::string>{name}; });
    bool found = false;
    search.apply_found_model = [&found] { found = true; };
    link.StartupSearchPending = true; // a search without messages
    search.findbord();
    port.set_dtr(DtrControl::Disable);
    port.close();
    return found;
}

} // namespace

std::vector<std::string> ports_with_a_board(const std::vector<std::string>& candidates) {
    std::vector<std::string> ports;
    for (const std::string& name : candidates)
        if (board_answers_on(name))
            ports.push_back(name);
    return ports;
}

} // namespace zz
