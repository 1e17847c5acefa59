// The command line on files and the chip database alone: checksum, convert, dump, info, chips,
// and bad usage.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

struct ImageCase {
    const char* chip;
    int chip_bit;
    const char* hex;      // an image in the layout of the chip's CHIPbit
    const char* checksum; // the buffer checksum of the loaded image
};

// Checksums by hand: program words (blank cells included) plus the configuration word(s).
// 10F200: 0C0A + 0006 + 0A02 + 253 x 0FFF (+ OSCCAL cell 0FFF) + config 0FEB.
// 16F84A: 3055 + 0086 + 2802 + 1021 x 3FFF + config 3FF1.
// The others only have to survive the conversion.
const ImageCase kImages[] = {
    {"10F200", 1, ":060000000A0C0600020AD2\n:021FFE00EB0FE7\n:00000001FF\n", "0xE501"},
    {"16F84A", 2, ":06000000553086000228C5\n:02400E00F13F80\n:00000001FF\n", "0xD4D1"},
    {"18F452", 3, ":0600000055300000EFD0B6\n:020000040030CA\n:020000000022DC\n:00000001FF\n", ""},
    {"24xx01", 4, ":0400000001020304F2\n:00000001FF\n", ""},
    {"93xx46(16bit)", 5, ":0400000012345678E8\n:00000001FF\n", ""},
};

class CliImageTest : public ::testing::TestWithParam<ImageCase> {};

TEST_P(CliImageTest, ChecksumSurvivesConversion) {
    const ImageCase& c = GetParam();
    ScratchDir dir("image" + std::to_string(c.chip_bit));
    std::ofstream(dir / "in.hex") << c.hex;
    const std::string chip = "--chip '" + std::string(c.chip) + "' ";

    const RunResult sum = run_cli(dir, chip + "checksum '" + (dir / "in.hex") + "'");
    ASSERT_EQ(sum.status, 0) << sum.err;
    ASSERT_THAT(sum.out, ::testing::MatchesRegex("Checksum 0x[0-9A-F]{4}\n"));
    if (*c.checksum) {
        EXPECT_EQ(sum.out, "Checksum " + std::string(c.checksum) + "\n");
    }

    const RunResult converted =
        run_cli(dir, chip + "convert '" + (dir / "in.hex") + "' '" + (dir / "out.hex") + "'");
    ASSERT_EQ(converted.status, 0) << converted.err;
    EXPECT_EQ(run_cli(dir, chip + "checksum '" + (dir / "out.hex") + "'").out, sum.out);
    // Every byte of the input is in the output at its address.
    const std::string in = "'" + (dir / "in.hex") + "' -intel";
    EXPECT_EQ(
        run_shell(dir, "srec_cmp " + in + " '" + (dir / "out.hex") + "' -intel -crop -within " + in)
            .status,
        0);
}

INSTANTIATE_TEST_SUITE_P(EveryChipBit, CliImageTest, ::testing::ValuesIn(kImages),
                         [](const auto& info) {
                             return "CHIPbit" + std::to_string(info.param.chip_bit);
                         });

// Images built by gpasm, programmed into a chip on the virtual board and saved from it with
// --chip-save, and converted: srec_cmp finds every byte of the original (program memory, ID,
// configuration words, data EEPROM) at its address in both; `fuses` reads the options it selects.
struct AssembledCase {
    const char* chip;
    const char* source;  // after "list" and "include"
    const char* regions; // srec_cmp -crop ranges of the chip's layout
    const char* fuse;    // a line `fuses` prints for the image
};

constexpr const char* kEnhanced = "0 0x10008 0x1000E 0x10012 0x1E000 0x1E200";
constexpr const char* kClassic = "0 0x4008 0x400E 0x4012 0x4200 0x4400";

const AssembledCase kAssembled[] = {
    {"16F1509", R"(__CONFIG _CONFIG1, _FOSC_INTOSC & _WDTE_OFF & _MCLRE_OFF
        __CONFIG _CONFIG2, _LVP_OFF & _STVREN_OFF
        __IDLOCS 0x1234
        goto 0x10
        org 0x1FFF
        retlw 0x55
)",
     kEnhanced, "MCLR Enable = Off "},
    {"12F1840", R"(__CONFIG _CONFIG1, _FOSC_INTOSC & _WDTE_OFF
        __CONFIG _CONFIG2, _LVP_OFF
        movlw 0x8C
        org 0xF000
        de "AB", 0x7F
        org 0xF0FE
        de 0x5A
)",
     kEnhanced, "Watchdog Timer = Off "},
    {"16F1847", R"(__CONFIG _CONFIG1, _FOSC_HS & _WDTE_SWDTEN & _PWRTE_ON
        __CONFIG _CONFIG2, _PLLEN_OFF
        __IDLOCS 0xBEEF
        org 0x1000
        retlw 0x7E
        org 0xF010
        de 0x01, 0x02
)",
     kEnhanced, "4x PLL = Off "},
    {"16F877A", R"(__CONFIG _CP_OFF & _WDT_OFF & _HS_OSC & _LVP_OFF
        __IDLOCS 0x1234
        movlw 0x8C
        org 0x2100
        de "AB", 0x7F
)",
     kClassic, "Oscillator = HS "},
    {"16F88", R"(__CONFIG _CONFIG1, _INTRC_IO & _WDT_OFF
        __CONFIG _CONFIG2, _IESO_OFF
        org 0x0FFF
        retlw 0x22
        org 0x21FE
        de 0x33
)",
     kClassic, "Osc. Switchover = Off "},
};

