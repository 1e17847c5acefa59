// A board that restarts as its port opens, on a line without DTR (a pseudo-terminal): whatever
// reopens the port, the handshake done while it settles stands, and no watchdog follows it.
#include "base/virtual_loop.h"
#include "link/board_discovery.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zz::test {
namespace {

struct Reopen {
    const char* name;
    void (*run)(Link&, BoardDiscovery&);
    int opens; // each restarts the board
};

class NoDtrLine : public ::testing::TestWithParam<Reopen> {
protected:
    NoDtrLine() {
        port.set_dtr_line(false);
        board.set_boot_delay_ms(3); // announces well inside every settling pause
        port.set_name("/dev/pts/7");
        discovery.selector.text = "/dev/pts/7";
        N18.checked = true; // switched off, so every path below opens it
    }

    int identities() const {
        return static_cast<int>(
            std::count_if(board.trace().begin(), board.trace().end(),
                          [](const TraceEntry& e) { return e.from_board && e.hex == "4204"; }));
    }

    VirtualLoop loop;
    VirtualBoard board{loop, 3};
    VirtualPort port{loop, board};
    RecordingOperator op{loop};
    Flag N18, N31{true}, N_ICSP, UseVPP;
    Link link{loop, port, op, LinkFlags{N18, N31, N_ICSP, UseVPP}};
    BoardDiscovery discovery{link, [] { return std::vector<std::string>{"/dev/pts/7"}; }};
};

TEST_P(NoDtrLine, TheHandshakeWhileSettlingStands) {
    GetParam().run(link, discovery);
    loop.run_for(3000);
    EXPECT_TRUE(link.BoardReady.get());
    EXPECT_EQ(link.status.Label11.get(), "Ready");
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    EXPECT_FALSE(link.Timer1.enabled());
    EXPECT_EQ(identities(), GetParam().opens);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NoDtrLine,
    ::testing::Values(Reopen{"PortCheck", [](Link& l, BoardDiscovery&) { l.check_com_open(); }, 1},
                      Reopen{"SwitchOn", [](Link&, BoardDiscovery& d) { d.N18Click(); }, 1},
                      // Switched on first, then closed and opened again.
                      Reopen{"ResetProgrammer", [](Link&, BoardDiscovery& d) { d.N16Click(); }, 2},
                      Reopen{"PortChoice", [](Link&, BoardDiscovery& d) { d.cmbbxcomnumChange(); },
                             2},
                      Reopen{"LostPortBack",
                             [](Link&, BoardDiscovery& d) { d.watch_lost_port("/dev/pts/7"); }, 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zz::test
