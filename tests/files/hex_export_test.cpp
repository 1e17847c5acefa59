#include "files/hex_export.h"
#include "hex_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace zz {
namespace {

using testing::crlf_lines;
using testing::HexFiles;

// Checks what every line of a written file must be: ":" and upper-case digit pairs whose sum,
// checksum included, is 0 mod 256, the count matching the data.
void expect_well_formed(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        ASSERT_GE(line.size(), 11u) << line;
        ASSERT_EQ(line[0], ':') << line;
        ASSERT_EQ(line.find_first_not_of("0123456789ABCDEF", 1), std::string::npos) << line;
        unsigned sum = 0;
        for (std::size_t i = 1; i + 1 < line.size(); i += 2)
            sum += std::stoul(line.substr(i, 2), nullptr, 16);
        EXPECT_EQ(sum & 0xFF, 0u) << line;
        EXPECT_EQ(line.size(), 11 + 2 * std::stoul(line.substr(1, 2), nullptr, 16)) << line;
    }
}

std::vector<std::string> saved_lines(HexFiles& files, const ChipParams& chip) {
    const auto path = files.folder.path() / "out.hex";
    export_hex_file(chip, files.buffer, path);
    const std::string text = files.read("out.hex");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    auto lines = crlf_lines(text);
    expect_well_formed(lines);
    return lines;
}

// A saved file's line count and its lines at the given indices: a text shorter than its record
// is the record's start (a whole record's length is fixed by its count, which saved_lines checked).
void expect_lines(const std::vector<std::string>& lines, std::size_t count,
                  const std::vector<std::size_t>& at, const std::vector<std::string>& texts) {
    ASSERT_EQ(lines.size(), count);
    ASSERT_EQ(at.size(), texts.size());
    for (std::size_t i = 0; i < at.size(); ++i)
        EXPECT_EQ(lines.at(at[i]).substr(0, texts[i].size()), texts[i]) << "line " << at[i];
}

TEST(HexExport, Pic14RecordOrder) {
    HexFiles files;
    for (int fuse_words : {1, 2}) {
        ChipParams chip = fuse_words == 1 ? testing::pic16f877a()
                                          : testing::chip_with(2, 8192, 256, "3FFF", "3FFF 3FFF");
        files.buffer.clrbuffer(chip);
        files.buffer.lab_id1 = "0x01020304";
        files.buffer.lab_fuse(1) = "0x3FFF";
        files.buffer.lab_fuse(2) = "0x3F71"; // sums to 00 with its header
        const auto lines = saved_lines(files, chip);
        ASSERT_EQ(lines.size(), 1u + 1024 + 1 + fuse_words + 32 + 1);
        EXPECT_EQ(lines[0], ":020000040000FA");
        EXPECT_EQ(lines[1], ":10000000FF3FFF3FFF3FFF3FFF3FFF3FFF3FFF3F00");
        EXPECT_EQ(lines[1024].substr(0, 9), ":103FF000");
        EXPECT_EQ(lines[1025], ":084000000100020003000400AE");
        EXPECT_EQ(lines[1026], ":02400E00FF3F72");
        if (fuse_words == 2) {
            EXPECT_EQ(lines[1027], ":02401000713FFE");
        }
        EXPECT_EQ(lines[1027 + fuse_words - 1], ":10420000FF00FF00FF00FF00FF00FF00FF00FF00B6");
        EXPECT_EQ(lines.back(), ":00000001FF");
    }
}

// Enhanced mid-range chips in their toolchains' layout: ID, configuration words and EEPROM past
// 64 KB, behind one upper-address record (the lines gpasm writes for them).
TEST(HexExport, EnhancedMidrangeLayout) {
    HexFiles files;
    const ChipParams chip = testing::pic16f1847();
    files.buffer.clrbuffer(chip);
    files.buffer.lab_id1 = "0x01020304";
    files.buffer.lab_fuse(1) = "0x3FA4";
    files.buffer.lab_fuse(2) = "0x1FFF";
    files.buffer.set_cell(Area::eeprom, 255, "41");
    const auto lines = saved_lines(files, chip);
    expect_lines(lines, 1u + 1024 + 1 + 1 + 2 + 32 + 1,
                 {0, 1024, 1025, 1026, 1027, 1028, 1029, 1060},
                 {":020000040000FA", ":103FF000", ":020000040001F9", ":080000000100020003000400EE",
                  ":02000E00A43F0D", ":02001000FF1FD0", ":10E00000",
                  ":10E1F000FF00FF00FF00FF00FF00FF00FF004100E5"});
}

TEST(HexExport, ChecksumZeroKeepsTwoDigits) {
    HexFiles files;
    files.buffer.clrbuffer(testing::pic16f877a());
    files.buffer.lab_fuse(1) = "0x3F71";
    EXPECT_EQ(saved_lines(files, testing::pic16f877a())[1026], ":02400E00713F00");
}

