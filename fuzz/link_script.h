#pragma once

// The input of the link fuzzer: which command runs on which chip with which options, and what
// the board sends back. Each host event (a block written, or the DTR line going active, which
// restarts a board) releases the next group of deliveries; a group is one or more chunks
// [control][length][bytes...], control bits 0-6 being the delay in ms before the chunk and bit 7
// marking a chunk that belongs to the group before it. make_link_seeds records the virtual
// board's answers in this form, so the seeds start from complete, correct exchanges.

#include "base/virtual_loop.h"
#include "fuzz_support.h"
#include "link/board_discovery.h"
#include "link/hardware_version.h"
#include "link/link.h"
#include "ops/chip_commands.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zz::fuzz {

struct Chunk {
    int delay_ms = 0;
    bool continues = false;
    std::vector<std::uint8_t> bytes;
};
using Group = std::vector<Chunk>;

inline std::vector<Group> parse_groups(InputReader& in) {
    std::vector<Group> groups;
    while (!in.done()) {
        const std::uint8_t control = in.byte();
        const std::uint8_t length = in.byte();
        const auto bytes = in.bytes(length);
        Chunk chunk{control & 0x7F, (control & 0x80) != 0, {bytes.begin(), bytes.end()}};
        if (chunk.continues && !groups.empty())
            groups.back().push_back(std::move(chunk));
        else
            groups.push_back({std::move(chunk)});
    }
    return groups;
}

inline void append_groups(const std::vector<Group>& groups, std::vector<std::uint8_t>& out) {
    constexpr std::size_t kMaxChunk = 255;
    for (const Group& group : groups) {
        for (std::size_t c = 0; c < group.size(); ++c) {
            const Chunk& chunk = group[c];
            std::size_t at = 0;
            do {
                const std::size_t n = std::min(kMaxChunk, chunk.bytes.size() - at);
                const bool first_piece = at == 0;
                const int delay = first_piece ? std::min(chunk.delay_ms, 0x7F) : 0;
                const bool continues = c > 0 || !first_piece;
                out.push_back(static_cast<std::uint8_t>(delay | (continues ? 0x80 : 0)));
                out.push_back(static_cast<std::uint8_t>(n));
                out.insert(out.end(), chunk.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                           chunk.bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
                at += n;
            } while (at < chunk.bytes.size());
        }
    }
}

// What runs: the first four bytes of the input.
struct LinkCase {
    std::uint8_t command = 0;
    std::uint8_t chip = 0;
    std::uint8_t answers = 0; // the operator's answers, bit by bit
    std::uint8_t options = 0; // option flags and programmer model

    static LinkCase read(InputReader& in) { return {in.byte(), in.byte(), in.byte(), in.byte()}; }
    void append(std::vector<std::uint8_t>& out) const {
        out.insert(out.end(), {command, chip, answers, options});
    }
};

inline constexpr int kLinkCommands = 12;
inline constexpr const char* kPortName = "/dev/ttyFUZZ";

// Start-up on `port` (open, DTR on, the handshake), the command, and the time the board has to
// answer the closing "01".
inline void run_link_case(VirtualLoop& loop, Port& port, const LinkCase& c) {
    const ChipParams& chip = fuzz_chips()[c.chip % fuzz_chips().size()];
    ScriptedOperator op(c.answers);
    Flag N18, N31{true}, N_ICSP{(c.options & 0x01) != 0}, VPP{(c.options & 0x02) != 0};
    Flag n_calchip{(c.options & 0x04) == 0}, n36{(c.options & 0x08) == 0};
    Flag N32{(c.options & 0x10) != 0}, N33{true};
    Flag blank, erase, eeprom, rom, fuses;
    Link link(loop, port, op, LinkFlags{N18, N31, N_ICSP, VPP});
    link.ProgrammerModel = 1 + (c.options >> 6);
    BoardDiscovery discovery(link, [] { return std::vector<std::string>{kPortName}; });
    link.set_startup_search([&discovery] { discovery.findbord(); });

    Buffer buffer;
    buffer.clrbuffer(chip);
    ChipState state;
    ChipContext ctx{link,   chip,
                    buffer, OpsFlags{n_calchip, n36, N32, N33, blank, erase, eeprom, rom, fuses},
                    state,  {}};

    port.set_name(kPortName);
    port.set_dtr(DtrControl::Disable);
    try {
        port.open();
    } catch (const CommError&) {
        return;
    }
    link.StartupSearchPending = (c.options & 0x20) != 0;
    port.set_dtr(DtrControl::Enable);
    link.Timer1.start();
    loop.run_for(300);

    using Command = void (*)(ChipContext&, Link&, BoardDiscovery&);
    static constexpr Command kCommands[kLinkCommands] = {
        [](ChipContext& x, Link&, BoardDiscovery&) { read_command(x); },
        [](ChipContext& x, Link&, BoardDiscovery&) { erase_command(x); },
        [](ChipContext& x, Link&, BoardDiscovery&) { blank_check_command(x); },
        [](ChipContext& x, Link&, BoardDiscovery&) { rom_command(x); },
        [](ChipContext& x, Link&, BoardDiscovery&) { eeprom_command(x); },
        [](ChipContext& x, Link&, BoardDiscovery&) { fuse_id_command(x); },
        [](ChipContext& x, Link&, BoardDiscovery&) { verify_command(x); },
        [](ChipContext& x, Link&, BoardDiscovery&) { program_command(x); },
        [](ChipContext&, Link& l, BoardDiscovery&) { hardware_version_command(l); },
        [](ChipContext&, Link&, BoardDiscovery& d) { d.N29Click(); },
        [](ChipContext&, Link&, BoardDiscovery& d) { d.N16Click(); },
        [](ChipContext&, Link&, BoardDiscovery&) {}, // only the announcement path
    };
    for (Flag* step : {&blank, &erase, &eeprom, &rom, &fuses})
        step->checked = true;
    kCommands[c.command % kLinkCommands](ctx, link, discovery);
    loop.run_for(3000);
    port.close();
}

} // namespace zz::fuzz
