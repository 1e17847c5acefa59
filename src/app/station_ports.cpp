// The ports of a station's boards when it takes every port where a board answers.
#include "app/station.h"

#include "base/real_loop.h"
#include "link/board_discovery.h"
#include "link/serial_port.h"

#include <thread>

namespace zz {

namespace {

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

// Every port searched at once: a port without a board takes its whole answer deadline (about 1 s),
// so a line of eight took eight seconds one after the other.
std::vector<std::string> ports_with_a_board(const std::vector<std::string>& candidates) {
    std::vector<char> found(candidates.size(), 0);
    {
        std::vector<std::jthread> searches;
        searches.reserve(candidates.size());
        for (std::size_t k = 0; k < candidates.size(); ++k)
            searches.emplace_back([&, k] { found[k] = board_answers_on(candidates[k]); });
    }
    std::vector<std::string> ports;
    for (std::size_t k = 0; k < candidates.size(); ++k)
        if (found[k])
            ports.push_back(candidates[k]);
    return ports;
}

} // namespace zz
