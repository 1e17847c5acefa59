// The buffer edit dialog's rules: cell keys, fills with their checks in order, OK's validation,
// and a buffer that changes only through a successful OK.
#include "base/hex_text.h"
#include "base/virtual_loop.h"
#include "device/chip_database.h"
#include "dialogs/edit/edit_command.h"
#include "dialogs/edit/edit_model.h"
#include "dialogs/edit/edit_texts.h"
#include "dialogs/hex_entry.h"
#include "files/checksum.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

#include <memory>

namespace zz::test {
namespace {

using Strings = std::vector<std::string>;

class EditModelTest : public ::testing::Test {
protected:
    EditModel& open(const std::string& name) {
        chip = ChipDatabase(ZZ_SOURCE_DIR "/data").load(3, name, ChipParams{});
        buffer.clrbuffer(chip);
        model = std::make_unique<EditModel>(chip, buffer, op);
        return *model;
    }

    // Types `keys` into cell (row, column) after selecting it.
    std::string type(EditGrid& grid, int row, int column, std::string_view keys) {
        EXPECT_TRUE(grid.select(row, column));
        for (char key : keys)
            grid.key(key);
        return std::string(grid.text(row, column));
    }

    void set_fields(FillField first, const char* start, const char* end, const char* value) {
        const auto at = [first](int k) {
            return static_cast<FillField>(static_cast<int>(first) + k);
        };
        ASSERT_TRUE(model->set_field(at(0), start));
        ASSERT_TRUE(model->set_field(at(1), end));
        ASSERT_TRUE(model->set_field(at(2), value));
    }

    // Everything the buffer holds, cell by cell with the printable views and the labels.
    std::string snapshot() const {
        std::string all;
        for (int row = 0; row < buffer.row_count(); ++row)
            for (int column = 0; column < Buffer::kColumnCount; ++column)
                all += buffer.grid_text(row, column) + "|";
        for (int n = 1; n <= 7; ++n)
            all += buffer.lab_fuse(n).get();
        return all + buffer.lab_id1.get() + buffer.lab_cal.get() + buffer.lab_band.get();
    }

