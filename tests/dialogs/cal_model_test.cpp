// The calibration dialog's rules on a virtual board: reading the values, checking and writing
// them, and the frame around the dialog.
#include "base/hex_text.h"
#include "dialogs/cal/cal_command.h"
#include "dialogs/cal/cal_model.h"
#include "dialogs/cal/cal_texts.h"
#include "files/checksum.h"
#include "link/link_texts.h"
#include "ops/ops_fixture.h"
#include "sim/board_fault.h"

#include <gmock/gmock.h>

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

class CalModelTest : public OpsFixture {
protected:
    CalModel open(const std::string& name, ChipFacts facts = {}) {
        use_chip(name, facts);
        return CalModel(ctx);
    }
};

struct OkCase {
    const char* chip;
    const char* typed; // into Edit1
    std::size_t last_cell;
    const char* word;
    const char* view; // the printable form beside it
};

TEST_F(CalModelTest, OkWritesTheWordIntoTheLastProgramCellAndTheLabel) {
    const OkCase cases[] = {
        {"12F629", "A0", 1023, "34A0", "4."}, // 14-bit core, ROMsize 1024: row 128, column 8
        {"12F629", "", 1023, "34FF", "4."},   // an empty field writes the blank low byte
        {"10F200", "4b", 255, "0C4B", ".K"},  // 12-bit core; typed lower case
    };
    for (const OkCase& c : cases) {
        CalModel model = open(c.chip);
        ASSERT_TRUE(model.set_osccal(c.typed)) << c.typed;
        ASSERT_TRUE(model.ok());
        EXPECT_EQ(buffer.cell(Area::rom, c.last_cell), c.word) << c.chip;
        EXPECT_EQ(buffer.view(Area::rom, c.last_cell), c.view) << c.chip;
        EXPECT_EQ(buffer.cell(Area::rom, c.last_cell - 1), chip.ROMblank) << c.chip;
        EXPECT_EQ(buffer.lab_cal.get(), std::string("OSCCAL   0x") + c.word);
        // The chip's own word, as last read, stays what a preserving write puts back.
        EXPECT_EQ(buffer.SavedOsccal, "00");
        EXPECT_TRUE(op.messages.empty());
    }
}

TEST_F(CalModelTest, BandgapGoesIntoConfigurationWordOneOnlyOnChipsThatHaveIt) {
    CalModel with = open("12F629");
    EXPECT_TRUE(with.bandgap_enabled());
    EXPECT_EQ(with.Edit2.get(), "11");
    buffer.lab_fuse(1) = "0x3FFF";
    calc_checksum(chip, buffer);
    const std::string before = buffer.lab_checksum.get();
    ASSERT_TRUE(with.set_bandgap("01"));
    ASSERT_TRUE(with.ok());
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x1FFF");
    EXPECT_EQ(buffer.lab_band.get(), "BandGap  01");
    // Configuration word 1 counts in the checksum, which follows it.
    EXPECT_NE(buffer.lab_checksum.get(), before);
    EXPECT_EQ(buffer.lab_checksum.get(), "Checksum 0x" + to_hex(buffer_checksum(chip, buffer), 4));

    CalModel without = open("10F200");
    EXPECT_FALSE(without.bandgap_enabled());
    buffer.lab_fuse(1) = "0x0FFF";
    buffer.lab_band = "BandGap   11";
    ASSERT_TRUE(without.ok());
    EXPECT_EQ(buffer.lab_fuse(1).get(), "0x0FFF");
    EXPECT_EQ(buffer.lab_band.get(), "BandGap   11");
}

TEST_F(CalModelTest, FieldsTakeOnlyWhatTheirKeysLetThrough) {
    CalModel model = open("12F629");
    EXPECT_TRUE(model.set_osccal("c4"));
    EXPECT_EQ(model.Edit1.get(), "C4");
    for (const char* refused : {"G", "123", " 1", "0x"})
        EXPECT_FALSE(model.set_osccal(refused)) << refused;
    EXPECT_EQ(model.Edit1.get(), "C4");
    EXPECT_TRUE(model.set_bandgap("10"));
    for (const char* refused : {"12", "2", "011", "a"})
        EXPECT_FALSE(model.set_bandgap(refused)) << refused;
    EXPECT_EQ(model.Edit2.get(), "10");
}

