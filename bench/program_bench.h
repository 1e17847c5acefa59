#pragma once
// What the Program benchmarks share: the full image every option programs, the virtual board
// with its wire model that programs it, and the CPU clock.
#include "base/hex_text.h"
#include "base/operator.h"
#include "base/virtual_loop.h"
#include "device/buffer.h"
#include "device/chip_database.h"
#include "ops/chip_context.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include <ctime>
#include <string>

namespace zz::bench {

// Program memory and EEPROM filled with varied words, an ID and a configuration word, on a
// cleared 16F877A buffer.
inline void fill_full_image(Buffer& buffer) {
    for (std::size_t i = 0; i < buffer.cell_count(Area::rom); ++i)
        buffer.set_cell_and_view(Area::rom, i, to_hex((i * 0x9E37 + 1) & 0x3FFE, 4));
    for (std::size_t i = 0; i < buffer.cell_count(Area::eeprom); ++i)
        buffer.set_cell_and_view(Area::eeprom, i, to_hex((i * 37 + 1) % 255, 2));
    buffer.lab_fuse(1) = "0x3F72";
    buffer.lab_id1 = "0x01020304";
}

// Keeps the last message; answers No; makes no sound.
class LastMessageOperator : public Operator {
public:
    void show_message(std::string_view text, std::string_view, Icon) override {
        last = std::string(text);
    }
    bool ask_yes_no(std::string_view, std::string_view) override { return false; }
    bool play_tone(int, int) override { return true; }
    std::string last;
};

// A 16F877A with the full image and every Program option ticked, on a virtual board of model 3
// that keeps 38400-baud wire timing on a virtual clock.
struct ProgramRig {
    ProgramRig() {
        board.set_wire_timing(true);
        buffer.clrbuffer(chip);
        fill_full_image(buffer);
    }
    // Opens the port and restarts the board; false when it does not greet us.
    bool start() {
        port.set_dtr(DtrControl::Disable);
        port.open();
        loop.run_for(15);
        port.set_dtr(DtrControl::Enable);
        loop.run_for(200);
        return link.BoardReady.get();
    }
    // The board answers the closing "01" with "50" before the next command may start.
    void wait_ready() {
        link.status.Label11 = std::string();
        while (link.status.Label11.get() != "Ready")
            loop.run_for(1);
    }

    VirtualLoop loop;
    VirtualBoard board{loop, 3};
    VirtualPort port{loop, board, "COM3"};
    LastMessageOperator op;
    Flag N18, N31{true}, N_ICSP, UseVPP;
    Link link{loop, port, op, LinkFlags{N18, N31, N_ICSP, UseVPP}};
    const ChipParams chip = ChipDatabase(ZZ_SOURCE_DIR "/data").load(3, "16F877A", ChipParams{});
    Buffer buffer;
    Flag n_calchip{true}, n36{true}, N32, N33{true};
    Flag blank{true}, erase{true}, wr_ee{true}, wr_rom{true}, wr_id{true};
    ChipState state;
    ChipContext ctx{link,   chip,
                    buffer, OpsFlags{n_calchip, n36, N32, N33, blank, erase, wr_ee, wr_rom, wr_id},
                    state,  {}};
};

// The process's CPU time in ms.
inline double cpu_ms() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

} // namespace zz::bench
