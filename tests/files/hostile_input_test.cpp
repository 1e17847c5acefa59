// Damaged and hostile files: the readers never crash, never leave a cell that is not hex, and
// read every line once.
#include "hex_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace zz {
namespace {

using testing::HexFiles;

bool is_hex(std::string_view text, std::size_t digits) {
    return text.size() == digits &&
           text.find_first_not_of("0123456789ABCDEF") == std::string_view::npos;
}

void expect_sane(const Buffer& buffer, const ChipParams& chip) {
    const std::size_t width = chip.CHIPbit == 4 ? 2 : 4;
    ASSERT_TRUE(is_hex(buffer.buffer_rom(), width * buffer.cell_count(Area::rom)));
    ASSERT_TRUE(is_hex(buffer.buffer_eeprom(), 2 * buffer.cell_count(Area::eeprom)));
    for (int n = 1; n <= 7; ++n)
        ASSERT_TRUE(is_hex(buffer.lab_fuse(n).get().substr(2), 4)) << buffer.lab_fuse(n).get();
    const std::string& id = buffer.lab_id1.get();
    ASSERT_TRUE(is_hex(id.substr(2), id.size() - 2)) << id;
}

// A mostly plausible HEX text with every kind of damage: random characters, cut lines, counts
// larger than the data, upper addresses, blank lines and bare CRs.
std::string hostile_text(std::mt19937& random) {
    const char* pieces[] = {":",  "10", "FF", "00", "04",   "02", "01", "20",    "30", "F0", "40",
                            "0E", "21", "G",  " ",  "\r\n", "\n", "\r", "\r\n:", "\0", "3F", "zz"};
    std::string text;
    const int count = static_cast<int>(random() % 400);
    for (int i = 0; i < count; ++i) {
        if (random() % 8 == 0)
            text += static_cast<char>(random() & 0xFF);
        else
            text += pieces[random() % std::size(pieces)];
    }
    return text;
}

// Well-formed records for the interesting places of every map, then a few bytes changed.
std::string mutated_records(std::mt19937& random) {
    const char* records[] = {":020000040000FA",
                             ":020000040020DA",
                             ":020000040030CA",
                             ":0200000400F00A",
                             ":020000040001F9",
                             ":084000000100020003000400AE",
                             ":02400E00FF3F72",
                             ":0E00000000220F0E000181000EC00FE00F4025",
                             ":10000000FF3FFF3FFF3FFF3FFF3FFF3FFF3FFF3F00",
                             ":021FFE00EA0FE8",
                             ":104200005A00FF00FF00FF00FF00FF00FF00FF005B",
                             ":00000001FF"};
    std::string text;
    for (int i = static_cast<int>(random() % 30); i > 0; --i)
        text += std::string(records[random() % std::size(records)]) + "\r\n";
    for (int i = static_cast<int>(random() % 6); i > 0 && !text.empty(); --i)
        text[random() % text.size()] = static_cast<char>(random() & 0xFF);
    return text;
}

TEST(HostileInput, SeededRandomFiles) {
    const ChipParams chips[] = {testing::chip_with(1, 512, 64, "0FFF", "0FFF"), testing::pic16f88(),
                                testing::pic18f452(), testing::eeprom24xx01(),
                                testing::eeprom93xx46w()};
    std::mt19937 random(20240611);
    HexFiles files;
    for (int round = 0; round < 1500; ++round) {
        const ChipParams& chip = chips[round % std::size(chips)];
        const std::string text = round % 2 ? hostile_text(random) : mutated_records(random);
        for (const char* name : {"f.hex", "f.bin"}) {
            const LoadResult result = files.load(chip, text, name);
            ASSERT_TRUE(result.ok) << result.error;
            expect_sane(files.buffer, chip);
        }
    }
}

TEST(HostileInput, HugeRepeatedRecordAndEndlessLine) {
    HexFiles files;
    const std::string record = ":10000000FF3FFF3FFF3FFF3FFF3FFF3FFF3FFF3F00\r\n";
    std::string text;
    text.reserve(20u << 20);
    while (text.size() < (20u << 20))
        text += record;
    text += ":02000000413F7E\r\n:00000001FF\r\n";
    LoadResult result = files.load(testing::pic16f877a(), text);
    EXPECT_EQ(result.warning, "");
    EXPECT_EQ(files.rom(0), "3F41");
    // One 20 MB line: a record with garbage after its checksum.
    std::string line = ":02000000413F7E" + std::string(20u << 20, '7') + "\r\n";
    result = files.load(testing::pic16f877a(), line);
    EXPECT_EQ(files.rom(0), "3F41");
    EXPECT_NE(result.warning.find("line 1 of image.hex: damaged record"), std::string::npos);
    // Counts larger than the line's data: what is there loads, the rest is damage.
    result = files.load(testing::pic16f877a(), ":FF00000041\r\n:00000001FF\r\n");
    EXPECT_EQ(files.rom(0), "3F41");
    EXPECT_NE(result.warning.find("damaged record"), std::string::npos);
}

} // namespace
} // namespace zz
