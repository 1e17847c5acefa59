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

class AutoProgramTest : public OpsFixture {
protected:
    void SetUp() override {
        use_chip("16F84A");
        ready();
        a.hooks.cycle_ended = [this] { CloseRequested = ++ended >= cycles; };
    }

    // A Stop click `ms` from now, from inside the loop's waits.
    void stop_in(int ms) {
        stop.set_interval(ms);
        stop.start();
    }
    // A person who changes the chip 100 ms after each removal watch.
    void person() {
        hands.emplace(board, OperatorTimes{100, 100}, [this] { return VirtualChip(chip); });
    }
    long count(const std::string& command) const {
        const Strings commands = sent();
        return std::count(commands.begin(), commands.end(), command);
    }

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
    // The program steps as the Program command sends them, without its ID check and its "01".
    program_command(ctx);
    settle();
    const Strings program = sent();
    const Strings steps(program.begin() + 4, program.end() - 1);
    person();
    for (int reports : {1, 3}) {
        SCOPED_TRACE(reports);
        board.clear_trace();
        exchange.clear();
        op.messages.clear();
        ended = 0;
        a.ChipInSocketTime = reports;
        EXPECT_TRUE(auto_program_command(a).started);
        const Strings cycle = Strings{"03"} + times(reports, Strings{"12", "50"}) + kInfo + steps +
                              Strings{"05", "13", "50", "01"};
        EXPECT_EQ(sent(), cycle);
        // The socket watch and its acknowledgement, as the board answers them.
        EXPECT_EQ(Strings(exchange.begin() + 2, exchange.begin() + 7),
                  (Strings{"> 12", "< 41", "< 59", "> 50", "< 50"}));
        // The report is answered as it comes, inside the pause that follows "41".
        const std::vector<TraceEntry>& trace = board.trace();
        const auto report = std::find_if(trace.begin(), trace.end(), [](const TraceEntry& e) {
            return e.from_board && e.hex == "59";
        });
        ASSERT_NE(report, trace.end());
        EXPECT_EQ(std::next(report)->time_ms, report->time_ms);
        EXPECT_TRUE(op.messages.empty());
        EXPECT_EQ(state.lab_pass.get(), reports == 1 ? "Pass:0002" : "Pass:0003");
        expect_closed();
        settle();
    }
}

TEST_F(AutoProgramTest, AStopClickEndsTheWaitWithoutAMessage) {
    link.Busy = true; // inside another operation it does not start
    EXPECT_FALSE(auto_program_command(a).started);
    link.Busy = false;
    board.remove_chip();
    bool running_shown = false;
    link.status.Label11.observe([&](const std::string& text) {
        running_shown = running_shown || (text == texts::kWaitingForInsertion &&
                                          caption.get() == texts::kStopCaption && !list1.get());
    });
    stop_in(5000);
    auto_program_command(a);
    EXPECT_TRUE(running_shown);
    EXPECT_TRUE(op.messages.empty());
    EXPECT_EQ(link.status.Label11.get(), texts::kReady);
    // The board is restarted and set up, then handed back.
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
    EXPECT_EQ(op.texts(), Strings{"Programming complete0042pcs."});
    EXPECT_EQ(state.lab_pass.get(), "Pass:0043");
    EXPECT_EQ(op.tones.size(), 3u); // the target's, and each removal wait's
}

TEST_F(AutoProgramTest, AWrongInsertionReplyGivesOneMessageACycleAndTheLoopGoesOn) {
    board.add_fault(Fault::reply(0x12, {0x4E}, 0));
    stop_in(60'000);
    auto_program_command(a);
    EXPECT_GT(count("12"), 3);
    EXPECT_EQ(op.texts(), Strings(static_cast<std::size_t>(count("12")), texts::kReceiveError));
    EXPECT_EQ(count("0D"), 0);
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
    EXPECT_EQ(op.texts(),
              (Strings{"Error in programming ROM at address 0x0000", texts::kReceiveError}));
    const Strings commands = sent();
    // The set-up at the start and the recovery's, before the first removal watch.
    EXPECT_EQ(std::count(commands.begin(), std::find(commands.begin(), commands.end(), "13"), "03"),
              2);
    EXPECT_EQ(count("13"), 3);
    EXPECT_EQ(count("12"), 2);
}

TEST_F(AutoProgramTest, ABoardThatStopsAnsweringEndsTheLoopWhenToBeDropped) {
    a.hooks.drop_silent_board = true;
    board.add_fault(Fault::silent(0x12, 0));
    board.set_command_observer([this](std::uint8_t code, std::int64_t) {
        if (code == 0x12)
            board.set_dead(true);
    });
    EXPECT_TRUE(auto_program_command(a).board_lost);
    EXPECT_EQ(sent().back(), "01");
    EXPECT_FALSE(link.Busy.get());
}

} // namespace
} // namespace zz::test
