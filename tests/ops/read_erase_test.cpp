#include "link/link_texts.h"
#include "ops/chip_commands.h"
#include "ops/chip_read.h"
#include "ops/chip_setup.h"
#include "ops/erase_blank.h"
#include "ops/ops_texts.h"
#include "ops_fixture.h"
#include "sim/board_fault.h"

#include <algorithm>

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

class ReadEraseTest : public OpsFixture {};

TEST_F(ReadEraseTest, ReadOfPicChipRunsTheListedExchangeAndFillsTheBuffer) {
    use_chip("16F877A");
    board.chip()->rom()[5] = 0x1234;
    board.chip()->eeprom()[3] = 0x5A;
    board.chip()->fuses()[0] = 0x3F20;
    board.chip()->id() = {1, 2, 3, 4, 0xFF, 0xFF, 0xFF, 0xFF};
    ready();
    read_command(ctx);
    EXPECT_EQ(sent(), (kIdCheck + kInfo + Strings{"04", "0C", "05", "04", "0B", "05", "01"}));
    EXPECT_EQ(buffer.cell(Area::rom, 5), "1234");
    EXPECT_EQ(buffer.cell(Area::eeprom, 3), "5A");
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x3F20");
    EXPECT_EQ(buffer.lab_fuse(2).get(), "0xFFFF"); // one word: the others stay untouched
    EXPECT_EQ(buffer.lab_id1.get(), "0x01020304");
    EXPECT_EQ(link.status.Label11.get(), "Ready");
    expect_closed();
}

TEST_F(ReadEraseTest, ReadOfSerialEepromReadsOnlyTheRomStream) {
    ready();
    for (const char* name : {"24xx02", "93xx46(16bit)"}) {
        use_chip(name);
        board.chip()->rom()[1] = 0x00AB;
        exchange.clear();
        read_command(ctx);
        settle();
        EXPECT_EQ(sent(), (kIdCheck + Strings{"04", "0B", "05", "01"})) << name;
        EXPECT_EQ(buffer.cell(Area::rom, 1), chip.CHIPbit == 4 ? "AB" : "00AB") << name;
    }
}

// Every exchange of a Read fails once, by silence and by a wrong answer: the buffer and labels stay
// as they were and the operation is closed.
TEST_F(ReadEraseTest, FailedReadLeavesBufferUnchanged) {
    use_chip("16F877A");
    board.chip()->rom()[0] = 0x0123;
    ready();
    buffer.set_cell_and_view(Area::rom, 0, "2222");
    buffer.lab_fuse(1) = "0x1111";
    const std::vector<std::pair<int, int>> exchanges = {
        {0x03, 1}, {0x04, 1}, {0x0D, 1}, {0x05, 1}, {0x04, 2}, {0x0D, 2}, {0x05, 2},
        {0x04, 3}, {0x0C, 1}, {0x05, 3}, {0x04, 4}, {0x0B, 1}, {0x05, 4}};
    for (const auto& [code, occurrence] : exchanges) {
        for (bool silent : {true, false}) {
            board.clear_faults();
            board.add_fault(silent ? Fault::silent(code, occurrence)
                                   : Fault::reply(code, {0x41}, occurrence));
            op.messages.clear();
            read_command(ctx);
            SCOPED_TRACE(testing::Message() << "command " << code << " #" << occurrence);
            EXPECT_EQ(buffer.cell(Area::rom, 0), "2222");
            EXPECT_EQ(buffer.lab_fuse(1).get(), "0x1111");
            ASSERT_FALSE(op.messages.empty());
            EXPECT_EQ(op.messages.front().text, texts::kReceiveError);
            expect_closed();
            settle();
            ASSERT_TRUE(link.BoardReady.get());
        }
    }
    board.clear_faults();
    read_command(ctx);
    EXPECT_EQ(buffer.cell(Area::rom, 0), "0123");
}

