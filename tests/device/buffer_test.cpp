#include "device/buffer.h"

#include "device/printable_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zz {
namespace {

ChipParams chip_with(std::int64_t rom, std::int32_t eeprom, int chip_bit, const char* blank) {
    ChipParams chip;
    chip.ROMsize = rom;
    chip.EEPROMsize = eeprom;
    chip.CHIPbit = chip_bit;
    chip.ROMblank = blank;
    return chip;
}

// A grid row as "c0|c1|...|c18".
std::string row_text(const Buffer& b, int row) {
    std::string out = b.grid_text(row, 0);
    for (int c = 1; c < Buffer::kColumnCount; ++c)
        out += "|" + b.grid_text(row, c);
    return out;
}

TEST(Buffer, Blank14BitChipWithEeprom) {
    Buffer b;
    b.clrbuffer(chip_with(8192, 256, 2, "3FFF"));
    EXPECT_EQ(b.row_count(), 1058);
    EXPECT_EQ(row_text(b, 0), "|----|ROM|DATA|----||||||||||||||");
    EXPECT_EQ(row_text(b, 2),
              "0008:|3FFF|3FFF|3FFF|3FFF|3FFF|3FFF|3FFF|3FFF||?.|?.|?.|?.|?.|?.|?.|?.|");
    EXPECT_EQ(b.grid_text(1024, 0), "1FF8:");
    EXPECT_EQ(row_text(b, 1025), "|----|EEROM|DATA|----||||||||||||||");
    EXPECT_EQ(row_text(b, 1026), "0000:|FF|FF|FF|FF|FF|FF|FF|FF||.|.|.|.|.|.|.|.|");
    EXPECT_EQ(b.grid_text(1057, 0), "00F8:");
    EXPECT_EQ(row_text(b, 1058), "||||||||||||||||||");
    EXPECT_EQ(b.grid_text(-1, 1), "");
    EXPECT_EQ(b.grid_text(1, 19), "");

    std::string rom;
    for (int i = 0; i < 8192; ++i)
        rom += "3FFF";
    EXPECT_EQ(b.buffer_rom(), rom);
    EXPECT_EQ(b.buffer_eeprom(), std::string(512, 'F'));
}

struct ShapeCase {
    std::int64_t rom;
    std::int32_t eeprom;
    int rows;
    std::size_t eeprom_text;
};

TEST(Buffer, RowCountAndEepromImageBySize) {
    const ShapeCase cases[] = {
        {1024, 0, 129, 0},   // no EEPROM: no header row
        {1024, 4, 130, 0},   // EEPROM header but no data rows
        {1024, 12, 131, 16}, // remainder not represented
        {1027, 8, 131, 16},
        {-8, -16, 2, 0},                              // damaged sizes hold nothing
        {std::int64_t{1} << 40, 0, (1 << 17) + 1, 0}, // capped
    };
    for (const auto& c : cases) {
        Buffer b;
        b.clrbuffer(chip_with(c.rom, c.eeprom, 2, "3FFF"));
        EXPECT_EQ(b.row_count(), c.rows) << c.rom << "/" << c.eeprom;
        EXPECT_EQ(b.buffer_eeprom().size(), c.eeprom_text) << c.rom << "/" << c.eeprom;
    }
}

TEST(Buffer, BlankPrintableTextFollowsChipBit) {
    const struct {
        int chip_bit;
        const char* blank;
        const char* view;
    } cases[] = {
        {1, "0FFF", ".."}, {2, "3FFF", "?."}, {3, "FFFF", ".."}, {4, "FF", "."}, {5, "FFFF", ".."}};
    for (const auto& c : cases) {
        Buffer b;
        b.clrbuffer(chip_with(16, 8, c.chip_bit, c.blank));
        EXPECT_EQ(b.grid_text(1, 1), c.blank);
        EXPECT_EQ(b.grid_text(1, 10), c.view);
        EXPECT_EQ(b.grid_text(4, 17), "."); // EEPROM rows
    }
}

TEST(Buffer, AddressLabelsGrowPastFourDigits) {
    Buffer b;
    b.clrbuffer(chip_with(131072, 0, 4, "FF"));
    EXPECT_EQ(b.grid_text(16384, 0), "1FFF8:");
    EXPECT_EQ(b.buffer_rom().size(), 262144u);
}

TEST(Buffer, ImageTextsMoveIntoTheCellsAndEmpty) {
    Buffer b;
    b.clrbuffer(chip_with(16, 16, 2, "3FFF"));
    b.RomImageText = "41420D0A7E7F2020";
    for (int i = 0; i < 20; ++i)
        b.RomImageText += "0001"; // more groups than cells: ignored
    b.str_rom_to_buffer();
    EXPECT_TRUE(b.RomImageText.empty());
    EXPECT_EQ(b.cell(Area::rom, 0), "4142");
    EXPECT_EQ(b.view(Area::rom, 0), "AB");
    EXPECT_EQ(b.view(Area::rom, 1), "..");
    EXPECT_EQ(b.view(Area::rom, 2), "~.");
    EXPECT_EQ(b.view(Area::rom, 3), "  ");
    EXPECT_EQ(b.cell(Area::rom, 15), "0001");
    EXPECT_EQ(b.buffer_rom().size(), 64u);

    b.EepromImageText = "4120";
    b.str_eeprom_to_buffer();
    EXPECT_TRUE(b.EepromImageText.empty());
    EXPECT_EQ(b.buffer_eeprom(), "4120" + std::string(28, 'F'));
    EXPECT_EQ(b.grid_text(4, 10), "A");
    EXPECT_EQ(b.grid_text(4, 11), " ");
}

TEST(Buffer, ByteChipsSplitTheImageIntoPairs) {
    Buffer b;
    b.clrbuffer(chip_with(16, 0, 4, "FF"));
    b.RomImageText = "4142";
    b.str_rom_to_buffer();
    EXPECT_EQ(b.buffer_rom(), "4142" + std::string(28, 'F'));
    EXPECT_EQ(b.grid_text(1, 10), "A");
    EXPECT_EQ(b.grid_text(1, 11), "B");
}

// Cells keep whatever text they are given, so a malformed cell reads back as it was written.
TEST(Buffer, CellsOfAnyLengthKeepTheirText) {
    Buffer b;
    b.clrbuffer(chip_with(16, 8, 2, "3FFF"));
    b.set_cell(Area::rom, 1, "3FF");
    b.set_cell(Area::rom, 2, "12345");
    b.set_cell(Area::rom, 3, "zz!!");
    b.set_cell(Area::rom, 16, "0000"); // past the end: ignored
    b.set_cell(Area::eeprom, 7, "");
    EXPECT_EQ(b.buffer_rom().substr(0, 20), "3FFF3FF12345zz!!3FFF");
    EXPECT_EQ(b.buffer_rom().size(), 64u); // one digit short, one too many
    EXPECT_EQ(b.buffer_eeprom(), std::string(14, 'F'));
    b.set_cell(Area::rom, 1, "0001"); // back to the usual width
    EXPECT_EQ(b.buffer_rom().substr(0, 8), "3FFF0001");
    EXPECT_EQ(b.view(Area::rom, 1), "?."); // the view is a separate text
    b.set_view(Area::rom, 1, "xy");
    EXPECT_EQ(b.grid_text(1, 11), "xy");

    b.clrbuffer(chip_with(16, 0, 2, "")); // a database without ROMblank text
    EXPECT_EQ(b.buffer_rom(), "");
    b.set_cell_and_view(Area::rom, 0, "3FFF");
    EXPECT_EQ(b.buffer_rom(), "3FFF");
    EXPECT_EQ(b.view(Area::rom, 0), "?.");
}

TEST(Buffer, ReportsChangedRowsAndClearsSerialNumbersOnBlanking) {
    Buffer b;
    std::vector<BufferChange> changes;
    b.observe([&](const BufferChange& c) { changes.push_back(c); });
    b.clrbuffer(chip_with(64, 16, 2, "3FFF"));
    b.set_cell(Area::rom, 9, "0000");
    b.set_cell_and_view(Area::eeprom, 8, "00");
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_TRUE(changes[0].layout);
    EXPECT_EQ(changes[0].last_row, 11);
    EXPECT_EQ(changes[1].first_row, 2);
    EXPECT_EQ(changes[2].first_row, 11);
    EXPECT_EQ(b.version(), 3u + 1u); // the constructor blanked once

    b.SerialNumberEnabled = true;
    b.clrbuffer(chip_with(64, 16, 2, "3FFF"));
    EXPECT_FALSE(b.SerialNumberEnabled.get());
}

TEST(PrintableView, ShowsPrintableBytesAndDotsOtherwise) {
    const struct {
        const char* hex;
        const char* four;
        const char* two;
    } cases[] = {
        {"4142", "AB", "A"}, {"3FFF", "?.", "?"}, {"0D0A", "..", "."},
        {"7E7F", "~.", "~"}, {"2020", "  ", " "}, {"1F80", "..", "."},
        {"414", "A.", "A"},  {"4", "..", "."},    {"", "..", "."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(showchar4bit(c.hex), c.four) << c.hex;
        EXPECT_EQ(showchar2bit(c.hex), c.two) << c.hex;
    }
}

} // namespace
} // namespace zz
