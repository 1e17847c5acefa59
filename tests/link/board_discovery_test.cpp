// Port switching, board restarts and the search of every port for a board.
#include "base/virtual_loop.h"
#include "link/board_discovery.h"
#include "link/link_texts.h"
#include "routed_port.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

#include <memory>

namespace zz::test {
namespace {

// Five ports: ttyS0 cannot be opened, ttyS1 is silent, ttyUSB0 has a model-3 board, ttyUSB1 a
// model-1 board, ttyUSB2 is silent.
class Discovery : public ::testing::Test {
protected:
    Discovery() {
        names = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyUSB2"};
        const int models[] = {0, 0, 3, 1, 0};
        for (std::size_t i = 1; i < names.size(); ++i) {
            boards.push_back(std::make_unique<VirtualBoard>(loop, models[i] ? models[i] : 3));
            boards.back()->set_dead(models[i] == 0);
            ports.push_back(std::make_unique<VirtualPort>(loop, *boards.back(), names[i]));
            routed.add(names[i], *ports.back());
        }
        discovery.apply_found_model = [this] { ++models_applied; };
    }

    VirtualBoard& board_at(const std::string& name) {
        for (std::size_t i = 1; i < names.size(); ++i)
            if (names[i] == name)
                return *boards[i - 1];
        throw std::logic_error(name);
    }

    VirtualLoop loop;
    std::vector<std::string> names;
    std::vector<std::unique_ptr<VirtualBoard>> boards;
    std::vector<std::unique_ptr<VirtualPort>> ports;
    RoutedPort routed;
    RecordingOperator op{loop};
    Flag N18, N31{true}, N_ICSP, UseVPP;
    Link link{loop, routed, op, LinkFlags{N18, N31, N_ICSP, UseVPP}};
    BoardDiscovery discovery{link, [this] { return names; }};
    int models_applied = 0;
};

TEST_F(Discovery, SearchStopsAtTheFirstBoardAndTakesItsModel) {
    link.ProgrammerModel = 1;
    discovery.findbord();
    EXPECT_EQ(link.ProgrammerModel.get(), 3);
    EXPECT_EQ(discovery.selector.text.get(), "/dev/ttyUSB0");
    EXPECT_EQ(link.status.Label5.get(), "/dev/ttyUSB0");
    EXPECT_EQ(models_applied, 1);
    // Opened: the silent port, then the board's port twice (probe and restart); nothing after it.
    EXPECT_EQ(routed.opened,
              (std::vector<std::string>{"/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB0"}));
    EXPECT_EQ(op.texts(),
              std::vector<std::string>{"RO-ZUZ330 Programmer found in the/dev/ttyUSB0"});
    EXPECT_EQ(link.status.Label11.get(), "Find results");
    // The restarted board announces itself and the handshake marks it ready.
    loop.run_for(200);
    EXPECT_TRUE(link.BoardReady.get());
    EXPECT_EQ(link.status.Label11.get(), "Ready");
}

TEST_F(Discovery, StartUpSearchFindsQuietly) {
    link.StartupSearchPending = true;
    discovery.findbord();
    EXPECT_TRUE(op.messages.empty());
    EXPECT_FALSE(link.StartupSearchPending);
    EXPECT_EQ(link.ProgrammerModel.get(), 3);
}

TEST_F(Discovery, EveryPortSilentLeavesTheLastOneOpenAndSelected) {
    board_at("/dev/ttyUSB0").set_dead(true);
    board_at("/dev/ttyUSB1").set_dead(true);
    discovery.findbord();
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Did not find any device, please check...\r\n"
                                                   "  Communications port\r\n"
                                                   "  Device connection and power"});
    EXPECT_EQ(discovery.selector.text.get(), "/dev/ttyUSB2");
    EXPECT_TRUE(routed.is_open());
    EXPECT_EQ(models_applied, 0);
    // Two seconds later the watchdog reports the board lost.
    loop.run_for(2000);
    EXPECT_EQ(op.messages.back().text, texts::kBoardNotResponding);
}

TEST_F(Discovery, SilentStartUpSearchShowsOnlyTheWatchdog) {
    for (auto& b : boards)
        b->set_dead(true);
    link.StartupSearchPending = true;
    discovery.findbord();
    EXPECT_TRUE(op.messages.empty());
    loop.run_for(2000);
    EXPECT_EQ(op.texts(), std::vector<std::string>{texts::kBoardNotResponding});
}

TEST_F(Discovery, AnIdentityWithExtraBytesIsNotABoard) {
    // The model-3 port only ever says 42 04 00; the search goes on to the model-1 board.
    auto& noisy = board_at("/dev/ttyUSB0");
    noisy.set_dead(true);
    for (int t = 0; t < 4000; t += 50)
        noisy.send_at(t, {0x42, 0x04, 0x00});
    discovery.findbord();
    EXPECT_EQ(link.ProgrammerModel.get(), 1);
    EXPECT_EQ(discovery.selector.text.get(), "/dev/ttyUSB1");
}

TEST_F(Discovery, SwitchingThePortOffAndOnRestartsTheBoard) {
    routed.set_name("/dev/ttyUSB0");
    discovery.selector.text = "/dev/ttyUSB0";
    link.ProgrammerModel = 3;
    discovery.N18Click(); // off
    EXPECT_TRUE(N18.checked.get());
    EXPECT_FALSE(routed.is_open());
    EXPECT_FALSE(link.status.Label5_enabled.get());
    EXPECT_EQ(link.status.Label11.get(), "Serial port is closed");
    EXPECT_EQ(link.status.Label10.get(), "RO-ZUZ330:Reset failed.");

    discovery.N18Click(); // on
    EXPECT_FALSE(N18.checked.get());
    EXPECT_TRUE(link.status.Label5_enabled.get());
    loop.run_for(200);
    EXPECT_TRUE(link.BoardReady.get());
    EXPECT_EQ(link.status.Label11.get(), "Ready");
}

