// The production loop against the virtual board: the exchanges of its cycles, its stops, its
// counters and what it does when the board or the chip fails.
#include "base/timer.h"
#include "link/link_texts.h"
#include "ops/auto_program.h"
#include "ops/chip_commands.h"
#include "ops/ops_texts.h"
#include "ops_fixture.h"
#include "sim/board_fault.h"
#include "sim/socket_operator.h"

#include <algorithm>
#include <optional>

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

const Strings kInsertion{"12", "50"};
const Strings kRemoval{"13", "50"};

class AutoProgramTest : public OpsFixture {
protected:
    void SetUp() override {
        use_chip("16F84A");
        ready();
        // Each cycle is counted; the loop stops after `cycles` of them.
        a.hooks.cycle_ended = [this] {
            if (++ended >= cycles)
                CloseRequested = true;
        };
    }

    // The program steps of the chip as the Program command sends them, without its ID check
    // and its closing "01".
    Strings program_steps() {
        program_command(ctx);
        settle();
        const Strings all = sent();
        board.clear_trace();
        exchange.clear();
        reset_statistics(state);
        op.messages.clear();
        return Strings(all.begin() + 4, all.end() - 1);
    }

    // A Stop click at `ms` on the loop's clock, from inside the loop's waits.
    void stop_at(std::int64_t ms) {
        stop.set_interval(static_cast<int>(ms - loop.now_ms()));
        stop.start();
    }

    // A person who changes the chip 100 ms after each removal watch.
    void person() {
        hands.emplace(board, OperatorTimes{100, 100}, [this] { return VirtualChip(chip); });
    }

    std::vector<std::string> messages() const { return op.texts(); }

    Value<std::string> caption{texts::kAutoProgramCaption};
    Value<bool> list1{true}, list2{true}, ports{true};
    bool CloseRequested = false;
    AutoProgramContext a{ctx, {caption, list1, list2, ports}, CloseRequested};
    int cycles = 1;
    int ended = 0;
    Timer stop{loop, 1, [this] {
                   stop.stop();
                   auto_program_command(a);
               }};
    std::optional<SocketOperator> hands;
};

TEST_F(AutoProgramTest, OneCycleReportsTheChipChipInSocketTimeTimesThenProgramsIt) {
    const Strings steps = program_steps();
    person();
    for (int reports : {1, 3}) {
        SCOPED_TRACE(reports);
        board.clear_trace();
        exchange.clear();
        ended = 0;
        a.ChipInSocketTime = reports;
        const AutoProgramResult result = auto_program_command(a);
        EXPECT_TRUE(result.started);
        EXPECT_EQ(sent(), Strings{"03"} + times(reports, kInsertion) + kInfo + steps +
                              Strings{"05"} + kRemoval + Strings{"01"});
        // The socket watch and its acknowledgement, as the board answers them.
        const Strings watch(exchange.begin() + 2, exchange.begin() + 7);
        EXPECT_EQ(watch, (Strings{"> 12", "< 41", "< 59", "> 50", "< 50"}));
        EXPECT_TRUE(messages().empty());
        EXPECT_EQ(state.lab_pass.get(), reports == 1 ? "Pass:0001" : "Pass:0002");
        EXPECT_EQ(link.status.Label11.get(), texts::kReady);
        EXPECT_EQ(caption.get(), texts::kAutoProgramCaption);
        EXPECT_TRUE(list1.get() && list2.get() && ports.get());
        expect_closed();
        settle();
    }
}

TEST_F(AutoProgramTest, WhileRunningTheButtonAndListsShowItAndAClickStopsItWithoutAMessage) {
    board.remove_chip();
    std::vector<std::tuple<std::string, bool, bool>> seen;
    link.status.Label11.observe([&](const std::string& text) {
        seen.emplace_back(text, caption.get() == texts::kStopCaption, list1.get());
    });
    stop_at(loop.now_ms() + 5000);
    auto_program_command(a);
    EXPECT_TRUE(messages().empty());
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), std::make_tuple(std::string(texts::kWaitingForInsertion), true, false));
    EXPECT_EQ(link.status.Label11.get(), texts::kReady);
    // The wait ends on the click; the board is restarted and set up, then handed back.
    const Strings commands = sent();
    EXPECT_EQ(Strings(commands.end() - 4, commands.end()), (Strings{"12", "50", "03", "01"}));
    EXPECT_EQ(caption.get(), texts::kAutoProgramCaption);
    EXPECT_TRUE(list1.get() && list2.get() && ports.get());
    EXPECT_FALSE(link.Busy.get());
}

