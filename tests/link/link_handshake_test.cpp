// The board's announcements, the handshake, the watchdog and the idle release.
#include "link/link_texts.h"
#include "link_fixture.h"
#include "sim/board_fault.h"

#include <algorithm>

namespace zz::test {
namespace {

using Handshake = LinkFixture;

TEST_F(Handshake, StartUpAnnouncesIdentityAndBecomesReady) {
    start_board();
    EXPECT_EQ(exchange, (std::vector<std::string>{"< 4204", "> 50", "< 50"}));
    EXPECT_TRUE(link.BoardReady.get());
    EXPECT_EQ(link.status.Label10.get(), "RO-ZUZ330:already connect");
    EXPECT_EQ(link.status.Label11.get(), "Ready");
    EXPECT_FALSE(link.Timer1.enabled());
    EXPECT_TRUE(link.Timer3.enabled());
    EXPECT_EQ(link.Timer3.interval(), 10000);
    // The board's own record of the same exchange.
    ASSERT_EQ(board.trace().size(), 3u);
    EXPECT_TRUE(board.trace()[0].from_board);
    EXPECT_EQ(board.trace()[1].hex, "50");
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(Handshake, IdentityOfAnotherModelIsIgnoredAndTheWatchdogReportsTheBoardLost) {
    link.ProgrammerModel = 1;
    start_board(); // the board is a model 3
    EXPECT_EQ(exchange, (std::vector<std::string>{"< 4204"}));
    EXPECT_FALSE(link.BoardReady.get());
    loop.run_for(2000);
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0].text, texts::kBoardNotResponding);
    EXPECT_EQ(op.messages[0].caption, "Error");
    EXPECT_EQ(link.status.Label10.get(), "VO310Z2:Reset failed.");
    EXPECT_EQ(link.status.Label11.get(), "Communication failed");
}

TEST_F(Handshake, WatchdogStartsTheSearchWhileTheStartUpSearchIsPending) {
    int searches = 0;
    link.set_startup_search([&] { ++searches; });
    link.StartupSearchPending = true;
    board.set_dead(true);
    start_board();
    loop.run_for(2000);
    EXPECT_EQ(searches, 1);
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(Handshake, IdentityClearsThePendingSearch) {
    link.StartupSearchPending = true;
    start_board();
    EXPECT_FALSE(link.StartupSearchPending);
}

TEST_F(Handshake, RequestsBeginningWith51AreAcknowledged) {
    ready_board();
    board.send_at(loop.now_ms() + 5, {0x51, 0x07});
    loop.run_for(20);
    EXPECT_EQ(exchange, (std::vector<std::string>{"< 5107", "> 50", "< 50"}));
}

// Deliveries the board makes on its own: (ms, bytes).
using Sends = std::vector<std::pair<std::int64_t, std::vector<std::uint8_t>>>;

struct SplitCase {
    const char* name;
    Sends sends;
    bool answered; // the host took it as the identity and said "50"
};

class SplitAnnouncement : public LinkFixture, public ::testing::WithParamInterface<SplitCase> {};

// A line that hands bytes over one at a time or per USB frame splits the identity; the start is
// kept for 50 ms. Anything that is not such a start is taken as it is.
TEST_P(SplitAnnouncement, IdentityStartIsJoinedWithItsRestWithin50Ms) {
    board.set_dead(true);
    port.open();
    for (const auto& [ms, bytes] : GetParam().sends)
        board.send_at(ms, bytes);
    loop.run_for(200);
    const bool answered = std::find(exchange.begin(), exchange.end(), "> 50") != exchange.end();
    EXPECT_EQ(answered, GetParam().answered);
}

INSTANTIATE_TEST_SUITE_P(
    Handshake, SplitAnnouncement,
    ::testing::Values(SplitCase{"OneByteApart", {{5, {0x42}}, {6, {0x04}}}, true},
                      SplitCase{"UsbLatencyTimer", {{5, {0x42}}, {21, {0x04}}}, true},
                      SplitCase{"At50Ms", {{5, {0x42}}, {55, {0x04}}}, true},
                      SplitCase{"After50Ms", {{5, {0x42}}, {56, {0x04}}}, false},
                      SplitCase{"OtherModelsIdentity", {{5, {0x42}}, {6, {0x03}}}, false},
                      SplitCase{"RestWithMore", {{5, {0x42}}, {6, {0x04, 0x00}}}, false},
                      SplitCase{"NotAStart", {{5, {0x43}}, {6, {0x04}}}, false},
                      SplitCase{
                          "StaleStartThenWholeIdentity", {{5, {0x42}}, {80, {0x42, 0x04}}}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Handshake, StartUpWithASplitIdentityEndsReady) {
    board.add_fault(Fault::split(fault_target::kIdentity, {1}, {3}, 1));
    start_board();
    EXPECT_EQ(exchange, (std::vector<std::string>{"< 42", "< 04", "> 50", "< 50"}));
    EXPECT_TRUE(link.BoardReady.get());
}

TEST_F(Handshake, IdleReleaseClosesThePortAfterTenSeconds) {
    ready_board();
    const std::int64_t ready_at = board.trace().back().time_ms; // the board's "50"
    EXPECT_EQ(link.Timer3.due_ms(), ready_at + 10000);
    loop.run_until(ready_at + 9999);
    EXPECT_TRUE(port.is_open());
    loop.run_for(1);
    EXPECT_FALSE(port.is_open());
    EXPECT_TRUE(N18.checked.get());
    EXPECT_FALSE(link.Busy.get());
    EXPECT_EQ(link.status.Label11.get(), "Ready"); // not changed by the release
}

TEST_F(Handshake, IdleReleaseAfterHalfASecondForModelFour) {
    board.set_model(4);
    link.ProgrammerModel = 4;
    ready_board();
    EXPECT_EQ(link.Timer3.interval(), 500);
    loop.run_for(500);
    EXPECT_FALSE(port.is_open());
}

TEST_F(Handshake, FirstTwoPortsAndBusyLinksAreNeverReleased) {
    for (const char* name : {"COM1", "COM2", "com1", "com2"}) {
        port.set_name(name);
        link.Timer3.start();
        loop.run_for(10000);
        EXPECT_FALSE(N18.checked.get()) << name;
    }
    port.set_name("COM3");
    link.Busy = true;
    link.Timer3.start();
    loop.run_for(10000);
    EXPECT_FALSE(N18.checked.get());
}

TEST_F(Handshake, CheckComOpenReopensAReleasedPortAndRedoesTheHandshake) {
    ready_board();
    loop.run_for(10000); // released
    ASSERT_TRUE(N18.checked.get());
    exchange.clear();
    link.check_com_open();
    EXPECT_TRUE(link.BoardReady.get());
    EXPECT_FALSE(N18.checked.get());
    EXPECT_TRUE(port.is_open());
    EXPECT_EQ(exchange, (std::vector<std::string>{"< 4204", "> 50", "< 50"}));
    EXPECT_EQ(loop.now_ms(), board.trace().back().time_ms) << "the wait ends with the handshake";
}

TEST_F(Handshake, CheckComOpenReturnsAtOnceWhenThePortIsOn) {
    port.open();
    const auto before = loop.now_ms();
    link.check_com_open();
    EXPECT_FALSE(link.BoardReady.get());
    EXPECT_EQ(loop.now_ms(), before);
}

TEST_F(Handshake, CheckComOpenGivesUpAfterThreeAttemptsWithThePortClosed) {
    N18.checked = true;
    board.set_dead(true);
    link.check_com_open();
    EXPECT_FALSE(link.BoardReady.get());
    EXPECT_FALSE(port.is_open());
    EXPECT_FALSE(N18.checked.get());
    EXPECT_EQ(link.status.Label11.get(), "check serial port");
}

} // namespace
} // namespace zz::test