TEST_F(CalModelTest, HalfTypedValuesAreRefusedAndNothingIsWritten) {
    struct Case {
        const char* osccal;
        const char* bandgap;
        const char* message;
    };
    const Case cases[] = {
        {"A", "10", texts::kOsccalDigits},
        {"A0", "1", texts::kBandgapDigits},
        {"A0", "", texts::kBandgapDigits},
    };
    for (const Case& c : cases) {
        CalModel model = open("12F629");
        buffer.lab_fuse(1) = "0x31FF";
        ASSERT_TRUE(model.set_osccal(c.osccal));
        ASSERT_TRUE(model.set_bandgap(c.bandgap));
        op.messages.clear();
        EXPECT_FALSE(model.ok());
        ASSERT_EQ(op.texts(), Strings{c.message});
        EXPECT_EQ(op.messages[0].caption, "Error");
        EXPECT_EQ(buffer.cell(Area::rom, 1023), "3FFF");
        EXPECT_EQ(buffer.lab_fuse(1).get(), "0x31FF");
        EXPECT_EQ(buffer.lab_cal.get(), "OSCCAL    0x3FFF");
    }
}

TEST_F(CalModelTest, BandgapBitsOfTheConfigurationWord) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"0000", "00"}, {"0FFF", "00"},     {"1000", "01"},         {"2FFF", "10"},
        {"31FF", "11"}, {"3FFF", "11"},     {"4000", std::nullopt}, {"FFFF", std::nullopt},
        {"1", "00"},    {"", std::nullopt}, {"2G00", std::nullopt}, {"02FFF", std::nullopt},
    };
    for (const auto& [word, bits] : cases)
        EXPECT_EQ(bandgap_bits(word), bits) << word;
}

TEST_F(CalModelTest, ReadChipShowsTheChipsValuesAndKeepsTheReplies) {
    CalModel model = open("12F629", ChipFacts{.osccal = 0x54, .bandgap = 2});
    ready();
    EXPECT_TRUE(model.read_chip());
    EXPECT_EQ(model.Edit1.get(), "54");
    EXPECT_EQ(model.Edit2.get(), "10");
    EXPECT_EQ(model.word(), "3454");
    // Two set-ups with their information blocks, and no end of operation while the dialog is open.
    EXPECT_EQ(sent(), (Strings{"03"} + kInfo + Strings{"03"} + kInfo));
    EXPECT_FALSE(link.Busy.get());
    EXPECT_TRUE(link.CollectReplies);
    EXPECT_TRUE(op.messages.empty());
}

// Which read fails (1: the calibration value, 2: the BandGap word) and what the fields then hold.
struct ReadFailureCase {
    int failing_block;
    const char* message;
    const char* edit1;
};

class CalReadFailureTest : public CalModelTest,
                           public ::testing::WithParamInterface<ReadFailureCase> {};

TEST_P(CalReadFailureTest, KeepsWhatWasNotRead) {
    const ReadFailureCase& c = GetParam();
    CalModel model = open("12F629");
    ready();
    model.set_osccal("12");
    board.add_fault(Fault::silent(0x0D, c.failing_block));
    EXPECT_FALSE(model.read_chip());
    EXPECT_EQ(op.texts().back(), c.message);
    EXPECT_EQ(model.Edit1.get(), c.edit1);
    EXPECT_EQ(model.Edit2.get(), "11");
    EXPECT_FALSE(link.Busy.get());
}

INSTANTIATE_TEST_SUITE_P(EachRead, CalReadFailureTest,
                         ::testing::Values(ReadFailureCase{1, texts::kReadOsccalFail, "12"},
                                           ReadFailureCase{2, texts::kReadBandgapFail, "80"}));

TEST_F(CalModelTest, ReadChipDoesNothingWhileBusy) {
    CalModel model = open("12F629");
    ready();
    link.Busy = true;
    EXPECT_FALSE(model.read_chip());
    EXPECT_TRUE(board.commands().empty());
    EXPECT_EQ(model.Edit1.get(), "");
}

TEST_F(CalModelTest, FrameCollectsRepliesWhileOpenThenRestartsTheHandshake) {
    use_chip("12F629");
    ready();
    bool collecting = false;
    calib_command(link, [&] { collecting = link.CollectReplies; });
    EXPECT_TRUE(collecting);
    EXPECT_FALSE(link.CollectReplies);
    EXPECT_EQ(board.commands(), Strings{"01"});
    EXPECT_TRUE(link.Timer1.enabled());
    loop.run_for(3000); // the board answers "50": no watchdog message
    EXPECT_TRUE(op.messages.empty());

    link.Busy = true;
    bool shown = false;
    calib_command(link, [&] { shown = true; });
    EXPECT_FALSE(shown);
}

TEST_F(CalModelTest, FrameLeavesAReleasedPortAlone) {
    use_chip("12F629");
    ready();
    loop.run_for(11000); // the idle release closes the port
    ASSERT_TRUE(N18.checked.get());
    board.clear_trace();
    calib_command(link, [] {});
    loop.run_for(3000);
    EXPECT_TRUE(board.commands().empty());
    EXPECT_TRUE(op.messages.empty()) << op.messages.front().text;
    EXPECT_FALSE(link.CollectReplies);
}

} // namespace
} // namespace zz::test
