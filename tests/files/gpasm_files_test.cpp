// Files built by the GNU PIC assembler are loaded, checked against what its listing says, saved
// again and compared with the assembler's output by srec_cmp over the regions the chip holds.
#include "files/hex_export.h"
#include "hex_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zz {
namespace {

using testing::HexFiles;

bool tool_present(const std::string& name) {
    return std::system(("command -v " + name + " > /dev/null 2>&1").c_str()) == 0;
}

class AssembledFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"gpasm", "srec_cmp"})
            ASSERT_TRUE(tool_present(tool))
                << tool << " is missing: install gputils and srecord (scripts/setup)";
    }

    // Assembles `source` into name.hex; the assembler's messages go to name.log.
    std::string assemble(const std::string& name, const std::string& source) {
        files.write(name + ".asm", source);
        const auto dir = files.folder.path().string();
        const std::string command = "cd '" + dir + "' && gpasm -o " + name + ".hex " + name +
                                    ".asm > " + name + ".log 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << files.read(name + ".log");
        return files.read(name + ".hex");
    }

    // Loads name.hex, saves it as name-saved.hex and compares both over `regions` (srec ranges).
    void load_and_compare(const ChipParams& chip, const std::string& name,
                          const std::string& regions) {
        const auto dir = files.folder.path();
        files.buffer.clrbuffer(chip);
        const LoadResult loaded = read_image_file(chip, files.buffer, dir / (name + ".hex"));
        ASSERT_TRUE(loaded.ok) << loaded.error;
        EXPECT_EQ(loaded.warning, "");
        export_hex_file(chip, files.buffer, dir / (name + "-saved.hex"));
        const std::string original = (dir / (name + ".hex")).string();
        const std::string command = "srec_cmp " + original + " -intel -crop " + regions + " " +
                                    (dir / (name + "-saved.hex")).string() +
                                    " -intel -crop -within " + original + " -intel -crop " +
                                    regions + " > " + (dir / "cmp.log").string() + " 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << files.read("cmp.log");
    }

    HexFiles files;
};

TEST_F(AssembledFiles, Pic12F508) {
    assemble("p12", R"(
        list p=12f508
        include <p12f508.inc>
        __CONFIG _MCLRE_OFF & _CP_OFF & _WDT_OFF & _IntRC_OSC
        __IDLOCS 0xABCD
        org 0
        movlw 0x0C
        retlw 0xFF
        org 0x1FE
        goto 0
        end
)");
    load_and_compare(testing::pic12f508(), "p12", "0 0x400");
    EXPECT_EQ(files.rom(0), "0C0C");
    EXPECT_EQ(files.rom(1), "08FF");
    EXPECT_EQ(files.rom(2), "0FFF");
    EXPECT_EQ(files.rom(0x1FE), "0A00");
    EXPECT_EQ(files.buffer.lab_fuse(1).get(), "0x0FEA");
    EXPECT_EQ(files.buffer.lab_id1.get(), "0xFFFFFFFF"); // the 12-bit ID is not read
}

TEST_F(AssembledFiles, Pic16F877A) {
    assemble("p14", R"(
        list p=16f877a
        include <p16f877a.inc>
        __CONFIG _CP_OFF & _WDT_OFF & _HS_OSC & _LVP_OFF & _PWRTE_ON
        __IDLOCS 0x1234
        org 0
        movlw 0x8C
        goto start
        org 0x100
start   nop
        retlw 0x41
        org 0x1FFF
        retlw 0x55
        org 0x2100
        de "AB", 0x7F, 0x00
        end
)");
    load_and_compare(testing::pic16f877a(), "p14", "0 0x4008 0x4200 0x4400");
    EXPECT_EQ(files.rom(0), "308C");
    EXPECT_EQ(files.rom(1), "2900");
    EXPECT_EQ(files.rom(0x100), "0000");
    EXPECT_EQ(files.rom(0x101), "3441");
    EXPECT_EQ(files.buffer.view(Area::rom, 0x101), "4A");
    EXPECT_EQ(files.rom(0x1FFF), "3455");
    EXPECT_EQ(files.rom(0x1FFE), "3FFF");
    EXPECT_EQ(files.buffer.lab_fuse(1).get(), "0x3F72");
    EXPECT_EQ(files.buffer.lab_id1.get(), "0x01020304");
    EXPECT_EQ(files.buffer.buffer_eeprom().substr(0, 10), "41427F00FF");
}

TEST_F(AssembledFiles, Pic18F452) {
    assemble("p18", R"(
        list p=18f452
        include <p18f452.inc>
        CONFIG OSC = HS, WDT = OFF, LVP = OFF, CP0 = ON
        org 0
        goto start
        org 0x200
start   movlw 0x41
        org 0x7FFE
        dw 0xBEEF
        org 0x200000
        db 1, 2, 3, 4, 5, 6, 7, 8
        org 0xF00000
        de 0x11, 0x22, 0x33
        end
)");
    load_and_compare(testing::pic18f452(), "p18", "0 0x8000 0x200000 0x200008 0xF00000 0xF00100");
    EXPECT_EQ(files.rom(0), "EF00");
    EXPECT_EQ(files.rom(1), "F001");
    EXPECT_EQ(files.rom(0x100), "0E41");
    EXPECT_EQ(files.rom(0x3FFF), "BEEF");
    EXPECT_EQ(files.buffer.lab_id1.get(), "0x0102030405060708");
    EXPECT_EQ(files.buffer.buffer_eeprom().substr(0, 8), "112233FF");
    // CONFIG1H 22h (HS), CONFIG2H 0Eh (WDT off), CONFIG4L 81h (LVP off), CONFIG5L 0Eh (CP0 on);
    // bytes the assembler leaves out read as FFh; each word is masked by the chip's blank word.
    const char* words[] = {"0x2200", "0x0E0F", "0x0100", "0x0081", "0xC00E", "0xE00F", "0x400F"};
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(files.buffer.lab_fuse(n).get(), words[n - 1]) << n;
}

} // namespace
} // namespace zz