TEST_F(Discovery, SwitchingOnAPortThatCannotOpenSaysSo) {
    routed.set_name("/dev/ttyS0");
    N18.checked = true;
    discovery.N18Click();
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Error opening communication port"});
    EXPECT_FALSE(N18.checked.get());
}

TEST_F(Discovery, OpenErrorShowsWhyUnderItsFirstLine) {
    routed.set_name("/dev/ttyUSB0");
    ports[1]->fail_next_open("Error opening serial port\nPermission denied on /dev/ttyUSB0: the "
                             "port belongs to the group dialout");
    N18.checked = true;
    discovery.N18Click();
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Error opening communication port\r\n"
                                                   "Permission denied on /dev/ttyUSB0: the port "
                                                   "belongs to the group dialout"});

    // The next failure, without a reason of its own, shows the first line alone.
    op.messages.clear();
    routed.set_name("/dev/ttyUSB1");
    ports[2]->fail_next_open("Error opening serial port");
    N18.checked = true;
    discovery.N16Click();
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Canot open serial port"});
}

TEST_F(Discovery, ChoosingAPortRestartsTheBoardThere) {
    discovery.selector.text = "/dev/ttyUSB0";
    discovery.cmbbxcomnumChange();
    EXPECT_EQ(routed.name(), "/dev/ttyUSB0");
    EXPECT_EQ(link.status.Label5.get(), "/dev/ttyUSB0");
    loop.run_for(200);
    EXPECT_TRUE(link.BoardReady.get());

    // A board of another model is not answered: the watchdog reports it lost.
    discovery.selector.text = "/dev/ttyUSB1";
    discovery.cmbbxcomnumChange();
    loop.run_for(2000);
    EXPECT_FALSE(link.BoardReady.get());
    EXPECT_EQ(op.messages.back().text, texts::kBoardNotResponding);
    EXPECT_EQ(link.status.Label11.get(), "Communication failed");
}

TEST_F(Discovery, ResetProgrammerReopensASwitchedOffPort) {
    routed.set_name("/dev/ttyUSB0");
    N18.checked = true;
    discovery.N16Click();
    EXPECT_FALSE(N18.checked.get());
    loop.run_for(200);
    EXPECT_TRUE(link.BoardReady.get());

    routed.set_name("/dev/ttyS0"); // cannot be opened
    N18.checked = true;
    discovery.N16Click();
    EXPECT_EQ(op.texts(), std::vector<std::string>{"Canot open serial port"});
}

TEST_F(Discovery, ModelRestartAnnouncesTheNewIdentity) {
    routed.set_name("/dev/ttyUSB1"); // model 1 board
    routed.open();
    link.ProgrammerModel = 2;
    discovery.restart_for_model();
    loop.run_for(2000);
    EXPECT_EQ(link.status.Label10.get(), "RA320:Reset failed.");
    link.ProgrammerModel = 1;
    discovery.restart_for_model();
    loop.run_for(200);
    EXPECT_TRUE(link.BoardReady.get());
}

// The board's USB adapter pulled out and plugged in again.
class LostPortWatch : public Discovery {
protected:
    void SetUp() override {
        discovery.selector.text = "/dev/ttyUSB0";
        discovery.cmbbxcomnumChange();
        loop.run_for(200);
        ASSERT_TRUE(link.BoardReady.get());
        routed.opened.clear();
        usb0().set_gone(true);
        std::erase(names, "/dev/ttyUSB0");
        loop.run_for(1);
        ASSERT_EQ(op.texts(), std::vector<std::string>{"The serial port /dev/ttyUSB0 was lost"});
        ASSERT_TRUE(discovery.watching_lost_port());
    }
    // Listed again, and a little later openable.
    void plug_in() {
        names.push_back("/dev/ttyUSB0");
        loop.run_for(1200);
        usb0().set_gone(false);
        loop.run_for(BoardDiscovery::kLostWatchMs + 200);
    }
    VirtualPort& usb0() { return *ports[1]; }
};

TEST_F(LostPortWatch, ThePortComesBackAndTheBoardIsReadyAgain) {
    loop.run_for(3000);
    EXPECT_TRUE(routed.opened.empty()) << "opened while the system did not list it";
    plug_in();
    EXPECT_EQ(routed.opened, std::vector<std::string>{"/dev/ttyUSB0"})
        << "tries that fail open nothing";
    EXPECT_TRUE(link.BoardReady.get());
    EXPECT_EQ(link.status.Label11.get(), "Ready");
    EXPECT_TRUE(link.status.Label5_enabled.get());
    EXPECT_FALSE(N18.checked.get());
    EXPECT_FALSE(discovery.watching_lost_port());
    EXPECT_EQ(op.texts().size(), 1u);
}

TEST_F(LostPortWatch, ChoosingAnotherPortEndsTheWatch) {
    discovery.selector.text = "/dev/ttyUSB1";
    discovery.cmbbxcomnumChange();
    plug_in();
    EXPECT_FALSE(discovery.watching_lost_port());
    EXPECT_EQ(routed.name(), "/dev/ttyUSB1");
    EXPECT_EQ(std::count(routed.opened.begin(), routed.opened.end(), "/dev/ttyUSB0"), 0);
}

} // namespace
} // namespace zz::test
