// The station view: four virtual boards on panels of their own, programming at once from one
// sequence, a failing board that stops no other, and Stop all ending every production loop.
#include "files/hex_export.h"
#include "gui/board_panel_widget.h"
#include "gui/station_launch.h"
#include "gui/station_window.h"
#include "job/job_file.h"
#include "records/records_env.h"
#include "sim/socket_operator.h"
#include "sim/virtual_board.h"
#include "sim/virtual_line.h"
#include "window_fixture.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>

#include <set>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace zz::test {
namespace {

constexpr int kBoards = 4;
constexpr int kWeakBoard = 3; // its chips never take the image: they fail their verify

class StationWindowTest : public ::testing::Test {
protected:
    StationWindowTest() : station(store.open("window")) {
        chip = ChipDatabase(kDataDir).load(3, "16F877A", ChipParams{});
        Buffer image;
        image.clrbuffer(chip);
        image.set_cell_and_view(Area::rom, 0x10, "0005");
        image.set_cell_and_view(Area::rom, 0x11, "0000");
        export_hex_file(chip, image, store.folder.path() / "image.hex");
        // Boards on the virtual clock, each with a person changing its chips (ms).
        station.set_board_factory([this](const std::string& name) {
            BoardLine line = virtual_line(3, name, false);
            const bool weak = name == virtual_board_name(kWeakBoard);
            const auto fresh = [this, weak] {
                VirtualChip c(chip);
                if (weak)
                    c.set_weak_cell(0x10);
                return c;
            };
            line.board->insert_chip(fresh());
            line.attachment =
                std::make_shared<SocketOperator>(*line.board, OperatorTimes{200, 200}, fresh);
            return line;
        });
        make_window({});
    }

    // The window over the four boards; `remote`: the address it listens on.
    void make_window(const std::string& remote) {
        window.reset();
        AppSettings settings;
        settings.filename = (store.folder.path() / "image.hex").string();
        settings.fast = true;
        settings.remote = remote;
        StationPlan plan{true, {0x10, 0x11, 1, true, false, false, false, true, false}, "LINE",
                         nullptr, nullptr};
        window = std::make_unique<StationWindow>(
            StationWindow::Setup{station, BoardStart{kDataDir, settings, plan, true}, {},
                                 kDataDir, {}, {}},
            desktop);
        std::vector<std::string> ports;
        for (int n = 1; n <= kBoards; ++n)
            ports.push_back(virtual_board_name(n));
        window->set_boards(ports);
    }

    BoardPanel panel(int n) const { return window->panel(virtual_board_name(n))->panel(); }
    // Waits (the boards work on threads of their own) until every panel satisfies `done`.
    bool every_panel(const std::function<bool(const BoardPanel&)>& done) const {
        return QTest::qWaitFor(
            [&] {
                for (int n = 1; n <= kBoards; ++n)
                    if (!done(panel(n)))
                        return false;
                return true;
            },
            20000);
    }
    void trigger(const char* name) {
        window->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }

