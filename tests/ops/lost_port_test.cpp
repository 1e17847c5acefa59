// The port lost in the middle of a chip command: the command ends within a second with the one
// message, without restarting the board, without tones and without touching the buffer.
#include "ops/chip_commands.h"
#include "ops_fixture.h"

namespace zz::test {
namespace {

struct Cut {
    const char* name;
    void (*command)(ChipContext&);
    int at_ms; // after the command began
};

class LostPortOps : public OpsFixture, public ::testing::WithParamInterface<Cut> {};

TEST_P(LostPortOps, EndsTheCommandWithOneMessage) {
    use_chip("16F877A");
    board.set_wire_timing(true); // the cut falls where it would on the line
    N31.checked = false;         // a failure would sound three tones
    ready();
    read_command(ctx); // the buffer as the chip holds it, so verify would pass
    settle();
    ASSERT_EQ(op.texts(), std::vector<std::string>{});
    board.chip()->rom()[0] = 0x2805; // what a read that went on would bring into the buffer
    if (GetParam().command == verify_command)
        buffer.set_cell_and_view(Area::rom, 0, "2805");
    const std::string rom_before = buffer.buffer_rom();
    std::int64_t lost_at = -1;
    std::size_t sent_before = 0;
    Timer cut(loop, GetParam().at_ms, [&] {
        lost_at = loop.now_ms();
        sent_before = exchange.size();
        port.set_gone(true);
    });
    cut.start();
    GetParam().command(ctx);
    cut.stop();
    ASSERT_GE(lost_at, 0) << "the command ended before the cut";
    EXPECT_LE(loop.now_ms() - lost_at, 1000);
    EXPECT_EQ(op.texts(), std::vector<std::string>{"The serial port COM3 was lost"});
    EXPECT_TRUE(op.questions.empty());
    EXPECT_TRUE(op.tones.empty());
    EXPECT_EQ(exchange.size(), sent_before) << "sent or received after the loss";
    EXPECT_EQ(buffer.buffer_rom(), rom_before);
    EXPECT_FALSE(link.Busy.get());
    EXPECT_FALSE(link.CollectReplies);
    EXPECT_EQ(link.status.Label11.get(), "Serial port is closed");
    // Nothing is left running that would speak later.
    loop.run_for(5000);
    EXPECT_EQ(op.texts().size(), 1u);
}

// The Program command's result (refused or not) plays no part here.
void program(ChipContext& ctx) {
    program_command(ctx);
}

INSTANTIATE_TEST_SUITE_P(Commands, LostPortOps,
                         ::testing::Values(Cut{"ReadAtTheDeviceId", read_command, 3},
                                           Cut{"ReadInTheRomStream", read_command, 2000},
                                           Cut{"ProgramInTheBlankCheck", program, 60},
                                           Cut{"ProgramInTheRomStream", program, 3000},
                                           Cut{"ProgramLate", program, 4000},
                                           Cut{"Verify", verify_command, 1000},
                                           Cut{"Erase", erase_command, 20},
                                           Cut{"WriteRom", rom_command, 500}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zz::test
