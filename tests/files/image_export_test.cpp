#include "files/image_export.h"
#include "hex_fixture.h"

#include <gtest/gtest.h>

namespace zz {
namespace {

using testing::HexFiles;

// Raw images: every program cell of the chip in address order, words low byte first, and
// nothing else (no ID, configuration or data EEPROM of a PIC). Saved by the name's form and read
// back the same.
TEST(BinaryExport, ProgramCellsInOrder) {
    const struct {
        ChipParams chip;
        const char* cell0;
        std::string start; // the image's first bytes
        std::size_t size;
    } cases[] = {{testing::pic12f508(), "0C0A", "\x0A\x0C\xFF\x0F", 1024},
                 {testing::pic16f1847(), "308C", "\x8C\x30\xFF\x3F", 16384},
                 {testing::pic18f452(), "EF03", "\x03\xEF\xFF\xFF", 32768},
                 {testing::eeprom24xx01(), "5A", "\x5A\xFF", 128},
                 {testing::eeprom93xx46w(), "1234", "\x34\x12\xFF", 128}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell0);
        HexFiles files;
        files.buffer.clrbuffer(c.chip);
        files.buffer.set_cell(Area::rom, 0, c.cell0);
        files.buffer.lab_fuse(1) = "0x0000";
        const std::string image = binary_image(c.chip, files.buffer);
        EXPECT_EQ(image.size(), c.size);
        EXPECT_EQ(image.substr(0, c.start.size()), c.start);
        export_image_file(c.chip, files.buffer, files.folder.path() / "out.bin");
        EXPECT_EQ(files.read("out.bin"), image);
        Buffer loaded;
        loaded.clrbuffer(c.chip);
        const LoadResult r = read_image_file(c.chip, loaded, files.folder.path() / "out.bin");
        EXPECT_EQ(r.warning, "");
        EXPECT_EQ(loaded.buffer_rom(), files.buffer.buffer_rom());
    }
}

} // namespace
} // namespace zz
