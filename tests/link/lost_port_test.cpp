// A port whose device goes away: said once, the port shown closed, nothing more sent.
#include "link/link_texts.h"
#include "link_fixture.h"

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

class LostPort : public LinkFixture {
protected:
    LostPort() { N31.checked = false; } // tones would be heard

    void expect_shown_closed() {
        EXPECT_FALSE(port.is_open());
        EXPECT_TRUE(N18.checked.get());
        EXPECT_FALSE(link.BoardReady.get());
        EXPECT_FALSE(link.status.Label5_enabled.get());
        EXPECT_EQ(link.status.Label11.get(), "Serial port is closed");
        EXPECT_EQ(link.status.Label10.get(), "RO-ZUZ330:Reset failed.");
    }

    const Strings kLost{"The serial port COM3 was lost"};
};

TEST_F(LostPort, BetweenOperationsItIsSaidAtOnceAndTheWatchdogStaysQuiet) {
    ready_board();
    link.finish_operation(); // "01" sent, the watchdog waits for the board's "50"
    port.set_gone(true);
    loop.run_for(1);
    EXPECT_EQ(op.texts(), kLost);
    EXPECT_EQ(op.messages[0].caption, "Error");
    expect_shown_closed();
    loop.run_for(15000);
    EXPECT_EQ(op.texts(), kLost);
}

TEST_F(LostPort, InsideAnOperationItEndsTheOperationWithOneMessage) {
    ready_board();
    board.add_fault(Fault::silent(0x04)); // the board never answers: the wait is cut by the loss
    std::int64_t lost_at = 0;
    Timer cut(loop, 300, [&] {
        lost_at = loop.now_ms();
        port.set_gone(true);
    });
    cut.start();
    const bool ran = link.run_operation([&] {
        if (!link.send_d("04", "56"))
            link.reset_program_tries(9);
        link.mscomm1send("05");
        link.signal_failure();
    });
    cut.stop();
    EXPECT_TRUE(ran);
    EXPECT_LE(loop.now_ms() - lost_at, 1000);
    EXPECT_EQ(op.texts(), kLost);
    EXPECT_TRUE(op.tones.empty());
    EXPECT_EQ(exchange, Strings{"> 04"}) << "no restart, no closing 01";
    EXPECT_FALSE(link.Busy.get());
    EXPECT_FALSE(link.Timer1.enabled());
    expect_shown_closed();
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
    EXPECT_EQ(op.texts(), kLost);
    EXPECT_TRUE(op.questions.empty());
    EXPECT_TRUE(op.tones.empty());
    // The next operation speaks normally again.
    link.op().show_message("Ready", "Information", Icon::Information);
    EXPECT_EQ(op.texts().size(), 2u);
}

TEST_F(LostPort, ALostPortCaughtByThePortCheckRefusesTheOperation) {
    ready_board();
    loop.run_for(10000); // the idle release closes the port
    ASSERT_TRUE(N18.checked.get());
    // Reopened by the operation's port check, the port dies while the board boots.
    board.set_boot_delay_ms(5);
    Timer cut(loop, 2, [&] { port.set_gone(true); });
    cut.start();
    bool body_ran = false;
    EXPECT_FALSE(link.run_operation([&] { body_ran = true; }));
    cut.stop();
    EXPECT_FALSE(body_ran);
    EXPECT_EQ(op.texts(), kLost);
    expect_shown_closed();
}

} // namespace
} // namespace zz::test