TEST(HexExport, Pic12Records) {
    HexFiles files;
    ChipParams chip = testing::chip_with(1, 512, 64, "0FFF", "0FFF");
    files.buffer.clrbuffer(chip);
    files.buffer.set_cell(Area::rom, 0, "0C0C");
    files.buffer.set_cell(Area::eeprom, 0, "5A");
    files.buffer.lab_id1 = "0x0A0B0C0D";
    files.buffer.lab_fuse(1) = "0x0FEA";
    const auto lines = saved_lines(files, chip);
    expect_lines(lines, 1u + 64 + 1 + 1 + 8 + 1, {1, 65, 66, 67, 74},
                 {":100000000C0CFF0FFF0FFF0FFF0FFF0FFF0FFF0F76", ":080400000A000B000C000D00C6",
                  ":021FFE00EA0FE8", ":104200005A00FF00FF00FF00FF00FF00FF00FF005B", ":10427000"});
}

TEST(HexExport, Pic18UpperAddresses) {
    HexFiles files;
    ChipParams chip =
        testing::chip_with(3, 65536, 256, "FFFF", "2700 0F0F 0100 0085 C00F E00F 400F");
    files.buffer.clrbuffer(chip);
    files.buffer.set_cell(Area::rom, 0x8000, "1234");
    files.buffer.lab_id1 = "0x0102030405060708";
    const char* words[] = {"0x2200", "0x0E0F", "0x0100", "0x0081", "0xC00E", "0xE00F", "0x400F"};
    for (int n = 1; n <= 7; ++n)
        files.buffer.lab_fuse(n) = words[n - 1];
    const auto lines = saved_lines(files, chip);
    expect_lines(lines, 1u + 8192 + 1 + 2 + 2 + 1 + 16 + 1,
                 {0, 4096, 4097, 4098, 8194, 8195, 8196, 8197, 8198, 8199, 8214},
                 {":020000040000FA", ":10FFF000", ":020000040001F9", ":100000003412",
                  ":020000040020DA", ":080000000102030405060708D4", ":020000040030CA",
                  ":0E00000000220F0E000181000EC00FE00F4025", ":0200000400F00A", ":10000000",
                  ":1000F000"});
}

TEST(HexExport, SmallAndSerialParts) {
    HexFiles files;
    // 128-byte serial EEPROM: 8 records of 16 bytes and the end record, nothing else.
    files.buffer.clrbuffer(testing::eeprom24xx01());
    auto lines = saved_lines(files, testing::eeprom24xx01());
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00");
    EXPECT_EQ(lines[7].substr(0, 9), ":10007000");
    // 16-bit words, low byte first.
    files.buffer.clrbuffer(testing::eeprom93xx46w());
    files.buffer.set_cell(Area::rom, 0, "1234");
    lines = saved_lines(files, testing::eeprom93xx46w());
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0].substr(0, 13), ":100000003412");
    // EEPROM smaller than one row: nothing to write, not even the PIC18 EEPROM address.
    for (int chip_bit : {2, 3}) {
        ChipParams chip = chip_bit == 2 ? testing::chip_with(2, 64, 4, "3FFF", "3FFF")
                                        : testing::chip_with(3, 64, 4, "FFFF",
                                                             "FFFF FFFF FFFF FFFF FFFF FFFF FFFF");
        files.buffer.clrbuffer(chip);
        lines = saved_lines(files, chip);
        for (const auto& line : lines) {
            EXPECT_NE(line.substr(0, 7), ":104200") << chip_bit;
            EXPECT_NE(line, ":0200000400F00A");
        }
    }
    // A 128 KB part announces its upper half instead of writing five-digit addresses.
    ChipParams big = testing::chip_with(4, 131072, 0, "FF", "FFFF");
    files.buffer.clrbuffer(big);
    lines = saved_lines(files, big);
    ASSERT_EQ(lines.size(), 8192u + 1 + 1);
    EXPECT_EQ(lines[4096], ":020000040001F9");
    EXPECT_EQ(lines[4097].substr(0, 9), ":10000000");
}

TEST(HexExport, FailedSaveKeepsTheOldFile) {
    HexFiles files;
    const auto path = files.write("old.hex", ":00000001FF\r\n");
    files.buffer.clrbuffer(testing::pic16f877a());
    // Files may grow to 4 KB only: the 45 KB image cannot be written.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(Export14bitHexFile(testing::pic16f877a(), files.buffer, path), std::runtime_error);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    EXPECT_EQ(files.read("old.hex"), ":00000001FF\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.folder.path()), {}), 1);
    EXPECT_THROW(Export14bitHexFile(testing::pic16f877a(), files.buffer,
                                    files.folder.path() / "no" / "such.hex"),
                 std::runtime_error);
}

} // namespace
} // namespace zz
