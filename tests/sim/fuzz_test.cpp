#include "board_fixture.h"

#include <random>

namespace zz::test {
namespace {

// Random bytes in every protocol state never crash the board, and a DTR restart always brings
// it back to its identity and the handshake.
class BoardFuzz : public BoardTest {
protected:
    std::uint8_t random_byte() {
        static constexpr std::uint8_t kCodes[] = {0x01, 0x03, 0x04, 0x05, 0x07, 0x08, 0x09,
                                                  0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10,
                                                  0x11, 0x12, 0x13, 0x15, 0x50, 0x55};
        if (rng() % 2 == 0)
            return kCodes[rng() % std::size(kCodes)];
        return static_cast<std::uint8_t>(rng());
    }

    std::string random_hex(std::size_t bytes) {
        std::vector<std::uint8_t> b(bytes);
        for (auto& x : b)
            x = random_byte();
        return bytes_to_hex(b);
    }

    // Brings the board into one of the states worth fuzzing.
    void enter_state(int state) {
        switch (state) {
        case 1:
            send("03" + random_hex(11));
            break;
        case 2:
            send("07" + random_hex(2));
            break;
        case 3:
            send("08" + random_hex(2));
            break;
        case 4:
            send(rng() % 2 ? "093030" : "110000");
            break;
        case 5:
            send("55072000");
            break;
        case 6:
            board.remove_chip();
            send("12");
            break;
        case 7:
            board.add_fault(Fault::split(random_byte(), {1, 2, 3}, {0, 5}));
            board.add_fault(Fault::restart(random_byte(), static_cast<int>(rng() % 50), 0));
            board.add_fault(Fault::extra(fault_target::kRomBlock, {0x3F}, 0));
            break;
        default:
            break;
        }
        loop.run_for(static_cast<int>(rng() % 3));
    }

    void random_action() {
        const unsigned pick = rng() % 100;
        if (pick < 80) {
            const std::string hex = random_hex(1 + rng() % 40);
            if (port.is_open()) {
                send(hex);
                inputs += hex.size() / 2;
            }
        } else if (pick < 92) {
            loop.run_for(static_cast<int>(rng() % 30));
        } else if (pick < 95) {
            port.set_dtr(rng() % 2 ? DtrControl::Enable : DtrControl::Disable);
        } else if (pick < 97) {
            if (board.has_chip())
                board.remove_chip();
            else
                board.insert_chip_at(loop.now_ms() + rng() % 100, VirtualChip(pic18()));
        } else if (port.is_open()) {
            port.close();
        } else {
            port.open();
        }
    }

    std::mt19937 rng{20261207};
    std::size_t inputs = 0;
};

TEST_F(BoardFuzz, RandomInputInEveryStateLeavesTheBoardRestartable) {
    power_up();
    for (int round = 0; round < 600; ++round) {
        enter_state(round % 8);
        for (int i = 0; i < 40; ++i)
            random_action();
        board.clear_faults();
        board.clear_trace();
        if (!board.has_chip())
            board.insert_chip(VirtualChip(pic14()));
        if (!port.is_open())
            port.open();
        port.set_dtr(DtrControl::Disable);
        loop.run_for(1);
        received.clear();
        port.set_dtr(DtrControl::Enable);
        loop.run_for(25);
        ASSERT_EQ(take(), "4204") << "round " << round;
        ASSERT_EQ(exchange("50", 5), "50") << "round " << round;
    }
    EXPECT_GT(inputs, 250'000u);
}

} // namespace
} // namespace zz::test
