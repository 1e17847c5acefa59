#include "hex_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace zz {
namespace {

using testing::HexFiles;

// One Intel HEX record with its checksum, CR LF ended.
std::string rec(unsigned address, unsigned type, std::vector<unsigned> bytes) {
    char text[16];
    std::snprintf(text, sizeof text, "%02X%04X%02X", static_cast<unsigned>(bytes.size()),
                  address & 0xFFFF, type);
    std::string line = std::string(":") + text;
    unsigned sum = bytes.size() + (address >> 8) + (address & 0xFF) + type;
    for (unsigned b : bytes) {
        std::snprintf(text, sizeof text, "%02X", b);
        line += text;
        sum += b;
    }
    std::snprintf(text, sizeof text, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return line + text + "\r\n";
}

const std::string kEnd = ":00000001FF\r\n";

struct LabelCase {
    const char* name;
    ChipParams chip;
    std::string file;
    std::string fuse1, fuse2, id;
    std::string warning_part; // empty: no warning

    friend void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }
};

class Labels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(Labels, AfterLoad) {
    const LabelCase& c = GetParam();
    HexFiles files;
    files.buffer.lab_fuse(1) = "0x1111"; // what an earlier file left
    const LoadResult result = files.load(c.chip, c.file);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(files.buffer.lab_fuse(1).get(), c.fuse1);
    EXPECT_EQ(files.buffer.lab_fuse(2).get(), c.fuse2);
    EXPECT_EQ(files.buffer.lab_id1.get(), c.id);
    if (c.warning_part.empty())
        EXPECT_EQ(result.warning, "");
    else
        EXPECT_NE(result.warning.find(c.warning_part), std::string::npos) << result.warning;
}

ChipParams with_or(ChipParams chip, int fuse_or) {
    chip.FUSEOR = fuse_or;
    return chip;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Labels,
    ::testing::Values(
        LabelCase{"ConfigWord14", testing::pic16f877a(), ":02400E00FF3F72\r\n" + kEnd, "0x3FFF",
                  "0xFFFF", "0xFFFFFFFF", ""},
        LabelCase{"ConfigMaskedAndOred",
                  with_or(testing::chip_with(2, 1024, 128, "3FFF", "31FF"), 0x80),
                  rec(0x400E, 0, {0x34, 0x12}) + kEnd, "0x10B4", "0xFFFF", "0xFFFFFFFF", ""},
        LabelCase{"Id14", testing::pic16f877a(), ":084000000100020003000400AE\r\n" + kEnd, "0x3FFF",
                  "0xFFFF", "0x01020304", ""},
        // Words 2004h-2006h are no place of the map: dropped, and the configuration word after
        // them in the same record still loads.
        LabelCase{"IdAndConfigInOneRecord", testing::pic16f877a(),
                  rec(0x4000, 0, {1, 0, 2, 0, 3, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0x72, 0x3F}) + kEnd,
                  "0x3F72", "0xFFFF", "0x01020304",
                  "Warning: image.hex: data outside this chip dropped at 0x4008-0x400D"},
        LabelCase{"PartialIdKeepsPlaces", testing::pic16f877a(), rec(0x4002, 0, {0x22, 0}) + kEnd,
                  "0x3FFF", "0xFFFF", "0xFF22FFFF", ""},
        // A byte at an odd address is its word's high byte, whichever record brings it.
        LabelCase{"BytesOfWordsApart", testing::pic16f877a(),
                  rec(0x400F, 0, {0x12}) + rec(0x4003, 0, {0x77, 0x44}) + rec(0x400E, 0, {0x34}) +
                      kEnd,
                  "0x1234", "0xFFFF", "0xFFFF44FF", ""},
        LabelCase{"SecondWordOnlyKeepsFirst", testing::pic16f88(),
                  rec(0x4010, 0, {0x00, 0x3F}) + kEnd, "0x1111", "0x3F00", "0xFFFFFFFF", ""},
        LabelCase{"Pic12", testing::pic12f508(),
                  rec(0x400, 0, {0xA, 0, 0xB, 0, 0xC, 0, 0xD, 0}) + rec(0x1FFE, 0, {0xEA, 0xFF}) +
                      kEnd,
                  "0x0FEA", "0xFFFF", "0xFFFFFFFF", ""},
        LabelCase{"ChecksumError", testing::pic16f877a(),
                  rec(0, 0, {1, 2}) + ":02400E00FF3F73\r\n" + kEnd, "0x3FFF", "0xFFFF",
                  "0xFFFFFFFF", "Warning: line 2 of image.hex: checksum error"},
        LabelCase{"ChecksumZero", testing::pic16f877a(), ":02400E00713F00\r\n" + kEnd, "0x3F71",
                  "0xFFFF", "0xFFFFFFFF", ""},
        LabelCase{"NoEndRecord", testing::pic16f877a(), ":02400E00FF3F72\r\n", "0x3FFF", "0xFFFF",
                  "0xFFFFFFFF", "ends without an end-of-file record"},
        // An enhanced mid-range file read for a classic chip: nothing lands on the classic
        // configuration word 2007h below.
        LabelCase{"UpperAddressNotFolded", testing::pic16f877a(),
                  ":020000040001F9\r\n" + rec(0x400E, 0, {0x34, 0x12}) + kEnd, "0x3FFF", "0xFFFF",
                  "0xFFFFFFFF", "dropped at 0x1400E-0x1400F"},
        // The enhanced mid-range layout as the toolchains write it, and beside it the classic one
        // that earlier saves used.
        LabelCase{"EnhancedLayout", testing::pic16f1847(),
                  ":020000040001F9\r\n" + rec(0, 0, {1, 0, 2, 0, 3, 0, 4, 0}) +
                      rec(0xE, 0, {0xA4, 0x3F, 0xFF, 0x1F}) + kEnd,
                  "0x3FA4", "0x1FFF", "0x01020304", ""},
        LabelCase{"EnhancedChipClassicLayout", testing::pic16f1847(),
                  rec(0x4000, 0, {1, 0, 2, 0}) + rec(0x400E, 0, {0xA4, 0x3F, 0xFF, 0x1F}) + kEnd,
                  "0x3FA4", "0x1FFF", "0x0102FFFF", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HexImport, ProgramByteAndView) {
    HexFiles files;
    ASSERT_TRUE(files.load(testing::pic16f877a(), rec(0, 0, {0x8C, 0x30}) + kEnd).ok);
    EXPECT_EQ(files.rom(0), "308C");
    EXPECT_EQ(files.buffer.view(Area::rom, 0), "0.");
    // A high byte alone keeps the blank low digits; 12-bit and 14-bit high bytes are masked.
    files.load(testing::pic16f877a(), rec(3, 0, {0xFF}) + kEnd);
    EXPECT_EQ(files.rom(1), "3FFF");
    files.load(testing::pic16f877a(), rec(3, 0, {0xC1}) + rec(4, 0, {0x41}) + kEnd);
    EXPECT_EQ(files.rom(1), "01FF");
    EXPECT_EQ(files.rom(2), "3F41");
    files.load(testing::pic12f508(), rec(0, 0, {0x41, 0xF2}) + kEnd);
    EXPECT_EQ(files.rom(0), "0241");
    EXPECT_EQ(files.buffer.view(Area::rom, 0), ".A");
}

TEST(HexImport, EepromRegions) {
    HexFiles files;
    ChipParams pic12 = testing::chip_with(1, 1024, 64, "0FFF", "0FFF");
    // The whole 12-bit EEPROM loads, as the writer saves it (words 2100h ... 2100h + size).
    ASSERT_TRUE(files.load(pic12, rec(0x4200 + 2 * 40, 0, {0x5A, 0, 0x41, 0}) + kEnd).ok);
    EXPECT_EQ(files.eeprom(40), "5A");
    EXPECT_EQ(files.eeprom(41), "41");
    EXPECT_EQ(files.buffer.view(Area::eeprom, 41), "A");
    LoadResult r = files.load(testing::pic16f877a(), rec(0x43FE, 0, {0x11, 0, 0x22, 0}) + kEnd);
    EXPECT_EQ(files.eeprom(255), "11");
    EXPECT_NE(r.warning.find("0x4400"), std::string::npos) << r.warning;
    r = files.load(testing::pic18f452(),
                   ":0200000400F00A\r\n" + rec(0xFE, 0, {0x11, 0x22, 0x33}) + kEnd);
    EXPECT_EQ(files.eeprom(254), "11");
    EXPECT_EQ(files.eeprom(255), "22");
    EXPECT_NE(r.warning.find("0xF00100"), std::string::npos) << r.warning;
}

TEST(HexImport, Pic18UpperAddressIdAndConfig) {
    HexFiles files;
    const std::string file = ":020000040000FA\r\n" + rec(0, 0, {0x03, 0xEF, 0x00, 0xF0}) +
                             ":020000040001F9\r\n" + rec(0, 0, {0x77}) + // beyond 16384 words
                             ":020000040020DA\r\n" + rec(4, 0, {5, 6, 7, 8}) + rec(0, 0, {1, 2}) +
                             ":020000040030CA\r\n" + rec(1, 0, {0x22, 0x0F, 0x0E}) +
                             rec(5, 0, {0x81, 0x81}) +
                             rec(8, 0, {0x0E, 0xC0, 0x0F, 0xE0, 0x0F, 0x40}) + kEnd;
    const LoadResult r = files.load(testing::pic18f452(), file);
    EXPECT_EQ(files.rom(0), "EF03");
    EXPECT_EQ(files.rom(1), "F000");
    EXPECT_EQ(r.warning, "Warning: image.hex: data outside this chip dropped at 0x10000");
    EXPECT_EQ(files.buffer.lab_id1.get(), "0x0102FFFF05060708");
    const char* words[] = {"0x2200", "0x0E0F", "0x0100", "0x0081", "0xC00E", "0xE00F", "0x400F"};
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(files.buffer.lab_fuse(n).get(), words[n - 1]) << n;
}

// Upper-address records move every reader's addresses: type 4 by 64 KB units, type 2 by 16-byte
// segments. Data beyond the chip is dropped and named, never folded onto a lower address.
TEST(HexImport, UpperAddressesPlaceOrDrop) {
    using namespace zz::testing; // the chips of hex_fixture.h
    const std::string at64k = rec(0, 4, {0, 1});
    const struct {
        const char* name;
        ChipParams chip;
        std::string file;
        std::size_t cell; // the program cell (or with `eeprom` the EEPROM byte) to look at
        const char* value;
        const char* dropped; // empty: nothing dropped
        bool eeprom = false;
    } cases[] = {
        {"Pic12Linear", pic12f508(), at64k + rec(0, 0, {0x0A, 0x0C}), 0, "0FFF", "0x10000-0x10001"},
        {"Pic14Segment", pic16f877a(), rec(0, 2, {1, 0}) + rec(0x10, 0, {0x34, 0x12}), 0x808,
         "1234", ""},
        {"Pic14SegmentPastTheChip", pic16f877a(), rec(0, 2, {0x10, 0}) + rec(0, 0, {0x34, 0x12}), 0,
         "3FFF", "0x10000-0x10001"},
        {"EnhancedPastWord2000h", enhanced_midrange(16384, 256), rec(0x4000, 0, {0x34, 0x12}),
         0x2000, "1234", ""},
        {"Pic18Segment", pic18f452(), rec(0, 2, {8, 0}) + rec(0, 0, {0x34, 0x12}), 0, "FFFF",
         "0x8000-0x8001"},
        // Enhanced mid-range data EEPROM at word F000h, and at 2100h as earlier saves put it.
        {"EnhancedEeprom", pic16f1847(), at64k + rec(0xE1FE, 0, {1, 0, 2, 0}), 255, "01",
         "0x1E200-0x1E201", true},
        {"EnhancedEepromClassic", pic16f1847(), rec(0x4202, 0, {0x43, 0}), 1, "43", "", true},
        {"SerialEeprom", eeprom24xx01(), at64k + rec(0x10, 0, {0x5A, 0x5B}) + rec(0x7F, 0, {1, 2}),
         0x10, "FF", "0x10010-0x10011, 0x1007F-0x10080"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HexFiles files;
        const LoadResult r = files.load(c.chip, c.file + kEnd);
        EXPECT_EQ(c.eeprom ? files.eeprom(c.cell) : files.rom(c.cell), c.value);
        EXPECT_EQ(r.dropped.text(), c.dropped);
    }
}

TEST(HexImport, ReadingStopsAtNonRecordLine) {
    HexFiles files;
    const LoadResult r =
        files.load(testing::pic16f877a(),
                   rec(0, 0, {1, 0}) + "\r\n" + " " + rec(2, 0, {2, 0}) + rec(4, 0, {3, 0}) + kEnd);
    EXPECT_EQ(files.rom(0), "0001");
    EXPECT_EQ(files.rom(1), "3FFF");
    EXPECT_EQ(files.rom(2), "3FFF");
    EXPECT_NE(r.warning.find("line 3 of image.hex: not a record"), std::string::npos) << r.warning;
}

TEST(HexImport, SerialEeproms) {
    HexFiles files;
    files.load(testing::eeprom24xx01(), rec(0x7E, 0, {0x41, 0x42, 0x43}) + kEnd);
    EXPECT_EQ(files.rom(0x7F), "42");
    EXPECT_EQ(files.buffer.view(Area::rom, 0x7F), "B");
    files.load(testing::eeprom93xx46w(), rec(0, 0, {0x34, 0x12, 0x78}) + kEnd);
    EXPECT_EQ(files.rom(0), "1234");
    EXPECT_EQ(files.rom(1), "FF78");
    // A 128 KB part takes its upper half after an upper-address record.
    ChipParams big = testing::chip_with(4, 131072, 0, "FF", "FFFF");
    files.load(big, ":020000040001F9\r\n" + rec(0x10, 0, {0x5A}) + kEnd);
    EXPECT_EQ(files.rom(0x10010), "5A");
    EXPECT_EQ(files.rom(0x10), "FF");
}

TEST(HexImport, BandGapFromConfigWord) {
    ChipParams chip = testing::chip_with(2, 1024, 128, "3FFF", "3FFF");
    chip.BandGap = true;
    const std::pair<unsigned, const char*> cases[] = {{0x0FFF, "BandGap  00"},
                                                      {0x1FFF, "BandGap  01"},
                                                      {0x2FFF, "BandGap  10"},
                                                      {0x3FFF, "BandGap  11"}};
    for (const auto& [word, text] : cases) {
        HexFiles files;
        files.load(chip, rec(0x400E, 0, {word & 0xFF, word >> 8}) + kEnd);
        EXPECT_EQ(files.buffer.lab_band.get(), text);
    }
}

TEST(BinaryImport, FormByExtension) {
    EXPECT_TRUE(is_hex_file_name("a/b.hex"));
    EXPECT_TRUE(is_hex_file_name("B.HEX"));
    EXPECT_FALSE(is_hex_file_name("b.Hex"));
    HexFiles files;
    // A .Hex file is a binary image: the text's first bytes ":0" are word 303Ah.
    ASSERT_TRUE(files.load(testing::pic16f877a(), kEnd, "image.Hex").ok);
    EXPECT_EQ(files.rom(0), "303A");
    EXPECT_EQ(files.buffer.lab_id1.get(), "0xFFFFFFFF");
}

TEST(BinaryImport, WordsByAddressMap) {
    HexFiles files;
    std::string image(0x4200 + 4, '\xFF');
    image[0] = '\x8C';
    image[1] = '\xF0'; // masked to 30h
    image[0x4000] = 0x12;
    image[0x4002] = 0x34;
    image[0x400E] = '\xF2';
    image[0x400F] = '\xFF';
    image[0x4200] = 0x41;
    image[0x4202] = 0x42;
    ASSERT_TRUE(files.load(testing::pic16f877a(), image, "image.bin").ok);
    EXPECT_EQ(files.rom(0), "308C");
    EXPECT_EQ(files.buffer.lab_id1.get(), "0x1234FFFF");
    EXPECT_EQ(files.buffer.lab_fuse(1).get(), "0x3FF2");
    EXPECT_EQ(files.eeprom(0), "41");
    EXPECT_EQ(files.eeprom(1), "42");
}

TEST(BinaryImport, LongerThanProgramMemory) {
    HexFiles files;
    std::string image(200, 'A');
    const LoadResult r = files.load(testing::eeprom24xx01(), image, "image.bin");
    std::string expected;
    for (int i = 0; i < 128; ++i)
        expected += "41";
    EXPECT_EQ(files.buffer.buffer_rom(), expected);
    EXPECT_EQ(r.warning, "Warning: image.bin: data outside this chip dropped at 0x0080-0x00C7");
    // Erased bytes after the end are no surprise; a PIC18 image shows blank ID and configuration.
    image = std::string(16384 * 2, '\x00') + std::string(100, '\xFF') + "\x01";
    EXPECT_EQ(files.load(testing::pic18f452(), image.substr(0, image.size() - 1), "a.bin").warning,
              "");
    EXPECT_EQ(files.rom(16383), "0000");
    EXPECT_EQ(files.buffer.lab_id1.get(), "0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(files.buffer.lab_fuse(1).get(), "0x2700");
    EXPECT_NE(files.load(testing::pic18f452(), image, "a.bin").warning, "");
}

TEST(ImportFailures, UnopenableFiles) {
    HexFiles files;
    const ChipParams chip = testing::pic16f877a();
    files.buffer.clrbuffer(chip);
    const auto missing_bin = files.folder.path() / "missing.bin";
    LoadResult r = read_image_file(chip, files.buffer, missing_bin);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Error in file " + missing_bin.string() + ".");
    r = read_image_file(chip, files.buffer, files.folder.path() / "missing.hex");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("missing.hex"), std::string::npos);
    // A folder opens but cannot be read.
    r = read_image_file(chip, files.buffer, files.folder.path());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(files.buffer.buffer_rom(), Buffer().buffer_rom());
}

} // namespace
} // namespace zz
