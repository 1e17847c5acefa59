#include "base/hex_text.h"
#include "link/link_texts.h"
#include "ops/chip_commands.h"
#include "ops/ops_texts.h"
#include "ops/program_sequence.h"
#include "ops/rom_eeprom_write.h"
#include "ops_fixture.h"
#include "sim/board_fault.h"

#include <map>

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

class ProgramTest : public OpsFixture {
protected:
    // Fills the buffer with a pattern that fits the chip's cells, ID and configuration words.
    void fill_buffer() {
        const std::uint32_t cell_mask = chip.CHIPbit == 1   ? 0x0FFF
                                        : chip.CHIPbit == 2 ? 0x3FFF
                                        : chip.CHIPbit == 4 ? 0xFF
                                                            : 0xFFFF;
        for (std::size_t i = 0; i < buffer.cell_count(Area::rom); ++i)
            buffer.set_cell_and_view(
                Area::rom, i, to_hex((i * 0x9E37 + 7) & cell_mask, chip.CHIPbit == 4 ? 2 : 4));
        for (std::size_t i = 0; i < buffer.cell_count(Area::eeprom); ++i)
            buffer.set_cell_and_view(Area::eeprom, i, to_hex((i * 37 + 1) & 0xFF, 2));
        buffer.lab_id1 = chip.CHIPbit == 3 ? "0x0123456789ABCDEF" : "0x01020304";
        for (int k = 0; k < chip.FuseWordCount; ++k)
            buffer.lab_fuse(k + 1) = "0x" + to_hex(chip.fuse_blank_words[k] & 0xF5A5, 4);
    }
};

TEST_F(ProgramTest, ProgramOfCalwordChipWithEveryOption) {
    use_chip("12F629");
    buffer.set_cell_and_view(Area::eeprom, 3, "00");
    ready();
    program_command(ctx);
    const Strings expected =
        kIdCheck + kInfo + Strings{"04", "0F3F", "05", "04", "10", "05"} + // blank check
        Strings{"03"} + kInfo + kInfo + Strings{"04", "0E", "05", "04", "0A348021FF", "05"} +
        Strings{"04", "080006"} + times(3, {"blk2"}) + Strings{"05", "04", "0C", "05"} +
        Strings{"03"} + kInfo + Strings{"04", "070400"} + times(64, {"blk32"}) +
        Strings{"05", "04", "0B", "05"} + kInfo + Strings{"04", "093030", "blk22", "05"} +
        kInfo + // BandGap read, write, verify
        Strings{"01"};
    EXPECT_EQ(sent(), expected);
    EXPECT_EQ(op.texts(), Strings{texts::kProgrammingComplete});
    EXPECT_EQ(state.lab_pass.get(), "Pass:0001");
    EXPECT_EQ(link.status.Label11.get(), texts::kProgrammingResult);
    expect_closed();
}

TEST_F(ProgramTest, NonBlankChipIsErasedOrQuestioned) {
    use_chip("16F877A");
    ready();
    board.chip()->rom()[0] = 0;
    program_command(ctx); // Erase ticked: no question
    EXPECT_TRUE(op.questions.empty());
    EXPECT_EQ(state.lab_pass.get(), "Pass:0001");
    settle();
    board.chip()->rom()[0] = 0;
    erase.checked = false;
    op.answers = {false};
    program_command(ctx);
    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_EQ(op.questions[0].text,
              "   ID=Erased  \r\n   config=Erased  \r\n   ROM=Not Erased  \r\n"
              "   EEPROM=Erased  \r\nContinue to program this chip?");
    EXPECT_EQ(state.lab_error.get(), "Fail:0001");
    EXPECT_EQ(link.status.Label11.get(), texts::kProgrammingFail);
    expect_closed();
}

TEST_F(ProgramTest, OptionsCheckedBeforeAnythingIsSent) {
    use_chip("16F877A");
    ready();
    for (Flag* f : {&blank, &erase, &wr_ee, &wr_rom, &wr_id})
        f->checked = false;
    program_command(ctx);
    EXPECT_EQ(op.texts(), Strings{texts::kNoProgramOptions});
    EXPECT_TRUE(exchange.empty());
    EXPECT_FALSE(link.Busy.get());
    blank.checked = true;
    program_command(ctx); // only Blank on a blank chip passes
    EXPECT_EQ(state.lab_pass.get(), "Pass:0001");
}

TEST_F(ProgramTest, CountersAndTarget) {
    EXPECT_EQ(next_count("Pass:0099"), "0100");
    EXPECT_EQ(next_count("Pass:9999"), "10000");
    EXPECT_EQ(next_count("Pass:10000"), "0001");
    EXPECT_EQ(next_count("Fail:x"), "0001");
    use_chip("16F877A");
    for (Flag* f : {&blank, &erase, &wr_ee, &wr_rom})
        f->checked = false;
    wr_id.checked = true;
    N33.checked = true;
    ready();
    state.lab_pass = "Pass:0099";
    state.Lab_aim = "Target:0100";
    program_command(ctx);
    EXPECT_EQ(op.texts(), Strings{"Programming complete0100pcs."});
    settle();
    op.messages.clear();
    program_command(ctx);
    EXPECT_TRUE(op.messages.empty()); // N33 and below the target
    EXPECT_EQ(state.lab_pass.get(), "Pass:0101");
    reset_statistics(state);
    EXPECT_EQ(state.lab_pass.get(), "Pass:0000");
    EXPECT_EQ(state.Lab_aim.get(), "Target:0100");
}