    VirtualLoop loop;
    RecordingOperator op{loop};
    ChipParams chip;
    Buffer buffer;
    std::unique_ptr<EditModel> model;
    Value<bool> busy{false};
};

TEST_F(EditModelTest, CellKeysAfterASelection) {
    struct Case {
        const char* keys;
        const char* cell; // starting from the blank 3FFF
    };
    const Case cases[] = {
        {"x", ""},          // the first key empties the cell, and a non-hex key enters nothing
        {"\b", ""},         // so does backspace
        {"a1", "A1"},       // lower case becomes upper case
        {"123456", "1234"}, // four digits fill a word cell
        {"12G3", "123"},    // any other key is swallowed
        {"3FFF\b\b", "3F"},
    };
    for (const Case& c : cases) {
        EditGrid& grid = open("16F877A").rom_grid();
        EXPECT_EQ(type(grid, 2, 3, c.keys), c.cell) << c.keys;
        EXPECT_FALSE(grid.fresh());
    }
    EditGrid& eeprom = open("16F877A").eeprom_grid();
    EXPECT_EQ(type(eeprom, 0, 8, "ABC"), "AB");
    EditGrid& bytes = open("24xx01").rom_grid();
    EXPECT_EQ(type(bytes, 0, 1, "123"), "12");
}

TEST_F(EditModelTest, OnlyANewSelectionEmptiesTheCellAgain) {
    EditGrid& grid = open("16F877A").rom_grid();
    // At opening the first cell is selected without a fresh selection.
    EXPECT_FALSE(grid.fresh());
    EXPECT_FALSE(grid.key('1')); // full
    EXPECT_TRUE(grid.key(kBackspace));
    EXPECT_EQ(grid.text(0, 1), "3FF");
    EXPECT_EQ(type(grid, 0, 1, "12"), "12");
    grid.key('3');
    EXPECT_EQ(grid.text(0, 1), "123");
    EXPECT_EQ(type(grid, 0, 1, "4"), "4");
    EXPECT_FALSE(grid.select(0, 0)); // the address column is never edited
    EXPECT_FALSE(grid.key('5'));     // and keys there reach no cell
    EXPECT_EQ(grid.text(0, 1), "4");
    EXPECT_FALSE(grid.select(1024, 1));
    EXPECT_EQ(grid.text(1, 0), "0008:");
    EXPECT_EQ(grid.rows(), 1024);
}

struct FillCase {
    const char* chip;
    bool eeprom;
    const char* start;
    const char* end;
    const char* value;
    const char* message; // nullptr: filled
};

class EditFillTest : public EditModelTest, public ::testing::WithParamInterface<FillCase> {};

TEST_P(EditFillTest, ChecksRunInOrder) {
    const FillCase& c = GetParam();
    open(c.chip);
    set_fields(c.eeprom ? FillField::eeprom_start : FillField::rom_start, c.start, c.end, c.value);
    const bool filled = c.eeprom ? model->eeprom_fill() : model->rom_fill();
    EXPECT_EQ(filled, c.message == nullptr);
    EXPECT_EQ(op.texts(), c.message ? Strings{c.message} : Strings{});
    if (c.message) {
        EXPECT_EQ(op.messages[0].caption, "Error");
    }
}

// 16F877A: ROMsize 8192 (0x2000) words, EEPROMsize 256 bytes; 24xx01: 128 bytes of ROM.
INSTANTIATE_TEST_SUITE_P(
    RomAndEeprom, EditFillTest,
    ::testing::Values(FillCase{"16F877A", false, "", "", "", texts::kStartBlank},
                      FillCase{"16F877A", false, "0", "", "", texts::kEndBlank},
                      FillCase{"16F877A", false, "0", "7", "", texts::kRomValueEmpty},
                      FillCase{"16F877A", false, "2000", "1", "3FF", texts::kRomValueWords},
                      FillCase{"16F877A", false, "2000", "0", "3FFF", texts::kRomStartBeyond},
                      FillCase{"16F877A", false, "0", "2000", "3FFF", texts::kRomEndBeyond},
                      FillCase{"16F877A", false, "8", "7", "3FFF", texts::kStartAfterEnd},
                      FillCase{"16F877A", false, "0", "1FFF", "3FFF", nullptr},
                      FillCase{"24xx01", false, "0", "7", "F", texts::kRomValueBytes},
                      FillCase{"24xx01", false, "0", "80", "FF", texts::kRomEndBeyond},
                      FillCase{"24xx01", false, "0", "7F", "00", nullptr},
                      FillCase{"16F877A", true, "", "", "", texts::kStartBlank},
                      FillCase{"16F877A", true, "0", "", "", texts::kEndBlank},
                      FillCase{"16F877A", true, "0", "1", "", texts::kEepromValueEmpty},
                      FillCase{"16F877A", true, "100", "0", "A", texts::kEepromValueBytes},
                      FillCase{"16F877A", true, "100", "0", "AA", texts::kEepromStartBeyond},
                      FillCase{"16F877A", true, "0", "100", "AA", texts::kEepromEndBeyond},
                      FillCase{"16F877A", true, "5", "4", "AA", texts::kStartAfterEnd},
                      FillCase{"16F877A", true, "FF", "FF", "AA", nullptr}));

TEST_F(EditModelTest, FillFieldsTakeAsManyDigitsAsTheirMemoryNeeds) {
    open("16F877A");
    EXPECT_FALSE(model->set_field(FillField::rom_start, "12345"));
    EXPECT_FALSE(model->set_field(FillField::rom_value, "3FFFF"));
    EXPECT_FALSE(model->set_field(FillField::eeprom_value, "ABC"));
    EXPECT_FALSE(model->set_field(FillField::rom_end, "1x"));
    EXPECT_TRUE(model->set_field(FillField::rom_end, "1fff"));
    EXPECT_EQ(model->field(FillField::rom_end), "1FFF");
    // 128K bytes: the upper half needs a fifth digit.
    open("24xx1024");
    EXPECT_FALSE(model->set_field(FillField::rom_value, "FFF"));
    set_fields(FillField::rom_start, "1FFF8", "1FFFF", "5A");
    ASSERT_TRUE(model->rom_fill());
    EXPECT_EQ(model->rom_grid().text(16383, 8), "5A");
    EXPECT_EQ(model->rom_grid().text(16383, 0), "1FFF8:");
}

TEST_F(EditModelTest, OkDropsBitsAboveTheCoresWordWidth) {
    open("16F877A"); // ROMblank 3FFF
    type(model->rom_grid(), 0, 2, "FFFF");
    type(model->eeprom_grid(), 1, 1, "5a");
    ASSERT_TRUE(model->ok());
    take_edited_images(chip, buffer);
    EXPECT_EQ(buffer.cell(Area::rom, 1), "3FFF");
    EXPECT_EQ(buffer.cell(Area::eeprom, 8), "5A");
    EXPECT_EQ(buffer.lab_checksum.get(), "Checksum 0x" + to_hex(buffer_checksum(chip, buffer), 4));
}

TEST_F(EditModelTest, IncompleteCellsRefuseOkAndLeaveNothingBehind) {
    struct Case {
        const char* chip;
        bool eeprom;
        const char* keys;
    };
    const Case cases[] = {
        {"16F877A", false, "3FF"}, // a word of three digits
        {"16F877A", false, ""},    // an emptied cell
        {"24xx01", false, "F"},    // a byte of one digit
        {"16F877A", true, "A"},    // an EEPROM byte after the program area passed
    };
    for (const Case& c : cases) {
        open(c.chip);
        const std::string before = snapshot();
        EditGrid& grid = c.eeprom ? model->eeprom_grid() : model->rom_grid();
        grid.select(3, 4);
        grid.key('x'); // empties the cell
        for (const char* k = c.keys; *k; ++k)
            grid.key(*k);
        op.messages.clear();
        EXPECT_FALSE(model->ok()) << c.keys;
        EXPECT_EQ(op.texts(), Strings{texts::kInsufficientData});
        EXPECT_TRUE(buffer.RomImageText.empty());
        EXPECT_TRUE(buffer.EepromImageText.empty());
        // The operator gives up: Cancel takes nothing over.
        take_edited_images(chip, buffer);
        EXPECT_EQ(snapshot(), before) << c.chip << " " << c.keys;
    }
}

TEST_F(EditModelTest, CancelAfterManyEditsLeavesTheBufferByteForByte) {
    open("16F877A");
    for (std::size_t i = 0; i < buffer.cell_count(Area::rom); i += 7)
        buffer.set_cell_and_view(Area::rom, i, to_hex(static_cast<std::uint32_t>(i & 0x3FFF), 4));
    buffer.set_cell_and_view(Area::eeprom, 17, "C3");
    buffer.lab_fuse(1) = "0x3F3A";
    model = std::make_unique<EditModel>(chip, buffer, op);
    const std::string before = snapshot();
    buffer.lab_checksum = "Checksum 0x????";

    edit_buffer_command(busy, chip, buffer, [&] {
        set_fields(FillField::rom_start, "0", "1FFF", "0000");
        ASSERT_TRUE(model->rom_fill());
        set_fields(FillField::eeprom_start, "0", "FF", "11");
        ASSERT_TRUE(model->eeprom_fill());
        for (int row = 0; row < 200; ++row)
            type(model->rom_grid(), row, 1 + row % 8, "2A5");
        type(model->eeprom_grid(), 2, 2, "9");
        EXPECT_FALSE(model->ok()); // the incomplete cells refuse it; then Cancel
    });
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(buffer.lab_checksum.get(), "Checksum 0x" + to_hex(buffer_checksum(chip, buffer), 4));
}

} // namespace
} // namespace zz::test
