// A port whose device goes away: said once, the port shown closed, nothing more sent. (Inside
// each chip command: tests/ops/lost_port_test.cpp.)
#include "link_fixture.h"

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

class LostPort : public LinkFixture {
protected:
    LostPort() { N31.checked = false; } // tones would be heard

    void expect_said_once_and_shown_closed() {
        EXPECT_EQ(op.texts(), Strings{"The serial port COM3 was lost"});
        EXPECT_EQ(op.messages.front().caption, "Error");
        EXPECT_TRUE(op.tones.empty());
        EXPECT_FALSE(port.is_open());
        EXPECT_TRUE(N18.checked.get());
        EXPECT_FALSE(link.BoardReady.get());
        EXPECT_FALSE(link.status.Label5_enabled.get());
        EXPECT_EQ(link.status.Label11.get(), "Serial port is closed");
        EXPECT_EQ(link.status.Label10.get(), "RO-ZUZ330:Reset failed.");
    }
};

TEST_F(LostPort, BetweenOperationsItIsSaidAtOnceAndTheWatchdogStaysQuiet) {
    ready_board();
    link.finish_operation(); // "01" sent, the watchdog waits for the board's "50"
    port.set_gone(true);
    loop.run_for(1);
    expect_said_once_and_shown_closed();
    loop.run_for(15000);
    EXPECT_EQ(op.texts().size(), 1u);
}

TEST_F(LostPort, WhatTheOperationWouldSayAfterwardsIsHeldBack) {
    ready_board();
    link.run_operation([&] {
        port.set_gone(true);
        loop.process_events();
        link.op().show_message("Error in verification", "Error", Icon::Error);
        EXPECT_FALSE(link.op().ask_yes_no("Continue?", "Information"));
        EXPECT_TRUE(link.op().play_tone(1000, 200));
        link.fail_receive();
        EXPECT_FALSE(link.reset_program());
    });
    EXPECT_TRUE(op.questions.empty());
    expect_said_once_and_shown_closed();
    link.op().show_message("Ready", "Information", Icon::Information); // the next one speaks
    EXPECT_EQ(op.texts().size(), 2u);
}

TEST_F(LostPort, APortThatDiesAsTheOperationOpensItRefusesTheOperation) {
    ready_board();
    loop.run_for(10000); // the idle release closes the port
    board.set_boot_delay_ms(5);
    Timer cut(loop, 2, [&] { port.set_gone(true); }); // inside the port check's settling
    cut.start();
    bool body_ran = false;
    EXPECT_FALSE(link.run_operation([&] { body_ran = true; }));
    cut.stop();
    EXPECT_FALSE(body_ran);
    expect_said_once_and_shown_closed();
}

} // namespace
} // namespace zz::test