class CliAssembledTest : public ::testing::TestWithParam<AssembledCase> {};

TEST_P(CliAssembledTest, ChipAndConversionHoldWhatTheFileSays) {
    const AssembledCase& c = GetParam();
    ScratchDir dir(std::string("assembled") + c.chip);
    std::ofstream(dir / "in.asm") << "        list p=" << c.chip << "\n        include <p" << c.chip
                                  << ".inc>\n        " << c.source << "        end\n";
    const std::string in = "'" + (dir / "in.hex") + "'";
    ASSERT_EQ(run_shell(dir, "gpasm -o " + in + " '" + (dir / "in.asm") + "'").status, 0)
        << read_text(dir / "stdout.txt") << "(install gputils: scripts/setup.sh)";
    for (const std::string& run : {"--virtual-board --chip-save chip.hex program " + in,
                                   "convert " + in + " out.hex", "fuses " + in}) {
        const RunResult r = run_cli_in(dir, std::string("--chip ") + c.chip + " " + run);
        EXPECT_EQ(r.status, 0) << run << ": " << r.err;
        EXPECT_EQ(r.err, "") << run;
        if (run.starts_with("fuses")) {
            EXPECT_THAT(r.out, HasSubstr(c.fuse));
        }
    }
    const std::string cropped = in + " -intel -crop " + c.regions;
    for (const char* saved : {"chip.hex", "out.hex"}) {
        const RunResult cmp = run_shell(dir, "srec_cmp " + cropped + " '" + (dir / saved) +
                                                 "' -intel -crop -within " + cropped);
        EXPECT_EQ(cmp.status, 0) << saved << ": " << cmp.err << cmp.out;
    }
}

INSTANTIATE_TEST_SUITE_P(GpasmImages, CliAssembledTest, ::testing::ValuesIn(kAssembled),
                         [](const auto& info) { return std::string(info.param.chip); });

// What a command goes on with but tells on stderr: data the chip has no place for, by address
// range, and an image without data that would leave the chip blank.
TEST(CliFilesTest, WarningsNameWhatWasDroppedOrMissing) {
    ScratchDir dir("warnings");
    std::ofstream(dir / "outside.hex") << ":020000000A30C4\n:020000040001F9\n:02000E00A43F0D\n"
                                          ":020000021000EC\n:0100000011EE\n:00000001FF\n";
    std::ofstream(dir / "empty.hex") << ":00000001FF\n";
    // The arguments, what stderr says, what stdout holds.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"--chip 16F877A checksum outside.hex",
         "Warning: outside.hex: data outside this chip dropped at 0x1000E-0x1000F, 0x10000\n",
         "Checksum 0x100A\n"}, // 8191 x 3FFF + 300A + 3FFF: not 3FA4
        {"--virtual-board --chip 16F877A program empty.hex",
         "Warning: the image holds no data: the chip will be left blank\n",
         "Information: Programming complete.\n"},
    };
    for (const auto& [arguments, err, out] : cases) {
        const RunResult r = run_cli_in(dir, arguments);
        EXPECT_EQ(r.status, 0) << arguments;
        EXPECT_EQ(r.err, err) << arguments;
        EXPECT_THAT(r.out, HasSubstr(out)) << arguments;
    }
}

// Raw images of a serial EEPROM: read from the chip, every byte of it, and converted unchanged.
TEST(CliFilesTest, BinaryImagesRoundTripByteForByte) {
    ScratchDir dir("binary");
    ASSERT_EQ(run_cli_in(dir, "--virtual-board --chip 24xx256 read dump.bin").status, 0);
    EXPECT_EQ(read_text(dir / "dump.bin"), std::string(32768, '\xFF'));
    for (const auto& [chip, size] : {std::pair{"24xx256", 32768}, {"'93xx46(16bit)'", 128}}) {
        std::string image;
        for (int k = 0; k < size; ++k)
            image += static_cast<char>((k * 151 + 7) & 0xFF);
        std::ofstream(dir / "a.bin", std::ios::binary) << image;
        EXPECT_EQ(run_cli_in(dir, std::string("--chip ") + chip + " convert a.bin b.bin").status,
                  0);
        EXPECT_EQ(read_text(dir / "b.bin"), image) << chip;
    }
}

