// The frame every board command runs in.
#include "link/link_texts.h"
#include "link_fixture.h"

namespace zz::test {
namespace {

using OperationFrame = LinkFixture;

TEST_F(OperationFrame, RunsTheBodyCollectingRepliesAndHandsTheBoardBack) {
    ready_board();
    bool collected = false;
    EXPECT_TRUE(link.run_operation([&] {
        collected = link.CollectReplies;
        EXPECT_TRUE(link.Busy.get());
        link.send_d("04", "56");
    }));
    EXPECT_TRUE(collected);
    EXPECT_FALSE(link.Busy.get());
    EXPECT_FALSE(link.CollectReplies);
    EXPECT_TRUE(link.Timer1.enabled());
    loop.run_for(10);
    EXPECT_EQ(exchange, (std::vector<std::string>{"> 04", "< 56", "> 01", "< 50"}));
    EXPECT_FALSE(link.Timer1.enabled()); // the board's "50" stopped the watchdog
    EXPECT_EQ(link.status.Label11.get(), "Ready");
}

TEST_F(OperationFrame, RefusesWhileBusyAndWhenTheBoardIsNotReady) {
    int runs = 0;
    link.Busy = true;
    EXPECT_FALSE(link.run_operation([&] { ++runs; }));
    EXPECT_TRUE(link.Busy.get());
    link.Busy = false;

    EXPECT_FALSE(link.run_operation([&] { ++runs; }));
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kBoardNotResponding});
    EXPECT_FALSE(link.Busy.get());
    EXPECT_TRUE(exchange.empty());
}

TEST_F(OperationFrame, ACheckBeforeTheReadyTestMayStopIt) {
    ready_board();
    EXPECT_FALSE(link.run_operation([] { FAIL(); }, [] { return false; }));
    EXPECT_FALSE(link.Busy.get());
    EXPECT_TRUE(exchange.empty());
}

TEST_F(OperationFrame, AlwaysEndsWithZeroOneEvenWhenTheBodyThrows) {
    ready_board();
    EXPECT_THROW(link.run_operation([] { throw std::runtime_error("file"); }), std::runtime_error);
    EXPECT_FALSE(link.Busy.get());
    EXPECT_FALSE(link.CollectReplies);
    EXPECT_EQ(exchange, std::vector<std::string>{"> 01"});
}

TEST_F(OperationFrame, ReopensAReleasedPortBeforeTheCommand) {
    ready_board();
    loop.run_for(10000);
    ASSERT_FALSE(port.is_open());
    exchange.clear();
    EXPECT_TRUE(link.run_operation([&] { link.send_d("04", "56"); }));
    EXPECT_EQ(exchange[0], "< 4204");
    EXPECT_EQ(exchange[3], "> 04");
}

} // namespace
} // namespace zz::test