// Whatever exchange of Program the board fails, the operation ends closed, and a failed chip is
// counted (a refused device-ID check is not).
TEST_F(ProgramTest, FaultAtEveryExchangeLeavesNothingSet) {
    use_chip("12F629");
    buffer.set_cell_and_view(Area::eeprom, 3, "00");
    ready();
    program_command(ctx);
    settle();
    // Every command code with its occurrences, plus the stream answers.
    std::map<int, int> occurrences;
    for (const std::string& c : board.commands())
        if (c.size() <= 24)
            ++occurrences[std::stoi(c.substr(0, 2), nullptr, 16)];
    occurrences.erase(0x50);
    occurrences.erase(0x01); // after the operation: the watchdog's business
    occurrences[fault_target::kRomBlock] = 64;
    occurrences[fault_target::kEepromUnit] = 3;
    occurrences[fault_target::kIdBlock] = 1;
    int runs = 0;
    for (const auto& [code, count] : occurrences) {
        for (int n = 1; n <= count; ++n) {
            for (bool silent : {true, false}) {
                board.clear_faults();
                board.add_fault(silent ? Fault::silent(code, n) : Fault::reply(code, {0x4E}, n));
                board.insert_chip(VirtualChip(chip));
                program_command(ctx);
                SCOPED_TRACE(testing::Message() << "target " << code << " #" << n);
                expect_closed();
                EXPECT_FALSE(op.messages.empty());
                settle();
                ASSERT_TRUE(link.BoardReady.get());
                op.messages.clear();
                ++runs;
            }
        }
    }
    EXPECT_GT(runs, 100);
}

TEST_F(ProgramTest, VerifyReportsFirstDifferenceOfEachArea) {
    use_chip("16F877A");
    buffer.lab_fuse(1) = "0x3FFF";
    ready();
    verify_command(ctx);
    EXPECT_EQ(sent(), (kIdCheck + kInfo + Strings{"04", "0B", "05", "04", "0C", "05", "01"}));
    EXPECT_EQ(op.texts(), Strings{texts::kVerifyComplete});
    settle();
    buffer.lab_id1 = "0xFF0102FF";
    buffer.lab_fuse(1) = "0x3F7F";
    buffer.set_cell_and_view(Area::rom, 5, "0000");
    buffer.set_cell_and_view(Area::rom, 6, "0000");
    buffer.set_cell_and_view(Area::eeprom, 9, "00");
    op.messages.clear();
    verify_command(ctx);
    EXPECT_EQ(op.texts(), Strings{"Error in verification\r\nID3error\r\nGood:02\r\nBad:FF\r\n"
                                  "FUSES error at FUSE1\r\nGood:3F7F\r\nBad:3FFF\r\n"
                                  "ROM error at address 0x0005\r\nGood:0000\r\nBad:3FFF\r\n"
                                  "EEPROM error at address 0x0009\r\nGood:00\r\nBad:FF"});
    expect_closed();
}

// Program then read back into an empty buffer: every cell, the ID and the configuration words
// arrive as they were.
TEST_F(ProgramTest, ProgramThenReadGivesTheSameBuffer) {
    ready();
    for (const char* name : {"10F200", "16F877A", "12F629", "18F452", "24xx02", "93xx46(16bit)"}) {
        SCOPED_TRACE(name);
        use_chip(name);
        const bool eeprom_chip = chip.is_serial_eeprom();
        for (Flag* f : {&blank, &erase, &wr_ee, &wr_id})
            f->checked = !eeprom_chip;
        fill_buffer();
        op.messages.clear();
        program_command(ctx);
        EXPECT_EQ(state.lab_error.get(), "Fail:0000") << testing::PrintToString(op.texts());
        settle();
        const std::string rom = rom_image(ctx);
        const std::string eeprom = buffer.buffer_eeprom();
        const std::string id = buffer.lab_id1.get();
        std::vector<std::string> fuses;
        for (int k = 1; k <= 7; ++k)
            fuses.push_back(buffer.lab_fuse(k).get());
        buffer.clrbuffer(chip);
        read_command(ctx);
        settle();
        EXPECT_EQ(buffer.buffer_rom(), rom);
        EXPECT_EQ(buffer.buffer_eeprom(), eeprom);
        if (eeprom_chip)
            continue;
        EXPECT_EQ(buffer.lab_id1.get(), id);
        for (int k = 1; k <= chip.FuseWordCount; ++k)
            EXPECT_EQ(buffer.lab_fuse(k).get(), fuses[k - 1]) << k;
        op.messages.clear();
        verify_command(ctx);
        EXPECT_EQ(op.texts(), Strings{texts::kVerifyComplete});
        settle();
    }
}

} // namespace
} // namespace zz::test
