#include "link/hardware_version.h"
#include "link_fixture.h"

namespace zz::test {
namespace {

using HardwareVersion = LinkFixture;

TEST_F(HardwareVersion, ShowsTheVersionTextAndHandsTheBoardBack) {
    ready_board();
    board.set_version_text("V3.30 RO");
    EXPECT_EQ(hardware_version_command(link), "V3.30 RO");
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Hardware version:V3.30 RO"});
    EXPECT_EQ(op.messages[0].caption, "Information");
    EXPECT_EQ(exchange.front(), "> 15");
    EXPECT_EQ(exchange.back(), "> 01");
    EXPECT_FALSE(link.Busy.get());
    EXPECT_FALSE(link.CollectReplies);
    EXPECT_EQ(link.status.Label11.get(), "Ready");
}

// Handed over in USB frames with pauses between them, the text still arrives whole, and its end
// does not spoil the board's "50" after the closing "01".
TEST_F(HardwareVersion, ATextSplitAcrossFramesIsTakenWhole) {
    ready_board();
    board.add_fault(Fault::split(0x15, {4, 2}, {16, 16}, 1));
    board.set_version_text("V2.37 R");
    hardware_version_command(link);
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Hardware version:V2.37 R"});
    loop.run_for(100);
    EXPECT_EQ(link.status.Label11.get(), "Ready");
    EXPECT_FALSE(link.Timer1.enabled());
}

TEST_F(HardwareVersion, ShowsWhateverArrivedWhenTheBoardIsSilent) {
    ready_board();
    board.add_fault(Fault::silent(0x15, 1));
    EXPECT_EQ(hardware_version_command(link), "");
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Hardware version:"});
    EXPECT_FALSE(link.Busy.get());
    // The board was restarted after the silence.
    EXPECT_EQ(link.status.Label10.get(), "RO-ZUZ330:already connected");
}

TEST_F(HardwareVersion, DoesNothingWhileAnOperationRuns) {
    ready_board();
    link.Busy = true;
    hardware_version_command(link);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_TRUE(exchange.empty());
}

} // namespace
} // namespace zz::test