TEST_F(AutoProgramTest, TargetPassIsAnnouncedWithItsToneAndTheLoopGoesOn) {
    person();
    N31.checked = false;
    cycles = 2;
    state.lab_pass = "Pass:0041";
    state.Lab_aim = "Target:0042";
    auto_program_command(a);
    EXPECT_EQ(messages(), Strings{"Programming complete0042pcs."});
    EXPECT_EQ(state.lab_pass.get(), "Pass:0043");
    // Each removal wait sounds the success tone, and so does the target.
    EXPECT_EQ(op.tones.size(), 3u);
}

TEST_F(AutoProgramTest, AWrongInsertionReplyGivesOneMessageACycleAndTheLoopGoesOn) {
    board.add_fault(Fault::reply(0x12, {0x4E}, 0));
    stop_at(loop.now_ms() + 60'000);
    auto_program_command(a);
    const Strings commands = sent();
    const auto watches = std::count(commands.begin(), commands.end(), "12");
    EXPECT_GT(watches, 3);
    EXPECT_EQ(messages(), Strings(static_cast<std::size_t>(watches), texts::kReceiveError));
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "0D"), 0);
    EXPECT_EQ(state.lab_error.get(), "Fail:0000");
}

// A chip that fails is counted, the board recovered, and its removal awaited before the next one;
// a removal the board does not report right is awaited again rather than the chip programmed
// twice.
TEST_F(AutoProgramTest, AFailedChipIsCountedAndTakenOutBeforeTheNext) {
    person();
    cycles = 2;
    board.chip()->set_weak_cell(0);
    board.add_fault(Fault::reply(0x13, {0x4E}, 2));
    auto_program_command(a);
    EXPECT_EQ(state.lab_error.get(), "Fail:0001");
    EXPECT_EQ(state.lab_pass.get(), "Pass:0001");
    EXPECT_EQ(messages(),
              (Strings{"Error in programming ROM at address 0x0000", texts::kReceiveError}));
    const Strings commands = sent();
    const auto first_removal = std::find(commands.begin(), commands.end(), "13");
    // The set-up at the start and the one of the recovery.
    EXPECT_EQ(std::count(commands.begin(), first_removal, "03"), 2);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "13"), 3);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "12"), 2);
}

TEST_F(AutoProgramTest, ABoardThatStopsAnsweringEndsTheLoopWhenToBeDropped) {
    a.hooks.drop_silent_board = true;
    board.add_fault(Fault::silent(0x12, 0));
    board.set_command_observer([this](std::uint8_t code, std::int64_t) {
        if (code == 0x12)
            board.set_dead(true);
    });
    const AutoProgramResult result = auto_program_command(a);
    EXPECT_TRUE(result.board_lost);
    EXPECT_EQ(sent().back(), "01");
    EXPECT_FALSE(link.Busy.get());
}

TEST_F(AutoProgramTest, RefusedWithoutOptionsWithoutABoardOrInsideAnotherOperation) {
    for (Flag* f : {&blank, &erase, &wr_ee, &wr_rom, &wr_id})
        f->checked = false;
    auto_program_command(a);
    wr_rom.checked = true;
    link.BoardReady = false;
    auto_program_command(a);
    EXPECT_EQ(messages(), (Strings{texts::kNoProgramOptions, texts::kBoardNotResponding}));
    link.BoardReady = true;
    link.Busy = true;
    op.messages.clear();
    EXPECT_FALSE(auto_program_command(a).started);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(caption.get(), texts::kAutoProgramCaption);
    const Strings commands = sent();
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "12"), 0);
}

TEST_F(AutoProgramTest, ASetUpThatFailsAtTheStartEndsTheModeAtOnce) {
    board.add_fault(Fault::silent(0x03, 1));
    EXPECT_FALSE(auto_program_command(a).started);
    EXPECT_EQ(messages(), Strings{texts::kReceiveError});
    EXPECT_TRUE(CloseRequested);
    EXPECT_EQ(caption.get(), texts::kAutoProgramCaption);
    expect_closed();
}

} // namespace
} // namespace zz::test
