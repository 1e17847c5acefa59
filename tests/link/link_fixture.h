#pragma once

#include "base/virtual_loop.h"
#include "link/link.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

namespace zz::test {

// A link on a virtual clock, wired to a virtual board of model 3 on a port named COM3.
class LinkFixture : public ::testing::Test {
protected:
    LinkFixture() {
        port.set_name("COM3");
        link.set_trace([this](bool sent, std::string_view hex) {
            exchange.push_back((sent ? "> " : "< ") + std::string(hex));
        });
    }

    // Opens the port with DTR off, then switches DTR on as start-up does; the board announces
    // itself and the handshake runs on the announcement path.
    void start_board() {
        port.set_dtr(DtrControl::Disable);
        port.open();
        loop.run_for(15);
        port.set_dtr(DtrControl::Enable);
        link.Timer1.start();
        loop.run_for(100);
    }

    // Starts the board, then forgets the exchanges so far.
    void ready_board() {
        start_board();
        ASSERT_TRUE(link.BoardReady.get());
        exchange.clear();
        op.messages.clear();
    }

    VirtualLoop loop;
    VirtualBoard board{loop, 3};
    VirtualPort port{loop, board};
    RecordingOperator op{loop};
    Flag N18, N31{true}, N_ICSP, UseVPP;
    Link link{loop, port, op, LinkFlags{N18, N31, N_ICSP, UseVPP}};
    std::vector<std::string> exchange; // "> 04", "< 56" ...
};

} // namespace zz::test
