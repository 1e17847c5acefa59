#include "board_fixture.h"

namespace zz::test {
namespace {

TEST_F(BoardTest, FaultHitsOnlyTheNthOccurrence) {
    board.add_fault(Fault::silent(0x0D, 2));
    power_up();
    EXPECT_EQ(exchange("0D").size(), 54u);
    EXPECT_EQ(exchange("0D"), "");
    EXPECT_EQ(exchange("0D").size(), 54u);
    EXPECT_EQ(exchange("04"), "56");
}

TEST_F(BoardTest, FaultWithoutOccurrenceHitsEveryCommand) {
    board.add_fault(Fault::reply(0x04, {0x56, 0x00}));
    power_up();
    EXPECT_EQ(exchange("04"), "5600");
    EXPECT_EQ(exchange("04"), "5600");
    board.clear_faults();
    EXPECT_EQ(exchange("04"), "56");
}

TEST_F(BoardTest, ExtraBytesAndDelay) {
    board.add_fault(Fault::extra(0x03, {0x00}, 1));
    board.add_fault(Fault::delay(0x05, 1500, 1));
    power_up();
    EXPECT_EQ(exchange("032000010009000101050100"), "4900");
    take();
    send("05");
    loop.run_for(1500);
    EXPECT_EQ(take(), "");
    loop.run_for(1);
    EXPECT_EQ(take(), "76");
}

TEST_F(BoardTest, SplitReplyArrivesInGivenPiecesAndGaps) {
    board.add_fault(Fault::split(0x0D, {10, 7}, {3, 20}, 1));
    power_up();
    take();
    send("0D");
    const std::int64_t t0 = loop.now_ms();
    loop.run_for(50);
    ASSERT_EQ(received.size(), 3u);
    EXPECT_EQ(received[0].size(), 20u);
    EXPECT_EQ(received[1].size(), 14u);
    EXPECT_EQ(received[2].size(), 20u);
    const auto& t = board.trace();
    ASSERT_EQ(t.size(), 5u); // identity, "0D", three pieces
    EXPECT_EQ(t[2].time_ms - t0, 1);
    EXPECT_EQ(t[3].time_ms - t0, 4);
    EXPECT_EQ(t[4].time_ms - t0, 24);
}

TEST_F(BoardTest, DeadBoardSaysNothingButRestartsWhenRevived) {
    board.set_dead(true);
    power_up();
    EXPECT_EQ(exchange("50"), "");
    board.set_dead(false);
    port.set_dtr(DtrControl::Disable);
    port.set_dtr(DtrControl::Enable);
    loop.run_for(30);
    EXPECT_EQ(take(), "4204");
}

TEST_F(BoardTest, UnsolicitedMessagesArriveAtTheirTime) {
    power_up();
    take();
    board.send_at(100, {0x51, 0x01});
    board.send_at(200, {0x42, 0x02});
    EXPECT_EQ(port.next_due_ms(), 100);
    loop.run_until(99);
    EXPECT_EQ(take(), "");
    loop.run_until(100);
    EXPECT_EQ(take(), "5101");
    loop.run_until(200);
    EXPECT_EQ(take(), "4202");
}

TEST_F(BoardTest, RestartDropsAnswersStillPending) {
    board.add_fault(Fault::delay(0x15, 100));
    power_up();
    take();
    send("15");
    loop.run_for(10);
    port.set_dtr(DtrControl::Disable);
    loop.run_for(50);
    port.set_dtr(DtrControl::Enable);
    loop.run_for(200);
    EXPECT_EQ(take(), "4204");
}

} // namespace
} // namespace zz::test
