// The command line on files and the chip database alone: checksum, convert, dump, info, chips,
// and bad usage.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

TEST(CliFilesTest, DumpPrintsGridRowsThenLabels) {
    ScratchDir dir("dump");
    std::ofstream(dir / "in.hex") << kImages[1].hex;
    const RunResult r = run_cli(dir, "--chip 16F84A dump '" + (dir / "in.hex") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line))
        all.push_back(line);
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
    for (const char* arguments :
         {"", "frob", "checksum", "convert a.hex", "--model 5 info", "--model x info",
          "--yes --no erase", "--steps rom erase", "--steps rom,fuse program a.hex",
          "--chip-save x.hex erase", "--virtual-board --chip-save x.hex info", "--chip NOSUCH info",
          "--virtual-board --virtual-chip NOSUCH erase", "--family 'No family' chips",
          "--bogus info", "--quiet=1 info", "serve-board --deliver frame:0",
          "serve-board --deliver usb", "--link x version", "--virtual-board serve-board",
          "--port /dev/ttyS0 serve-board", "--virtual-chip NOSUCH serve-board"}) {
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
