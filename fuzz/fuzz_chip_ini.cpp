// Chip database files of any content: the text is both the "All Chip" list and the first
// definition file of programmer model 3, and every chip it lists (the first few) is selected as
// the window selects it: parameters read, options and controls set, the buffer laid out and
// blanked, and its checksum computed.
#include "app/session.h"
#include "base/virtual_loop.h"
#include "files/checksum.h"
#include "fuzz_support.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zz;
    using namespace zz::fuzz;
    constexpr std::size_t kChipsSelected = 4;
    const std::filesystem::path& dir = scratch_dir();
    for (const char* name : {"3-chip.ini", "3-chip0.ini"})
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    VirtualLoop loop;
    ScriptedOperator op(0);
    VirtualBoard board(loop, 3);
    VirtualPort port(loop, board);
    Session session(SessionEnv{loop, op, port, dir, {}, {}, true});
    session.ProgrammerModel = 3;
    session.ComboBox2 = "All Chip";
    session.SuppressChipPositionOnce = true;
    session.program_type();
    const std::vector<std::string> chips = session.ComboBox1_items.get();
    for (std::size_t k = 0; k < chips.size() && k < kChipsSelected; ++k) {
        session.ComboBox1 = chips[k];
        session.chip_changed();
        calc_checksum(session.chip(), session.buffer);
    }
    return 0;
}
