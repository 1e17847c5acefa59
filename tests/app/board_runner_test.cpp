// Boards of a window's station, each on its own thread: commands reach them from another
// thread, their panels follow what they do, and one board's failure or question stops no other.
#include "app/board_runner.h"
#include "device/chip_database.h"
#include "files/hex_export.h"
#include "records/records_env.h"
#include "sim/socket_operator.h"
#include "sim/virtual_board.h"
#include "sim/virtual_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

namespace zz {
namespace {

using ::testing::HasSubstr;

const std::filesystem::path kData = ZZ_SOURCE_DIR "/data";

// Waits in real time (the boards run on their own threads) until the panel satisfies `done`.
bool wait_for(const BoardRunner& board, const std::function<bool(const BoardPanel&)>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done(board.panel()))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done(board.panel());
}

bool is(const BoardPanel& p, BoardPhase phase) {
    return p.phase == phase;
}

class BoardRunnerTest : public ::testing::Test {
protected:
    BoardRunnerTest() : station(store.open("window")) {
        chip = ChipDatabase(kData).load(3, "16F877A", ChipParams{});
        Buffer image;
        image.clrbuffer(chip);
        image.set_cell_and_view(Area::rom, 0x10, "0005");
        image.set_cell_and_view(Area::rom, 0x11, "0000");
        export_hex_file(chip, image, store.folder.path() / "image.hex");
        // Boards on the virtual clock: a chip takes milliseconds.
        station.set_board_factory(
            [](const std::string& name) { return virtual_line(3, name, false); });
    }

    // A board with a chip in its socket, and `image` loaded (none: a blank buffer).
    std::unique_ptr<BoardRunner> board(const std::string& name, bool weak = false,
                                       bool image = true) {
        BoardLine line = station.open_line(name);
        VirtualChip in_socket(chip);
        if (weak)
            in_socket.set_weak_cell(0x10);
        line.board->insert_chip(std::move(in_socket));
        BoardStart setup{kData, settings(), plan(), true};
        if (!image)
            setup.settings.filename.clear();
        return std::make_unique<BoardRunner>(station, std::move(line), std::move(setup));
    }

    AppSettings settings() const {
        AppSettings s;
        s.filename = (store.folder.path() / "image.hex").string();
        s.fast = true; // no "Programming complete." after each chip
        return s;
    }
    static StationPlan plan() {
        return StationPlan{true, {0x10, 0x11, 1, true, false, false, false, true, false}, "LINE",
                           nullptr};
    }

    testing::StoreEnv store;
    Station station;
    ChipParams chip;
};

TEST_F(BoardRunnerTest, BoardsWorkSideBySideAndOneFailureStopsNoOther) {
    auto good = board("Virtual board 1");
    auto weak = board("Virtual board 2", true);
    for (BoardRunner* b : {good.get(), weak.get()}) {
        ASSERT_TRUE(wait_for(*b, [](const BoardPanel& p) { return is(p, BoardPhase::ready); }));
        b->program();
    }
    ASSERT_TRUE(wait_for(*good, [](const BoardPanel& p) { return is(p, BoardPhase::passed); }));
    ASSERT_TRUE(wait_for(*weak, [](const BoardPanel& p) { return is(p, BoardPhase::failed); }));
    const BoardPanel passed = good->panel();
    EXPECT_EQ(passed.passed, 1);
    EXPECT_EQ(passed.model, "RO-ZUZ330");
    EXPECT_FALSE(passed.firmware.empty()); // asked when the board was found
    EXPECT_THAT(phase_text(passed), HasSubstr("Passed 0000000"));
    const BoardPanel failed = weak->panel();
    EXPECT_EQ(failed.failed, 1);
    EXPECT_THAT(failed.message, HasSubstr("at address 0x0010"));
    EXPECT_EQ(station.store()->records({.sequence = "LINE"}).size(), 2u);
}

// A blank image asks before it is programmed, on its own panel; the other board goes on.
TEST_F(BoardRunnerTest, AQuestionWaitsOnItsOwnPanel) {
    auto asking = board("Virtual board 1", false, false);
    auto other = board("Virtual board 2");
    for (BoardRunner* b : {asking.get(), other.get()})
        ASSERT_TRUE(wait_for(*b, [](const BoardPanel& p) { return is(p, BoardPhase::ready); }));
    asking->answer(true); // no question yet: nothing happens
    asking->program();
    ASSERT_TRUE(wait_for(*asking, [](const BoardPanel& p) { return !p.question.empty(); }));
    EXPECT_THAT(asking->panel().question, HasSubstr("Program it anyway?"));
    EXPECT_EQ(phase_text(asking->panel()), "Waiting for an answer");
    other->program();
    EXPECT_TRUE(wait_for(*other, [](const BoardPanel& p) { return is(p, BoardPhase::passed); }));
    asking->answer(false);
    EXPECT_TRUE(wait_for(*asking, [](const BoardPanel& p) { return p.question.empty(); }));
    EXPECT_EQ(asking->panel().passed + asking->panel().failed, 0);
}

TEST_F(BoardRunnerTest, TheProductionLoopRunsUntilStopped) {
    BoardLine line = station.open_line("Virtual board 1");
    VirtualBoard& socket = *line.board;
    // Held by the line alone, so that the person goes before the board does.
    line.attachment = std::make_shared<SocketOperator>(socket, OperatorTimes{200, 200},
                                                       [this] { return VirtualChip(chip); });
    BoardRunner b(station, std::move(line), BoardStart{kData, settings(), plan(), true});
    ASSERT_TRUE(wait_for(b, [](const BoardPanel& p) { return is(p, BoardPhase::ready); }));
    b.start_auto();
    ASSERT_TRUE(wait_for(b, [](const BoardPanel& p) { return p.passed >= 3; }));
    EXPECT_TRUE(b.panel().auto_running);
    b.stop();
    EXPECT_TRUE(wait_for(b, [](const BoardPanel& p) { return !p.auto_running && !p.busy; }));
}

} // namespace
} // namespace zz
