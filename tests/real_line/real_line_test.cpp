// The whole path on a pseudo-terminal, in real time: SerialPort, the link and the chip commands
// against the virtual board, its bytes handed over one at a time or per USB frame.
#include "app/station.h"
#include "base/hex_text.h"
#include "device/chip_database.h"
#include "pty_line.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

ChipParams chip_12f629() {
    return ChipDatabase(ZZ_SOURCE_DIR "/data").load(3, "12F629", ChipParams{});
}

// Program memory (the calibration word in the last cell stays the factory's) and EEPROM with a
// pattern of `seed`.
VirtualChip patterned_chip(const ChipParams& params, unsigned seed) {
    VirtualChip chip(params);
    for (std::size_t i = 0; i + 1 < chip.rom().size(); ++i)
        chip.rom()[i] = static_cast<std::uint16_t>((i * 0x9E37 + seed) & 0x3FFF);
    for (std::size_t i = 0; i < chip.eeprom().size(); ++i)
        chip.eeprom()[i] = static_cast<std::uint8_t>(i * 37 + seed);
    return chip;
}

std::string rom_hex(const VirtualChip& chip) {
    std::string hex;
    for (std::uint16_t w : chip.rom())
        hex += to_hex(w, 4);
    return hex;
}

std::string eeprom_hex(const VirtualChip& chip) {
    std::string hex;
    for (std::uint8_t b : chip.eeprom())
        hex += to_hex(b, 2);
    return hex;
}

class RealLine : public ::testing::TestWithParam<const char*> {};

TEST_P(RealLine, TwentyHandshakesInARowEachAtTheFirstTry) {
    PtyLine line(GetParam());
    Session& s = line.start("12F629");
    for (int i = 0; i < 20; ++i) {
        s.discovery().N18Click(); // off
        s.discovery().N18Click(); // on: the board restarts as its port opens
        ASSERT_TRUE(line.wait([&] { return s.link().BoardReady.get(); })) << "handshake " << i;
    }
    EXPECT_EQ(line.connections(), 21) << "a handshake needed the board restarted";
    EXPECT_EQ(line.op().texts(), Strings{});
    EXPECT_EQ(s.link().status.Label10.get(), "RO-ZUZ330:already connect");
    EXPECT_FALSE(s.link().Timer1.enabled());
}

INSTANTIATE_TEST_SUITE_P(HandOver, RealLine,
                         ::testing::Values("fifo", "byte", "frame:1", "frame:16"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, ':');
                             return name;
                         });

class RealLineChip : public RealLine {};

TEST_P(RealLineChip, ReadThenProgramAndVerifyGiveExactlyTheMemories) {
    const ChipParams params = chip_12f629();
    PtyLine line(GetParam());
    const VirtualChip before = patterned_chip(params, 7);
    line.board().insert_chip(before);
    Session& s = line.start("12F629");

    s.read_command();
    ASSERT_TRUE(line.wait_idle());
    EXPECT_EQ(s.buffer.buffer_rom(), rom_hex(before));
    EXPECT_EQ(s.buffer.buffer_eeprom(), eeprom_hex(before));
    EXPECT_EQ(s.buffer.lab_fuse(1).get(), "0x" + to_hex(before.fuses()[0], 4));

    // A new image; the calibration word read from the chip stays in the last cell.
    const VirtualChip wanted = patterned_chip(params, 11);
    for (std::size_t i = 0; i + 1 < wanted.rom().size(); ++i)
        s.buffer.set_cell_and_view(Area::rom, i, to_hex(wanted.rom()[i], 4));
    for (std::size_t i = 0; i < wanted.eeprom().size(); ++i)
        s.buffer.set_cell_and_view(Area::eeprom, i, to_hex(wanted.eeprom()[i], 2));
    s.program_command();
    ASSERT_TRUE(line.wait_idle());
    s.verify_command();
    ASSERT_TRUE(line.wait_idle());
    EXPECT_EQ(line.op().texts(), (Strings{"Programming complete.", "Data verification complete"}));
    EXPECT_EQ(s.statistics.lab_pass.get(), "Pass:0001");
    EXPECT_EQ(line.connections(), 1);

    line.stop();
    const VirtualChip& after = *line.board().chip();
    EXPECT_EQ(rom_hex(after), s.buffer.buffer_rom());
    EXPECT_EQ(rom_hex(after).substr(0, 4 * 1023), rom_hex(wanted).substr(0, 4 * 1023));
    EXPECT_EQ(after.rom().back(), before.rom().back()) << "the calibration word";
    EXPECT_EQ(eeprom_hex(after), eeprom_hex(wanted));
}

INSTANTIATE_TEST_SUITE_P(HandOver, RealLineChip,
                         ::testing::Values("fifo", "byte", "frame:1", "frame:16"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, ':');
                             return name;
                         });

// The line hangs up in the middle of a program: the program ends at once with the one message;
// nothing restarts the board, and no pass is counted, so a file saved after each pass is not
// written.
TEST(RealLineLost, AHangUpInTheMiddleOfAProgramIsSaidOnce) {
    PtyLine line("byte");
    line.board().insert_chip(VirtualChip(chip_12f629()));
    Session& s = line.start("12F629");
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("zz_real_line_" + std::to_string(getpid()));
    std::ofstream(file) << "kept\n";
    s.after_pass = [&] { std::ofstream(file) << "written\n"; };

    bool hung_up = false;
    s.link().status.progress_position.observe([&](int position) {
        if (position > 100 && !hung_up) {
            hung_up = true;
            line.hang_up();
        }
    });
    s.program_command();

    ASSERT_TRUE(hung_up) << "the program never got there";
    // A wait that ran out instead of ending with the line would have said "Receive data error".
    EXPECT_EQ(line.op().texts(), Strings{"The serial port " + line.slave() + " was lost"});
    EXPECT_EQ(line.op().messages[0].caption, "Error");
    EXPECT_EQ(s.statistics.lab_pass.get(), "Pass:0000");
    EXPECT_FALSE(s.link().Busy.get());
    EXPECT_TRUE(s.flags.N18.checked.get());
    EXPECT_EQ(s.link().status.Label11.get(), "Serial port is closed");
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "kept");
    std::filesystem::remove(file);
    EXPECT_EQ(line.stop(), 1) << "the board was reopened after the hang-up";
}

// Every candidate is searched at once; those with a board come back in the candidates' order, a
// silent line and a port that does not exist are left out.
TEST(RealLinePorts, TheBoardSearchKeepsThePortsWhereABoardAnswers) {
    ServedBoard first, second;
    first.start();
    second.start();
    // A line whose far end never answers.
    const int silent = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(silent, 0);
    ASSERT_EQ(grantpt(silent), 0);
    ASSERT_EQ(unlockpt(silent), 0);
    const std::vector<std::string> candidates = {second.slave(), "/dev/zz-no-such-port",
                                                 ptsname(silent), first.slave()};
    EXPECT_EQ(ports_with_a_board(candidates), (Strings{second.slave(), first.slave()}));
    ::close(silent);
}

} // namespace
} // namespace zz::test
