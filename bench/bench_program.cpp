// Program (every option) then Verify of a full 16F877A on the virtual board with the 38400-baud
// wire model: the virtual time taken against the least the wire and the board need, and the real
// CPU time the application spends per chip. Usage: bench_program [CHIPS]
#include "ops/chip_commands.h"
#include "program_bench.h"
#include "wire_bound.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    using namespace zz;
    const int chips = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    bench::ProgramRig rig;
    const ChipParams& chip = rig.chip;
    VirtualLoop& loop = rig.loop;
    VirtualBoard& board = rig.board;
    if (!rig.start()) {
        std::puts("board not ready");
        return 1;
    }
    double virtual_ms = 0;
    double bound_ms = 0;
    double cpu_total = 0;
    for (int n = 0; n < chips; ++n) {
        board.insert_chip(VirtualChip(chip));
        board.clear_trace();
        const std::int64_t start = loop.now_ms();
        const double cpu_start = bench::cpu_ms();
        program_command(rig.ctx);
        rig.wait_ready();
        verify_command(rig.ctx);
        rig.wait_ready();
        cpu_total += bench::cpu_ms() - cpu_start;
        virtual_ms += static_cast<double>(loop.now_ms() - start);
        bound_ms += static_cast<double>(bench::lower_bound_us(chip, board.trace())) / 1000.0;
        if (rig.op.last != "Data verification complete" ||
            rig.state.lab_error.get() != "Fail:0000") {
            std::printf("chip %d failed: %s\n", n + 1, rig.op.last.c_str());
            return 1;
        }
    }
    std::printf("16F877A Program (all options) + Verify, %d chips, wire timing on\n", chips);
    std::printf("virtual time per chip:   %9.1f ms\n", virtual_ms / chips);
    std::printf("lower bound per chip:    %9.1f ms (wire at 38400 baud + board times)\n",
                bound_ms / chips);
    std::printf("ratio:                   %9.4f\n", virtual_ms / bound_ms);
    std::printf("CPU time per chip:       %9.2f ms\n", cpu_total / chips);
    return 0;
}
