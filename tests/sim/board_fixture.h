#pragma once

#include "base/hex_text.h"
#include "base/virtual_loop.h"
#include "chips.h"
#include "sim/virtual_board.h"
#include "sim/virtual_port.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zz::test {

// A board on a virtual clock with its port open and every delivery collected as hex text.
class BoardTest : public ::testing::Test {
protected:
    BoardTest() {
        port.on_receive([this](std::span<const std::uint8_t> bytes) {
            received.push_back(bytes_to_hex(bytes));
        });
    }

    // Opens the port with DTR on and waits for the identity.
    void power_up() {
        port.open();
        loop.run_for(30);
    }

    void send(const std::string& hex) {
        const std::string bytes = hex_pairs_to_bytes(hex);
        ASSERT_TRUE(port.write(
            std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())));
    }

    // Everything delivered since the last call, joined.
    std::string take() {
        std::string all;
        for (const std::string& r : received)
            all += r;
        received.clear();
        return all;
    }

    // Sends a command, runs the clock and returns the joined answer.
    std::string exchange(const std::string& hex, int ms = 50) {
        take();
        send(hex);
        loop.run_for(ms);
        return take();
    }

    // Sends a command and returns the first delivery that answers it (empty after 10 s).
    std::string first_reply(const std::string& hex) {
        take();
        send(hex);
        for (int ms = 0; ms < 10'000 && received.empty(); ++ms)
            loop.run_for(1);
        return take();
    }

    // Puts a chip of `params` into the socket, powers up and sends its set-up frame.
    void load(const ChipParams& params, ChipFacts facts = {}) {
        board.insert_chip(VirtualChip(params, facts));
        power_up();
        ASSERT_EQ(exchange(setup_frame(params)), "49");
    }

    // Runs a write stream: the command, then the next block each time the board asks with 59h
    // (blank blocks once `blocks` runs out). Returns the board's closing message.
    std::string write_stream(const std::string& command, const std::vector<std::string>& blocks,
                             std::size_t block_digits = 64) {
        std::string r = first_reply(command);
        blocks_sent = 0;
        while (r == "59" && blocks_sent < 10'000) {
            const std::string block =
                blocks_sent < blocks.size() ? blocks[blocks_sent] : std::string(block_digits, 'F');
            ++blocks_sent;
            r = first_reply(block);
        }
        return r;
    }

    std::size_t blocks_sent = 0;
    VirtualLoop loop;
    VirtualBoard board{loop, 3};
    VirtualPort port{loop, board};
    std::vector<std::string> received;
};

} // namespace zz::test
