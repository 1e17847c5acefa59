#pragma once

#include "base/hex_text.h"
#include "base/virtual_loop.h"
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
        ASSERT_TRUE(port.write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                         bytes.size())));
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

    VirtualLoop loop;
    VirtualBoard board{loop, 3};
    VirtualPort port{loop, board};
    std::vector<std::string> received;
};

} // namespace zz::test
