#include "board_fixture.h"

namespace zz::test {
namespace {

TEST_F(BoardTest, AnnouncesIdentityOfEachModelAfterBootDelay) {
    for (int model = 1; model <= 4; ++model) {
        board.set_model(model);
        board.clear_trace();
        port.open();
        loop.run_for(19);
        EXPECT_EQ(take(), "");
        loop.run_for(1);
        EXPECT_EQ(take(), "420" + std::to_string(model + 1));
        ASSERT_EQ(board.trace().size(), 1u);
        EXPECT_TRUE(board.trace()[0].from_board);
        port.close();
    }
}

TEST_F(BoardTest, DtrControlsRestart) {
    port.set_dtr(DtrControl::Disable);
    port.open();
    loop.run_for(100);
    EXPECT_EQ(take(), "");
    port.set_dtr(DtrControl::Enable);
    loop.run_for(30);
    EXPECT_EQ(take(), "4204");
    port.set_dtr(DtrControl::Handshake); // still active: no edge
    loop.run_for(30);
    EXPECT_EQ(take(), "");
    port.set_dtr(DtrControl::Disable);
    port.set_dtr(DtrControl::Enable);
    loop.run_for(30);
    EXPECT_EQ(take(), "4204");
}

struct SimpleCase {
    const char* command;
    const char* reply;
};

class SimpleCommands : public BoardTest, public ::testing::WithParamInterface<SimpleCase> {};

TEST_P(SimpleCommands, AnswerAsListed) {
    power_up();
    take();
    EXPECT_EQ(exchange(GetParam().command), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(Table, SimpleCommands,
                         ::testing::Values(SimpleCase{"50", "50"}, SimpleCase{"01", "50"},
                                           SimpleCase{"04", "56"}, SimpleCase{"05", "76"},
                                           SimpleCase{"032000010009000101050100", "49"},
                                           SimpleCase{"15", "56322E3337"}));

TEST_F(BoardTest, ReplyIsDueOneMsAfterTheCommand) {
    power_up();
    take();
    send("04");
    EXPECT_EQ(port.next_due_ms(), loop.now_ms() + 1);
    loop.run_for(0);
    EXPECT_EQ(take(), "");
    loop.run_for(1);
    EXPECT_EQ(take(), "56");
}

TEST_F(BoardTest, CommandsAreParsedAcrossSplitAndJoinedWrites) {
    power_up();
    take();
    send("0320000100");
    loop.run_for(10);
    EXPECT_EQ(take(), "");
    send("09000101050100");
    send("04FF05"); // an unknown code in between is skipped
    loop.run_for(10);
    EXPECT_EQ(take(), "495676");
    EXPECT_EQ(board.commands(),
              (std::vector<std::string>{"0320000100", "09000101050100", "04FF05"}));
}

TEST_F(BoardTest, InfoBlockOfConfiguredChip) {
    ChipParams p;
    p.CHIPbit = 1;
    p.ChipID = "FFFF";
    p.ROMsize = 512;
    p.ROMblank = "0FFF";
    p.CALword = true;
    p.fuse_blank_words[0] = 0x0FFF;
    board.insert_chip(VirtualChip(p, ChipFacts{0, 0x2A}));
    power_up();
    const std::string block = exchange("0D");
    EXPECT_EQ(block.substr(0, 6), "43FFFF");
    EXPECT_EQ(block.substr(50, 4), "2A0C");
}

TEST_F(BoardTest, TraceRecordsEveryWriteAndDeliveryWithTime) {
    power_up();
    loop.run_until(100);
    board.clear_trace();
    send("50");
    loop.run_for(5);
    ASSERT_EQ(board.trace().size(), 2u);
    EXPECT_EQ(board.trace()[0].time_ms, 100);
    EXPECT_FALSE(board.trace()[0].from_board);
    EXPECT_EQ(board.trace()[0].hex, "50");
    EXPECT_EQ(board.trace()[1].time_ms, 101);
    EXPECT_TRUE(board.trace()[1].from_board);
}

TEST_F(BoardTest, HostAnsweringInsideReceiveHandlerIsTracedAfterTheDelivery) {
    port.on_receive([this](std::span<const std::uint8_t> bytes) {
        received.push_back(bytes_to_hex(bytes));
        if (bytes.size() == 2)
            send("50");
    });
    power_up();
    loop.run_for(5);
    ASSERT_EQ(board.trace().size(), 3u);
    EXPECT_EQ(board.trace()[0].hex, "4204");
    EXPECT_EQ(board.trace()[1].hex, "50");
    EXPECT_EQ(board.trace()[2].hex, "50");
    EXPECT_EQ(board.trace()[2].time_ms, 21);
}

TEST_F(BoardTest, WireTimingCostsTenBitsPerByteEachWay) {
    board.set_wire_timing(true);
    power_up(); // identity at 20 ms + 0.52 ms -> 21 ms
    EXPECT_EQ(board.trace().back().time_ms, 21);
    loop.run_until(100);
    take();
    send("15"); // 0.26 ms in, 1 ms board, 5 bytes (1.30 ms) out -> 102.56 ms
    loop.run_for(2);
    EXPECT_EQ(take(), "");
    loop.run_for(1);
    EXPECT_EQ(take(), "56322E3337");
}

TEST_F(BoardTest, ClosingThePortStopsTheBoardAndDropsItsAnswers) {
    power_up();
    take();
    send("15");
    port.close();
    loop.run_for(50);
    EXPECT_EQ(take(), "");
    EXPECT_EQ(port.next_due_ms(), std::nullopt);
    EXPECT_FALSE(port.write(std::vector<std::uint8_t>{0x50}));
}

TEST_F(BoardTest, PortOpenErrorsAndRefusedWrites) {
    port.fail_next_open(comm_error::kOpenFailed);
    EXPECT_THROW(port.open(), CommError);
    EXPECT_FALSE(port.is_open());
    port.open();
    EXPECT_THROW(port.open(), CommError);
    port.set_write_refused(true);
    EXPECT_FALSE(port.write(std::vector<std::uint8_t>{0x50}));
    port.set_write_refused(false);
    EXPECT_FALSE(port.write(std::vector<std::uint8_t>{}));
    EXPECT_TRUE(port.write(std::vector<std::uint8_t>{0x50}));
}

} // namespace
} // namespace zz::test
