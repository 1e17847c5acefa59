// Program (every option) then Verify of a full 16F877A on the virtual board with the 38400-baud
// wire model: the virtual time taken against the least the wire and the board need, and the real
// CPU time the application spends per chip. Usage: bench_program [CHIPS]
#include "base/hex_text.h"
#include "base/virtual_loop.h"
#include "device/chip_database.h"
#include "ops/chip_commands.h"
#include "program_bench.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"
#include "wire_bound.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using namespace zz;
using bench::lower_bound_us;

class SilentOperator : public Operator {
public:
    void show_message(std::string_view text, std::string_view, Icon) override {
        last = std::string(text);
    }
    bool ask_yes_no(std::string_view, std::string_view) override { return false; }
    bool play_tone(int, int) override { return true; }
    std::string last;
};

// The board answers the closing "01" with "50" before the next command may start.
void wait_ready(VirtualLoop& loop, Link& link) {
    link.status.Label11 = std::string();
    while (link.status.Label11.get() != "Ready")
        loop.run_for(1);
}

} // namespace

int main(int argc, char** argv) {
    const int chips = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    VirtualLoop loop;
    VirtualBoard board(loop, 3);
    board.set_wire_timing(true);
    VirtualPort port(loop, board, "COM3");
    SilentOperator op;
    Flag N18, N31{true}, N_ICSP, UseVPP;
    Link link(loop, port, op, LinkFlags{N18, N31, N_ICSP, UseVPP});
    const ChipParams chip = ChipDatabase(ZZ_SOURCE_DIR "/data").load(3, "16F877A", ChipParams{});
    Buffer buffer;
    buffer.clrbuffer(chip);
    bench::fill_full_image(buffer);
    Flag n_calchip{true}, n36{true}, N32, N33{true};
    Flag blank{true}, erase{true}, wr_ee{true}, wr_rom{true}, wr_id{true};
    ChipState state;
    ChipContext ctx{link,   chip,
                    buffer, OpsFlags{n_calchip, n36, N32, N33, blank, erase, wr_ee, wr_rom, wr_id},
                    state,  {}};

    port.set_dtr(DtrControl::Disable);
    port.open();
    loop.run_for(15);
    port.set_dtr(DtrControl::Enable);
    loop.run_for(200);
    if (!link.BoardReady.get()) {
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
        program_command(ctx);
        wait_ready(loop, link);
        verify_command(ctx);
        wait_ready(loop, link);
        cpu_total += bench::cpu_ms() - cpu_start;
        virtual_ms += static_cast<double>(loop.now_ms() - start);
        bound_ms += static_cast<double>(lower_bound_us(chip, board.trace())) / 1000.0;
        if (op.last != "Data verification complete" || state.lab_error.get() != "Fail:0000") {
            std::printf("chip %d failed: %s\n", n + 1, op.last.c_str());
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