TEST_F(ReadEraseTest, StreamPausingOverOneSecondFails) {
    use_chip("16F877A");
    ready();
    board.add_fault(Fault::split(0x0B, {100, 100}, {1001}));
    read_command(ctx);
    EXPECT_EQ(op.texts(), Strings{texts::kReceiveError});
    EXPECT_EQ(buffer.cell(Area::rom, 0), "3FFF");
    expect_closed();
}

TEST_F(ReadEraseTest, DeviceIdCheck) {
    struct Case {
        int revision;
        std::string chip_id;
        bool n32;
        std::vector<bool> answers;
        bool go_on;
        int questions;
    };
    const std::vector<Case> cases = {
        {4, "200E", false, {}, true, 0},       // revision masked away
        {0, "200F", false, {true}, true, 1},   // differs, Yes
        {0, "200F", false, {false}, false, 1}, // differs, No
        {0, "200F", true, {}, true, 0},        // N32: no check
    };
    ready();
    for (const Case& c : cases) {
        use_chip("16F877A", ChipFacts{.revision = c.revision});
        chip.ChipID = c.chip_id;
        N32.checked = c.n32;
        op.questions.clear();
        op.answers.assign(c.answers.begin(), c.answers.end());
        link.CollectReplies = true;
        EXPECT_EQ(write_chip_message(ctx), c.go_on) << c.chip_id;
        link.CollectReplies = false;
        ASSERT_EQ(op.questions.size(), static_cast<std::size_t>(c.questions));
        if (c.questions) {
            EXPECT_EQ(op.questions[0].text, "Invalid target device ID\r\nexpected:200Fread:200E\r\n"
                                            "Continue to program this chip?");
        }
    }
}

TEST_F(ReadEraseTest, DeviceIdQuestionNoEndsReadBeforeAnyMemoryIsRead) {
    use_chip("16F877A");
    chip.ChipID = "200F";
    link.ProgrammerModel = 4;
    board.set_model(4);
    ready();
    read_command(ctx);
    ASSERT_EQ(op.questions.size(), 1u);
    EXPECT_TRUE(op.questions[0].text.ends_with("3.Programer jumper J5/6/7/8 position"));
    const Strings s = sent();
    EXPECT_EQ(std::count(s.begin(), s.end(), "0B"), 0);
    expect_closed();
}

TEST_F(ReadEraseTest, ReadCalAndBandgap) {
    use_chip("12F629", ChipFacts{.osccal = 0x80, .bandgap = 1});
    ready();
    EXPECT_EQ(read_cal(ctx), "3480");
    EXPECT_EQ(read_bandgap(ctx), "11FF");
    link.CollectReplies = false;
    use_chip("10F200", ChipFacts{.osccal = 0x80});
    EXPECT_EQ(read_cal(ctx), "0C80");
}

TEST_F(ReadEraseTest, EraseOfCalwordChipRestoresCalibrationAndBandgap) {
    use_chip("12F629", ChipFacts{.osccal = 0x80, .bandgap = 1});
    board.chip()->rom()[0] = 0x0000;
    ready();
    buffer.lab_fuse(1) = "0x31C4";
    erase_command(ctx);
    EXPECT_EQ(sent(), (kIdCheck + Strings{"03"} + kInfo + kInfo +
                       Strings{"04", "0E", "05", "04", "0A348011FF", "05"} + kInfo +
                       Strings{"04", "0F3F", "05", "04", "10", "05", "01"}));
    EXPECT_EQ(op.texts(), Strings{texts::kEraseComplete});
    EXPECT_EQ(buffer.lab_band.get(), "BandGap  01");
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x11C4");
    EXPECT_EQ(buffer.lab_cal.get(), "OSCCAL   0x3480");
    EXPECT_EQ(buffer.cell(Area::rom, 1023), "3480");
    EXPECT_EQ(board.chip()->rom()[1023], 0x3480);
    EXPECT_EQ(board.chip()->fuses()[0], 0x11FF);
    expect_closed();
}

