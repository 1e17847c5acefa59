#include "files/checksum.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

ChipParams chip_of(int chip_bit, std::int64_t rom, const char* blank, int fuse_words = 1) {
    ChipParams chip;
    chip.CHIPbit = chip_bit;
    chip.ROMsize = rom;
    chip.ROMblank = blank;
    chip.EEPROMsize = 64;
    chip.FuseWordCount = fuse_words;
    return chip;
}

std::string checksum_text(const ChipParams& chip, Buffer& buffer) {
    calc_checksum(chip, buffer);
    return buffer.lab_checksum.get();
}

TEST(Checksum, BlankChips) {
    ChipParams pic14 = chip_of(2, 1024, "3FFF");
    Buffer b;
    b.clrbuffer(pic14);
    b.lab_fuse(1) = "0x3FFF";
    b.lab_fuse(2) = "0x1234"; // not counted: one configuration word
    EXPECT_EQ(checksum_text(pic14, b), "Checksum 0x3BFF");
    pic14.CALword = true;
    EXPECT_EQ(checksum_text(pic14, b), "Checksum 0xFC00");

    const ChipParams pic18 = chip_of(3, 16384, "FFFF", 7);
    b.clrbuffer(pic18);
    for (int n = 1; n <= 7; ++n)
        b.lab_fuse(n) = "0xFFFF";
    EXPECT_EQ(checksum_text(pic18, b), "Checksum 0x8DF2");
}

TEST(Checksum, WhatCountsByChipBit) {
    Buffer b;
    // 14-bit with two words: both words count.
    ChipParams pic14 = chip_of(2, 8, "3FFF", 2);
    b.clrbuffer(pic14);
    b.lab_fuse(1) = "0x0001";
    b.lab_fuse(2) = "0x0002";
    EXPECT_EQ(buffer_checksum(pic14, b), (8 * 0x3FFF + 3) & 0xFFFF);
    // 12-bit OSCCAL chip: the last word stays out.
    ChipParams pic12 = chip_of(1, 8, "0FFF");
    pic12.CALword = true;
    b.clrbuffer(pic12);
    b.set_cell(Area::rom, 7, "0C25");
    b.lab_fuse(1) = "0x0FFF";
    EXPECT_EQ(buffer_checksum(pic12, b), 8 * 0x0FFF);
    // 16-bit: bytes of the words and of all seven configuration words.
    const ChipParams pic18 = chip_of(3, 8, "FFFF", 7);
    b.clrbuffer(pic18);
    b.set_cell(Area::rom, 0, "1234");
    for (int n = 1; n <= 7; ++n)
        b.lab_fuse(n) = "0x0102";
    EXPECT_EQ(buffer_checksum(pic18, b), 7 * 2 * 0xFF + 0x12 + 0x34 + 7 * 3);
    // Serial EEPROMs: cells only, no configuration words.
    const ChipParams bytes = chip_of(4, 16, "FF");
    b.clrbuffer(bytes);
    EXPECT_EQ(buffer_checksum(bytes, b), 16 * 0xFF);
    const ChipParams words = chip_of(5, 16, "FFFF");
    b.clrbuffer(words);
    EXPECT_EQ(buffer_checksum(words, b), (16 * 0xFFFF) & 0xFFFF);
}

TEST(Checksum, EepromAndIdDoNotCountAndBadTextCountsAsMinusOne) {
    const ChipParams pic14 = chip_of(2, 8, "0000");
    Buffer b;
    b.clrbuffer(pic14);
    b.lab_fuse(1) = "0x0000";
    EXPECT_EQ(buffer_checksum(pic14, b), 0);
    b.set_cell(Area::eeprom, 0, "12");
    b.lab_id1 = "0x12345678";
    b.lab_cal = "OSCCAL   0x3400";
    EXPECT_EQ(buffer_checksum(pic14, b), 0);

    b.set_cell(Area::rom, 3, "3G00");
    EXPECT_EQ(buffer_checksum(pic14, b), 0xFFFF);
    b.set_cell(Area::rom, 4, "");
    EXPECT_EQ(buffer_checksum(pic14, b), 0xFFFE);
    b.lab_fuse(1) = "0x";
    EXPECT_EQ(buffer_checksum(pic14, b), 0xFFFD);

    const ChipParams pic18 = chip_of(3, 8, "0000", 7);
    b.clrbuffer(pic18);
    for (int n = 1; n <= 7; ++n)
        b.lab_fuse(n) = "0x0000";
    b.set_cell(Area::rom, 0, "ZZ01"); // high byte -1, low byte 1
    EXPECT_EQ(buffer_checksum(pic18, b), 0);
}

} // namespace
} // namespace zz
