// The station view's boards: which window a start opens, a board taken away only once it is
// idle, and the choice of Option, "Boards...".
#include "dialogs/boards/board_roster.h"
#include "dialogs/boards/boards_model.h"
#include "dialogs/boards/station_start.h"
#include "dialogs/remote/remote_control_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace zz {
namespace {

using Ports = std::vector<std::string>;

TEST(StationStart, TheOptionsWinOverTheSettingsAndOneBoardIsTheOneBoardWindow) {
    struct Case {
        BoardOptions options;
        bool station;
        bool search;
        Ports ports;
    };
    const Ports vb = {"Virtual board 1", "Virtual board 2", "Virtual board 3"};
    const Case cases[] = {
        {{}, false, false, {}},
        {{{}, false, 0, false, {"A", "B"}}, true, false, {"A", "B"}},
        {{{}, false, 0, false, {"A", "Virtual board 2"}}, false, false, {}}, // only one is real
        {{{}, false, 0, true, {"A", "B"}}, false, false, {}},               // --virtual-board
        {{{"X"}, false, 0, false, {"A", "B"}}, false, false, {"X"}},
        {{{"X", "Y"}, false, 0, false, {}}, true, false, {"X", "Y"}},
        {{{"X"}, false, 3, false, {}}, true, false, vb},
        {{{}, false, 1, true, {}}, false, false, {}},
        {{{"X"}, true, 0, false, {}}, true, true, {}},
        // Only the station view listens for remote control: one board gets a panel too.
        {{{"X"}, false, 0, false, {}, true}, true, false, {"X"}},
        {{{}, false, 0, true, {}, true}, true, false, {"Virtual board 1"}},
        {{{}, false, 0, false, {"A"}, true}, true, false, {"A"}},
        {{{}, false, 0, false, {}, true}, true, true, {}},
    };
    for (const Case& c : cases) {
        const StationStart s = station_start(c.options);
        EXPECT_EQ(s.station, c.station);
        EXPECT_EQ(s.search, c.search);
        EXPECT_EQ(s.ports, c.ports);
    }
}

TEST(BoardRoster, ABoardNoLongerWantedGoesOnlyOnceItIsIdle) {
    BoardRoster roster;
    std::set<std::string> busy;
    const auto is_busy = [&busy](const std::string& p) { return busy.contains(p); };
    EXPECT_EQ(roster.want({"A", "B", "A", "", "C"}, is_busy), (BoardRoster::Changes{{"A", "B", "C"}, {}}));
    busy = {"B"};
    EXPECT_EQ(roster.want({"C", "D"}, is_busy), (BoardRoster::Changes{{"D"}, {"A"}}));
    EXPECT_EQ(roster.shown(), (Ports{"B", "C", "D"}));
    EXPECT_TRUE(roster.leaving("B"));
    EXPECT_FALSE(roster.leaving("C"));
    EXPECT_EQ(roster.settle(is_busy), BoardRoster::Changes{});
    busy.clear();
    EXPECT_EQ(roster.settle(is_busy), (BoardRoster::Changes{{}, {"B"}}));
    EXPECT_EQ(roster.shown(), (Ports{"C", "D"}));
}

TEST(BoardRoster, PanelsFillASquareGridAtMostFourWide) {
    const std::pair<int, int> cases[] = {{0, 1}, {1, 1}, {2, 2}, {4, 2}, {5, 3}, {9, 3},
                                         {10, 4}, {16, 4}, {20, 4}};
    for (const auto& [panels, columns] : cases)
        EXPECT_EQ(grid_columns(panels), columns) << panels;
    EXPECT_EQ(station_totals(1, 2, 0), "1 board: 2 passed, 0 failed");
    EXPECT_EQ(station_totals(4, 37, 1), "4 boards: 37 passed, 1 failed");
}

TEST(BoardsModel, TheSearchAddsTheBoardsItFoundAndOkKeepsTheTickedPorts) {
    BoardsModel model({"/dev/ttyUSB0", "/dev/ttyUSB1"}, true);
    EXPECT_FALSE(model.changed());
    model.search_started();
    EXPECT_THAT(model.status(), ::testing::StartsWith("Searching the serial ports"));
    model.search_done({"/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyS0"},
                      {"/dev/ttyUSB2", "/dev/ttyUSB1"});
    ASSERT_EQ(model.rows().size(), 3U);
    EXPECT_EQ(model.row_text(0), "/dev/ttyUSB0: chosen"); // in use: not searched
    EXPECT_EQ(model.row_text(1), "/dev/ttyUSB1: a board answered");
    EXPECT_EQ(model.row_text(2), "/dev/ttyUSB2: a board answered");
    EXPECT_EQ(model.row_text(3), "");
    EXPECT_EQ(model.status(), "A board answered on 2 ports. Boards are added at once and taken "
                              "away once they are idle.");
    model.tick(0, false);
    model.tick(7, false); // no such row: nothing happens
    EXPECT_TRUE(model.changed());
    EXPECT_EQ(model.chosen(), (Ports{"/dev/ttyUSB1", "/dev/ttyUSB2"}));
    model.search_failed("no serial ports");
    EXPECT_THAT(model.status(), ::testing::StartsWith("The search failed: no serial ports."));
    EXPECT_EQ(stored_boards({"A", virtual_board_name(2), "B"}), (Ports{"A", "B"}));
}

TEST(RemoteControlModel, OkIsRefusedForAnAddressThatCannotBeListenedOnAsGiven) {
    struct Case {
        const char* address;
        const char* token;
        const char* status;
    };
    const Case cases[] = {
        {"", "", "Remote control is off."},
        {"unix:/run/ze-zuzu/line-1.sock", "", "The station listens from OK on."},
        {"unix:", "", "A Unix socket is unix:PATH."},
        {"tcp::7070", "", "The station listens from OK on."},
        {"tcp:127.0.0.1:7070", "", "The station listens from OK on."},
        {"tcp:[::1]:7070", "", "The station listens from OK on."},
        {"tcp:0.0.0.0:7070", "", "An address beyond this computer needs a token file."},
        {"tcp:0.0.0.0:7070", "/etc/ze-zuzu/token", "The station listens from OK on."},
        {"tcp:localhost:0", "", "A TCP address is tcp:HOST:PORT, with a port from 1 to 65535."},
        {"tcp:localhost:65536", "", "A TCP address is tcp:HOST:PORT, with a port from 1 to 65535."},
        {"tcp:localhost", "", "A TCP address is tcp:HOST:PORT, with a port from 1 to 65535."},
        {"/run/line.sock", "", "The address is unix:PATH or tcp:HOST:PORT."},
    };
    for (const Case& c : cases) {
        const RemoteControlModel model(c.address, c.token, true);
        EXPECT_EQ(model.status(), c.status) << c.address;
        EXPECT_EQ(model.problem().empty(), std::string(c.status).rfind("The station", 0) == 0 ||
                                               std::string(c.address).empty())
            << c.address;
    }
    EXPECT_EQ(RemoteControlModel("unix:/tmp/s", "", false).status(),
              "The window listens from its next start, its boards on panels.");
}

} // namespace
} // namespace zz
