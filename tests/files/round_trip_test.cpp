#include "base/hex_text.h"
#include "files/image_export.h"
#include "hex_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace zz {
namespace {

using testing::HexFiles;

struct Trip {
    const char* name;
    ChipParams chip;
    std::uint32_t word_mask; // bits a program cell can hold
};

// Fills every cell, the ID and the configuration words with values the chip can hold.
void fill_varied(Buffer& buffer, const Trip& trip, std::mt19937& random) {
    const bool byte_cells = trip.chip.CHIPbit == 4;
    for (std::size_t i = 0; i < buffer.cell_count(Area::rom); ++i) {
        const std::uint32_t value = random() & trip.word_mask;
        buffer.set_cell_and_view(Area::rom, i, to_hex(value, byte_cells ? 2 : 4));
    }
    for (std::size_t k = 0; k < buffer.cell_count(Area::eeprom); ++k)
        buffer.set_cell_and_view(Area::eeprom, k, to_hex(random() & 0xFF, 2));
    std::string id;
    for (int k = 0; k < (trip.chip.CHIPbit == 3 ? 8 : 4); ++k)
        id += to_hex(random() & 0xFF, 2);
    buffer.lab_id1 = "0x" + id;
    for (int n = 1; n <= 7; ++n) {
        const auto blank = static_cast<std::uint32_t>(trip.chip.fuse_blank_words[n - 1]);
        buffer.lab_fuse(n) = "0x" + to_hex(random() & blank, 4);
    }
}

class RoundTrip : public ::testing::TestWithParam<Trip> {};

TEST_P(RoundTrip, SavedBufferLoadsUnchanged) {
    const Trip& trip = GetParam();
    std::mt19937 random(trip.chip.CHIPbit);
    HexFiles files;
    files.buffer.clrbuffer(trip.chip);
    fill_varied(files.buffer, trip, random);
    const auto path = files.folder.path() / "trip.hex";
    export_image_file(trip.chip, files.buffer, path);

    Buffer loaded;
    loaded.clrbuffer(trip.chip);
    const LoadResult result = read_image_file(trip.chip, loaded, path);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.warning, "");
    EXPECT_EQ(loaded.buffer_rom(), files.buffer.buffer_rom());
    EXPECT_EQ(loaded.buffer_eeprom(), files.buffer.buffer_eeprom());
    for (std::size_t i = 0; i < loaded.cell_count(Area::rom); i += 97)
        EXPECT_EQ(loaded.view(Area::rom, i), files.buffer.view(Area::rom, i)) << i;
    if (trip.chip.CHIPbit == 1) {
        EXPECT_EQ(loaded.lab_id1.get(), "0xFFFFFFFF");
    } else if (trip.chip.CHIPbit <= 3) {
        EXPECT_EQ(loaded.lab_id1.get(), files.buffer.lab_id1.get());
    }
    const int words = trip.chip.CHIPbit <= 3 ? trip.chip.FuseWordCount : 0;
    for (int n = 1; n <= words; ++n)
        EXPECT_EQ(loaded.lab_fuse(n).get(), files.buffer.lab_fuse(n).get()) << n;
}

INSTANTIATE_TEST_SUITE_P(
    EachChipBit, RoundTrip,
    ::testing::Values(
        Trip{"Pic12WithEeprom", testing::chip_with(1, 1024, 64, "0FFF", "0FFF"), 0x0FFF},
        Trip{"Pic14TwoWords", testing::chip_with(2, 4096, 256, "3FFF", "3FFF 2FFF"), 0x3FFF},
        Trip{"Pic14Enhanced", testing::enhanced_midrange(16384, 256), 0x3FFF},
        Trip{"Pic18", testing::pic18f452(), 0xFFFF},
        Trip{"Eeprom128K", testing::chip_with(4, 131072, 0, "FF", "FFFF"), 0xFF},
        Trip{"Eeprom16Bit", testing::chip_with(5, 1024, 0, "FFFF", "FFFF"), 0xFFFF}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zz
