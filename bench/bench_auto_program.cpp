// Auto Program of full 16F877A chips on the virtual board with the 38400-baud wire model and a
// person at the socket who takes each chip out 500 ms after the board is asked to watch for its
// removal and puts the next in 500 ms later: the virtual time per chip against the least the
// wire, the board and the person need, and the CPU time the application spends per chip.
// Usage: bench_auto_program [CHIPS]
#include "ops/auto_program.h"
#include "program_bench.h"
#include "sim/socket_operator.h"
#include "wire_bound.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace zz;

// The time the board spends waiting for the person: from its "41" to the report 59h (which
// includes the 50 ms the contacts take to settle), less the report's own wire time.
std::int64_t socket_wait_us(const std::vector<TraceEntry>& trace) {
    std::int64_t us = 0;
    std::int64_t watch_ms = -1;
    for (const TraceEntry& e : trace) {
        if (!e.from_board)
            continue;
        if (e.hex == "41")
            watch_ms = e.time_ms;
        else if (watch_ms >= 0 && e.hex.starts_with("59")) {
            us += (e.time_ms - watch_ms) * 1000 - wire_us(1);
            watch_ms = -1;
        }
    }
    return us;
}

} // namespace

int main(int argc, char** argv) {
    const int chips = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    bench::ProgramRig rig;
    const ChipParams& chip = rig.chip;
    rig.board.insert_chip(VirtualChip(chip));
    SocketOperator person(rig.board, {500, 500}, [&chip] { return VirtualChip(chip); });
    Value<std::string> caption{texts::kAutoProgramCaption};
    Value<bool> list1{true}, list2{true}, ports{true};
    bool CloseRequested = false;
    AutoProgramContext a{rig.ctx, {caption, list1, list2, ports}, CloseRequested};
    int passed = 0;
    a.hooks.cycle_ended = [&] { CloseRequested = ++passed == chips; };
    if (!rig.start()) {
        std::puts("board not ready");
        return 1;
    }
    VirtualLoop& loop = rig.loop;
    VirtualBoard& board = rig.board;
    board.clear_trace();
    const std::int64_t start = loop.now_ms();
    const double cpu_start = bench::cpu_ms();
    auto_program_command(a);
    const double cpu_total = bench::cpu_ms() - cpu_start;
    const double virtual_ms = static_cast<double>(loop.now_ms() - start);
    const double wire_board_ms =
        static_cast<double>(bench::lower_bound_us(chip, board.trace())) / 1000.0;
    const double person_ms = static_cast<double>(socket_wait_us(board.trace())) / 1000.0;
    const double bound_ms = wire_board_ms + person_ms;
    if (passed != chips || rig.state.lab_error.get() != "Fail:0000") {
        std::printf("chips failed: %s %s, %s\n", rig.state.lab_pass.get().c_str(),
                    rig.state.lab_error.get().c_str(), rig.op.last.c_str());
        return 1;
    }
    std::printf("16F877A Auto Program (all options), %d chips, wire timing on, person 500/500 ms\n",
                chips);
    std::printf("virtual time per chip:   %9.1f ms\n", virtual_ms / chips);
    std::printf("lower bound per chip:    %9.1f ms (wire at 38400 baud + board times %.1f ms "
                "+ waiting for the person %.1f ms)\n",
                bound_ms / chips, wire_board_ms / chips, person_ms / chips);
    std::printf("overhead per chip:       %9.1f ms\n", (virtual_ms - bound_ms) / chips);
    std::printf("ratio:                   %9.4f (at most 1.03)\n", virtual_ms / bound_ms);
    std::printf("CPU time per chip:       %9.2f ms\n", cpu_total / chips);
    return 0;
}
