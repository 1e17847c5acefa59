#pragma once

#include "base/hex_text.h"
#include "device/chip_params.h"
#include "sim/virtual_board.h"
#include "sim/wire_time.h"

#include <string>
#include <vector>

namespace zz::bench {

// The board's own time for the answer to one host block (the virtual board's documented model:
// 1 ms per answer, write cycles of ProgramDelay x 0.5 ms, 10 ms bulk erase, 20 us per cell
// checked), in microseconds. `stream` tells what the block belongs to.
inline std::int64_t board_us(const ChipParams& chip, const std::string& hex, char stream) {
    const std::int64_t cycle = hex_to_int(chip.ProgramDelay) * 500;
    if (stream == '7')
        return 1000 + cycle; // one write-latch row per 32-byte block
    if (stream == '8')
        return 1000 + 2 * cycle;
    if (stream == '9')
        return 1000 + 8 * cycle;
    const std::string code = hex.substr(0, 2);
    if (code == "0E")
        return 10'000;
    if (code == "0A")
        return 1000 + 2 * cycle;
    if (code == "0F")
        return chip.ROMsize * 20;
    if (code == "10")
        return 1000 + chip.EEPROMsize * 20;
    return 1000;
}

// Wire time of every byte plus the board's time for every answer: the protocol is strictly
// request/reply, so none of these overlap.
inline std::int64_t lower_bound_us(const ChipParams& chip, const std::vector<TraceEntry>& trace) {
    std::int64_t us = 0;
    char stream = 0;
    for (const TraceEntry& e : trace) {
        us += wire_us(static_cast<std::int64_t>(e.hex.size() / 2));
        if (e.from_board) {
            if (e.hex.starts_with("50") || e.hex.starts_with("4E"))
                stream = 0;
            continue;
        }
        const bool data = stream != 0;
        us += board_us(chip, e.hex, stream);
        if (stream == '9')
            stream = 0;
        if (!data && (e.hex.starts_with("07") || e.hex.starts_with("08")))
            stream = e.hex[1];
        else if (!data && (e.hex == "093030" || e.hex == "110000"))
            stream = '9';
    }
    return us;
}

} // namespace zz::bench