TEST_F(ReadEraseTest, EraseWithoutPreservationSendsNoCalibrationWrite) {
    use_chip("12F629");
    n_calchip.checked = false;
    ready();
    erase_command(ctx);
    EXPECT_EQ(sent(), (kIdCheck + kInfo + Strings{"04", "0E", "05"} + kInfo +
                       Strings{"04", "0F3F", "05", "04", "10", "05", "01"}));
    // The calibration word is lost with the erase.
    EXPECT_EQ(board.chip()->rom()[1023], 0x3FFF);
    EXPECT_EQ(op.texts(), Strings{texts::kEraseComplete});
}

TEST_F(ReadEraseTest, CalibrationWriteRefusedReportsOsccalError) {
    use_chip("12F629");
    ready();
    board.add_fault(Fault::reply(0x0A, {0x46}));
    erase_command(ctx);
    EXPECT_EQ(op.texts(), Strings{texts::kOsccalError});
    expect_closed();
}

// A freshly bulk-erased chip of every core counts as erased.
TEST_F(ReadEraseTest, EraseThenBlankCheckJudgesEveryCoreErased) {
    ready();
    for (const char* name : {"10F200", "12F629", "16F877A", "18F452", "16F628A", "12F675"}) {
        use_chip(name);
        board.chip()->fuses()[0] = 0;
        board.chip()->id()[0] = 0;
        op.messages.clear();
        erase_command(ctx);
        settle();
        EXPECT_EQ(op.texts(), Strings{texts::kEraseComplete}) << name;
    }
}

TEST_F(ReadEraseTest, BlankCheckReport) {
    use_chip("12F629");
    ready();
    blank_check_command(ctx);
    // Right after start-up no calibration value has been read.
    EXPECT_EQ(op.texts(), Strings{"   ID=Erased  \r\n   config=Erased  \r\n"
                                  "   ROM=Erased(except calibration ROM)  \r\n"
                                  "   EEPROM=Erased  "});
    settle();
    board.chip()->eeprom()[0] = 0;
    board.chip()->rom()[0] = 0;
    board.chip()->fuses()[0] = 0x3000;
    board.chip()->id()[7] = 0; // no ID data on a 14-bit chip, but it must read FFh too
    op.messages.clear();
    blank_check_command(ctx);
    EXPECT_EQ(op.texts(), Strings{"   ID=Not Erased  \r\n   config=Not Erased  \r\n"
                                  "   ROM=Not Erased  \r\n   EEPROM=Not Erased  "});
}

TEST_F(ReadEraseTest, BlankRomStream) {
    struct Case {
        std::vector<std::uint8_t> reply;
        bool ok;
        bool erased;
    };
    const std::vector<Case> cases = {{{0x42, 0x42, 0x42, 0x59}, true, true},
                                     {{0x42, 0x4E}, true, false},
                                     {{0x43}, true, true},
                                     {{0x42, 0x41}, false, true}};
    use_chip("16F877A");
    ready();
    for (const Case& c : cases) {
        board.clear_faults();
        board.add_fault(Fault::reply(0x0F, c.reply));
        op.messages.clear();
        link.CollectReplies = true;
        EXPECT_EQ(blank_rom(ctx), c.ok);
        EXPECT_EQ(state.RomErased, c.erased);
        link.CollectReplies = false;
        loop.run_for(200);
    }
}

TEST_F(ReadEraseTest, ConfigVerdictMasksByFuseBlank) {
    use_chip("16F877A");
    // Configuration word 1 low byte first in digits 17-20.
    const std::string ids(16, 'F');
    EXPECT_TRUE(config_erased(chip, ids + "FF3F" + std::string(24, '0')));
    EXPECT_TRUE(config_erased(chip, ids + "FFFF"));
    EXPECT_FALSE(config_erased(chip, ids + "FF1F"));
    use_chip("12F629"); // BandGap bits do not count
    EXPECT_TRUE(config_erased(chip, ids + "FF01"));
    EXPECT_FALSE(config_erased(chip, ids + "FE31"));
}

} // namespace
} // namespace zz::test
