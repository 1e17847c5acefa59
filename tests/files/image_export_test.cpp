#include "files/image_export.h"
#include "hex_fixture.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

using testing::HexFiles;

// Raw images: every program cell of the chip in address order, words low byte first, and
// nothing else (no ID, configuration or data EEPROM of a PIC).
struct BinaryCase {
    const char* name;
    ChipParams chip;
    const char* cell0;
    std::string start; // the image's first bytes
    std::size_t size;
};

class BinaryExport : public ::testing::TestWithParam<BinaryCase> {};

TEST_P(BinaryExport, ProgramCellsInOrder) {
    const BinaryCase& c = GetParam();
    HexFiles files;
    files.buffer.clrbuffer(c.chip);
    files.buffer.set_cell(Area::rom, 0, c.cell0);
    files.buffer.lab_fuse(1) = "0x0000";
    const std::string image = binary_image(c.chip, files.buffer);
    EXPECT_EQ(image.size(), c.size);
    EXPECT_EQ(image.substr(0, c.start.size()), c.start);
    // Saved by its name's form and read back the same.
    export_image_file(c.chip, files.buffer, files.folder.path() / "out.bin");
    EXPECT_EQ(files.read("out.bin"), image);
    Buffer loaded;
    loaded.clrbuffer(c.chip);
    const LoadResult r = read_image_file(c.chip, loaded, files.folder.path() / "out.bin");
    EXPECT_EQ(r.warning, "");
    EXPECT_EQ(loaded.buffer_rom(), files.buffer.buffer_rom());
}

INSTANTIATE_TEST_SUITE_P(EachChipBit, BinaryExport,
                         ::testing::Values(BinaryCase{"Pic12", testing::pic12f508(), "0C0A",
                                                      std::string("\x0A\x0C\xFF\x0F", 4), 1024},
                                           BinaryCase{"Pic14", testing::pic16f1847(), "308C",
                                                      std::string("\x8C\x30\xFF\x3F", 4), 16384},
                                           BinaryCase{"Pic18", testing::pic18f452(), "EF03",
                                                      std::string("\x03\xEF\xFF\xFF", 4), 32768},
                                           BinaryCase{"Bytes", testing::eeprom24xx01(), "5A",
                                                      std::string("\x5A\xFF", 2), 128},
                                           BinaryCase{"Words", testing::eeprom93xx46w(), "1234",
                                                      std::string("\x34\x12\xFF", 3), 128}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace zz
