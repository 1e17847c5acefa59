#pragma once

#include "device/chip_database.h"
#include "link/link_fixture.h"
#include "ops/chip_context.h"
#include "sim/virtual_chip.h"

#include <string>
#include <vector>

namespace zz::test {

// A link on a virtual board of model 3 with a chip of the model-3 database in the socket, the
// buffer blank for that chip, and every option at its start-up state.
class OpsFixture : public LinkFixture {
protected:
    // Selects `name`, blanks the buffer and puts a blank chip of that type into the socket.
    void use_chip(const std::string& name, ChipFacts facts = {}) {
        chip = ChipDatabase(ZZ_SOURCE_DIR "/data").load(3, name, ChipParams{});
        ASSERT_GT(chip.ROMsize, 0) << name;
        buffer.clrbuffer(chip);
        board.insert_chip(VirtualChip(chip, facts));
    }

    void ready() {
        ready_board();
        board.clear_trace();
    }

    // Lets the board answer the closing "01" before the next command.
    void settle() { loop.run_for(100); }

    // The host's side of the exchanges since the last clear, one entry per block written: commands
    // as sent; data blocks and units of the write streams as "blk" plus their byte count.
    std::vector<std::string> sent() const {
        std::vector<std::string> out;
        bool in_stream = false;  // "07"/"08" announced, end message not yet seen
        bool block_next = false; // "093030" / "110000" sent: a 22-byte block follows
        for (const std::string& e : exchange) {
            const std::string hex = e.substr(2);
            if (e[0] == '<') {
                if (hex.starts_with("50") || hex.substr(2, 2) == "50" || hex.starts_with("4E"))
                    in_stream = false;
                continue;
            }
            if (in_stream || block_next) {
                out.push_back("blk" + std::to_string(hex.size() / 2));
                block_next = false;
                continue;
            }
            const std::string code = hex.substr(0, 2);
            in_stream = code == "07" || code == "08";
            block_next = hex == "093030" || hex == "110000";
            out.push_back(code == "03" ? "03" : hex);
        }
        return out;
    }

    // The last thing sent closes the operation, and the operation left no state behind.
    void expect_closed() {
        EXPECT_FALSE(link.Busy.get());
        EXPECT_FALSE(link.CollectReplies);
        ASSERT_FALSE(board.commands().empty());
        EXPECT_EQ(board.commands().back(), "01");
    }

    ChipParams chip;
    Buffer buffer;
    Flag n_calchip{true}, n36{true}, N32, N33;
    Flag blank{true}, erase{true}, wr_ee{true}, wr_rom{true}, wr_id{true};
    ChipState state;
    ChipContext ctx{link,   chip,
                    buffer, OpsFlags{n_calchip, n36, N32, N33, blank, erase, wr_ee, wr_rom, wr_id},
                    state,  {}};
};

// Sequences for expected exchanges.
inline std::vector<std::string> operator+(std::vector<std::string> a,
                                          const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
inline std::vector<std::string> times(int n, const std::vector<std::string>& items) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i)
        out = out + items;
    return out;
}
inline const std::vector<std::string> kIdCheck{"03", "04", "0D", "05"};
inline const std::vector<std::string> kInfo{"04", "0D", "05"};

} // namespace zz::test