// Every save refuses a file made read-only, names it and leaves it as it was (also for root).
TEST(CliFilesTest, SavesLeaveReadOnlyFilesAlone) {
    ScratchDir dir("readonly");
    std::ofstream(dir / "in.hex") << kNumberedImage;
    for (const char* arguments :
         {"convert in.hex locked.hex", "--virtual-board read locked.hex",
          "--virtual-board --chip-save locked.hex erase",
          "--virtual-board --serial rom --serial-start 10 --serial-end 11 --serial-save program "
          "locked.hex"}) {
        std::filesystem::copy_file(dir / "in.hex", dir / "locked.hex",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(dir / "locked.hex", std::filesystem::perms::owner_read);
        const RunResult r = run_cli_in(dir, std::string("--chip 16F877A ") + arguments);
        EXPECT_EQ(r.status, 1) << arguments;
        EXPECT_THAT(r.err, HasSubstr("locked.hex is read-only: it was not replaced")) << arguments;
        EXPECT_EQ(read_text(dir / "locked.hex"), read_text(dir / "in.hex")) << arguments;
        std::filesystem::permissions(dir / "locked.hex", std::filesystem::perms::owner_all);
    }
}

TEST(CliFilesTest, DumpPrintsGridRowsThenLabels) {
    ScratchDir dir("dump");
    std::ofstream(dir / "in.hex") << kImages[1].hex;
    const RunResult r = run_cli(dir, "--chip 16F84A dump '" + (dir / "in.hex") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const Strings all = lines_of(r.out);
    // 16F84A: header + 128 program rows + EEPROM header + 8 EEPROM rows, then 11 labels.
    ASSERT_EQ(all.size(), 1u + 128 + 1 + 8 + 11);
    EXPECT_EQ(std::count(all[1].begin(), all[1].end(), '\t'), 18);
    EXPECT_THAT(all[1], ::testing::StartsWith("0000:\t3055\t0086\t2802\t3FFF\t"));
    EXPECT_EQ(all[all.size() - 11], "lab_fuse1=0x3FF1");
    EXPECT_EQ(all.back(), "lab_checksum=Checksum 0xD4D1");
}

TEST(CliFilesTest, InfoListsEveryKeyThenTheWordCount) {
    ScratchDir dir("info");
    const RunResult r = run_cli(dir, "--chip 18F452 info");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, ::testing::StartsWith("EraseMode=05\nFlashChip=1\n"));
    EXPECT_THAT(r.out, HasSubstr("\nROMsize=16384\nEEPROMsize=256\n"));
    EXPECT_THAT(r.out, HasSubstr("\nCHIPbit=3\n"));
    EXPECT_THAT(r.out, HasSubstr("\nLIST46="));
    EXPECT_THAT(r.out, ::testing::EndsWith("\nFuseWordCount=7\n"));
}

TEST(CliFilesTest, ChipsOfAFamily) {
    ScratchDir dir("chips");
    const RunResult r = run_cli(dir, "--family 'I2C/SPI EEPROM' chips");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, ::testing::StartsWith("24xx01\n24xx02\n"));
    EXPECT_THAT(r.out, HasSubstr("\n93xx46(16bit)\n"));
}

TEST(CliFilesTest, BadUsageExitsTwo) {
    ScratchDir dir("usage");
    for (const char* arguments : {"",
                                  "frob",
                                  "checksum",
                                  "convert a.hex",
                                  "--model 5 info",
                                  "--model x info",
                                  "--yes --no erase",
                                  "--steps rom erase",
                                  "--steps rom,fuse program a.hex",
                                  "--chip-save x.hex erase",
                                  "--virtual-board --chip-save x.hex info",
                                  "--chip NOSUCH info",
                                  "--virtual-board --virtual-chip NOSUCH erase",
                                  "--family 'No family' chips",
                                  "--bogus info",
                                  "--quiet=1 info",
                                  "serve-board --deliver frame:0",
                                  "serve-board --deliver usb",
                                  "--link x version",
                                  "--virtual-board serve-board",
                                  "--port /dev/ttyS0 serve-board",
                                  "--virtual-chip NOSUCH serve-board",
                                  "records --since yesterday",
                                  "records --since 2026-02-31",
                                  "records --csv --json",
                                  "records --csv --summary",
                                  "records --serial rom",
                                  "records --serial 12 --summary",
                                  "records --values x.txt",
                                  "records --log x.csv",
                                  "sequence A --since 1h",
                                  "--station s chips",
                                  "--sequence LINE --no-serial program x.hex",
                                  "--sequence LINE --serial-save program x.hex"}) {
        const RunResult r = run_cli(dir, arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_THAT(r.err, HasSubstr("ze-zuzu-cli: ")) << arguments;
        EXPECT_EQ(r.out, "") << arguments;
    }
}

TEST(CliFilesTest, UnreadableInputExitsTwo) {
    ScratchDir dir("unreadable");
    const RunResult r = run_cli(dir, "--chip 16F84A checksum '" + (dir / "missing.hex") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, ::testing::StartsWith("Error: Cannot open file "));
}

} // namespace
} // namespace zz::test