    testing::StoreEnv store;
    Station station;
    ChipParams chip;
    VirtualLoop loop;
    FakeDesktop desktop{loop};
    std::unique_ptr<StationWindow> window;
};

TEST_F(StationWindowTest, ProgramActsOnEveryBoardAndAFailingBoardStopsNoOther) {
    ASSERT_EQ(window->boards().size(), std::size_t{kBoards});
    // Ready, and each board's firmware asked once it was found.
    ASSERT_TRUE(every_panel(
        [](const BoardPanel& p) { return p.phase == BoardPhase::ready && !p.firmware.empty(); }));
    EXPECT_EQ(panel(1).model, "RO-ZUZ330");
    trigger("N9");
    ASSERT_TRUE(every_panel([](const BoardPanel& p) { return p.passed + p.failed == 1 && !p.busy; }));
    std::set<std::string> serials;
    for (int n = 1; n <= kBoards; ++n) {
        const BoardPanel p = panel(n);
        EXPECT_EQ(p.failed, n == kWeakBoard ? 1 : 0) << n;
        EXPECT_EQ(p.phase, n == kWeakBoard ? BoardPhase::failed : BoardPhase::passed) << n;
        if (n != kWeakBoard)
            serials.insert(p.serial);
    }
    EXPECT_EQ(serials.size(), std::size_t{kBoards - 1}); // one sequence, no number twice
    EXPECT_THAT(window->status_text().toStdString(),
                ::testing::HasSubstr("4 boards: 3 passed, 1 failed"));
    EXPECT_TRUE(desktop.messages.empty()); // nothing modal: the failure is on its panel
    EXPECT_FALSE(panel(kWeakBoard).message.empty());
}

TEST_F(StationWindowTest, AutoProgramRunsEveryBoardUntilStopAll) {
    EXPECT_EQ(window->findChild<QAction*>("N9")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(window->findChild<QAction*>("N_autoprog")->shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_EQ(window->findChild<QAction*>("N_stopall")->shortcut(), QKeySequence(Qt::Key_Escape));
    ASSERT_TRUE(every_panel([](const BoardPanel& p) { return p.phase == BoardPhase::ready; }));
    trigger("N_autoprog");
    ASSERT_TRUE(every_panel([](const BoardPanel& p) { return p.passed + p.failed >= 2; }));
    auto* own = window->panel(virtual_board_name(1))->findChild<QPushButton*>("btn_auto");
    EXPECT_EQ(own->text(), "Stop"); // each panel can stop its own board too
    trigger("N_stopall");
    ASSERT_TRUE(every_panel([](const BoardPanel& p) { return !p.auto_running && !p.busy; }));
    EXPECT_GE(panel(1).passed, 2);
    EXPECT_GE(panel(kWeakBoard).failed, 2); // its failures did not stop its own loop either
    EXPECT_EQ(own->text(), "Auto Program");
    // A board no longer wanted goes at once when idle; the others stay.
    window->set_boards({virtual_board_name(1), virtual_board_name(2)});
    EXPECT_EQ(window->boards(), (std::vector<std::string>{virtual_board_name(1),
                                                          virtual_board_name(2)}));
}

// A handler drives a board over the socket while the panels show it; a line it reads is one event.
TEST_F(StationWindowTest, AHandlerDrivesTheBoardsOverTheRemoteControlSocket) {
    const std::string path = (store.folder.path() / "station.sock").string();
    make_window("unix:" + path);
    ASSERT_TRUE(every_panel([](const BoardPanel& p) { return p.phase == BoardPhase::ready; }));
    EXPECT_THAT(window->status_text().toStdString(),
                ::testing::StartsWith("Remote control on unix:" + path));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string request = "{\"cmd\":\"program\",\"board\":2}\n";
    ASSERT_EQ(::write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    std::string got;
    char chunk[4096];
    while (got.find("\"event\":\"result\"") == std::string::npos) {
        pollfd wait{fd, POLLIN, 0};
        ASSERT_EQ(::poll(&wait, 1, 20000), 1) << got;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        ASSERT_GT(n, 0) << got;
        got.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    EXPECT_THAT(got, ::testing::HasSubstr("\"event\":\"started\""));
    EXPECT_THAT(got, ::testing::HasSubstr("\"result\":\"passed\""));
    ASSERT_TRUE(QTest::qWaitFor([this] { return panel(2).passed == 1; }, 20000));
    EXPECT_EQ(panel(1).passed + panel(3).passed + panel(4).passed, 0);
}

// A line PC that boots into a released job: every board runs it, and Load is off; a job that
// cannot be opened is said once and the boards run the settings.
TEST(StationLaunchTest, TheBoardsRunTheStartUpJobOrTheSettingsWhenItCannotBeOpened) {
    testing::StoreEnv store;
    const ChipParams chip = ChipDatabase(kDataDir).load(3, "16F877A", ChipParams{});
    Buffer image;
    image.clrbuffer(chip);
    Job job;
    job.name = "line";
    job.chip = "16F877A";
    job.image_hex = hex_image_text(chip, image);
    store.open()->release_job("line", job_fingerprint(job), job_file_text(job, true), "eng");
    AppSettings settings;
    settings.records_db = store.uri();
    const StationStart start{true, false, true, {virtual_board_name(1), virtual_board_name(2)}};
    struct Case {
        JobStart job;
        bool runs_job;
    };
    for (const Case& c : {Case{{"line", "ann", ""}, true}, Case{{"nosuch", "ann", ""}, false}}) {
        VirtualLoop loop;
        FakeDesktop desktop{loop};
        StationLaunch launch({kDataDir, {}, settings, start, std::nullopt, c.job}, desktop);
        StationWindow& window = launch.window();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.boards().size() == 2; }, 20000));
        EXPECT_EQ(window.job() != nullptr, c.runs_job) << c.job.job;
        EXPECT_EQ(window.findChild<QAction*>("N5")->isEnabled(), !c.runs_job);
        EXPECT_EQ(desktop.messages.size(), c.runs_job ? 0U : 1U);
        if (c.runs_job) {
            EXPECT_THAT(window.status_text().toStdString(),
                        ::testing::StartsWith("Operator mode: job line@1 " +
                                              short_fingerprint(job_fingerprint(job))));
            EXPECT_THAT(window.windowTitle().toStdString(), ::testing::HasSubstr("operator ann"));
        } else {
            EXPECT_THAT(desktop.messages.at(0), ::testing::HasSubstr("nosuch"));
        }
    }
}

} // namespace
} // namespace zz::test
