// The command line's buffer edits (--fill, --osccal, --bandgap) and the calibration command on
// the virtual board.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

// 16F84A: three words at 0, configuration word 3FF1.
constexpr const char* k84a = ":06000000553086000228C5\n:02400E00F13F80\n:00000001FF\n";
// 12F629: the calibration instruction RETLW 54h (3454) in the last word, 3FFh, and configuration
// word 1 with the BandGap bits 10.
constexpr const char* k629Chip = ":0207FE00543471\n:02400E00FF2190\n:00000001FF\n";

TEST(CliEditTest, FillOfOneRowChangesExactlyThoseCells) {
    ScratchDir dir("fill_row");
    std::ofstream(dir / "in.hex") << k84a;
    const RunResult converted =
        run_cli(dir, "--chip 16F84A --fill rom:0-7=0000 convert '" + (dir / "in.hex") + "' '" +
                         (dir / "out.hex") + "'");
    ASSERT_EQ(converted.status, 0) << converted.err;
    const RunResult before = run_cli(dir, "--chip 16F84A dump '" + (dir / "in.hex") + "'");
    const RunResult after = run_cli(dir, "--chip 16F84A dump '" + (dir / "out.hex") + "'");
    ASSERT_EQ(after.status, 0) << after.err;
    const auto old_lines = lines_of(before.out);
    const auto new_lines = lines_of(after.out);
    ASSERT_EQ(new_lines.size(), old_lines.size());
    // Row 0000: eight zero words with their printable views; the checksum follows them.
    EXPECT_EQ(new_lines[1], "0000:\t0000\t0000\t0000\t0000\t0000\t0000\t0000\t0000\t\t"
                            "..\t..\t..\t..\t..\t..\t..\t..\t");
    EXPECT_THAT(old_lines[1], ::testing::StartsWith("0000:\t3055\t0086\t2802\t3FFF"));
    for (std::size_t k = 0; k < new_lines.size(); ++k) {
        if (k != 1 && !new_lines[k].starts_with("lab_checksum=")) {
            EXPECT_EQ(new_lines[k], old_lines[k]) << "line " << k;
        }
    }
    EXPECT_EQ(new_lines.back(), "lab_checksum=Checksum 0x3BF9") << "1016 x 3FFF + 3FF1";
}

TEST(CliEditTest, FillsApplyInOrderToBothAreas) {
    ScratchDir dir("fill_order");
    std::ofstream(dir / "in.hex") << k84a;
    const RunResult r = run_cli(dir, "--chip 16F84A --fill rom:1-3=1111 --fill rom:2-2=2222 "
                                     "--fill=eeprom:3f-3f=5a dump '" +
                                         (dir / "in.hex") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("0000:\t3055\t1111\t2222\t1111\t3FFF\t"));
    EXPECT_THAT(r.out, HasSubstr("0038:\tFF\tFF\tFF\tFF\tFF\tFF\tFF\t5A\t"));
}

TEST(CliEditTest, RefusedEditsExitTwoWithTheReasonAndPrintNothing) {
    ScratchDir dir("refused");
    std::ofstream(dir / "in.hex") << k84a;
    const std::pair<const char*, const char*> cases[] = {
        {"--chip 16F84A --fill rom:0-400=0000", "Error: End address cannot exceed chips rom size"},
        {"--chip 16F84A --fill rom:-7=0000", "Error: Start address cannot be blank"},
        {"--chip 16F84A --fill rom:0-7=00", "Error: Fill value cannot be less than 4 digit data"},
        {"--chip 16F84A --fill eeprom:0-7=0g", "is not a hex number of at most 2 digits"},
        {"--chip 10F200 --fill eeprom:0-0=00",
         "Error: Start address can not exceed chip eepromsize"},
        {"--chip 12F629 --osccal 5", "Error: --osccal 5: OSCCAL value must be two hex digits"},
        {"--chip 12F629 --bandgap 21", "Bandgap value must be two digits, 0 or 1"},
        {"--chip 16F84A --osccal 80", "Error: This chip keeps no OSCCAL calibration value"},
        {"--chip 10F200 --bandgap 10", "Error: This chip has no BandGap bits"},
    };
    for (const auto& [options, message] : cases) {
        const RunResult r = run_cli(dir, std::string(options) + " dump '" + (dir / "in.hex") + "'");
        EXPECT_EQ(r.status, 2) << options;
        EXPECT_THAT(r.err, HasSubstr(message)) << options;
        EXPECT_EQ(r.out, "") << options;
    }
    for (const char* usage :
         {"--fill rom:0-7 dump x.hex", "--fill flash:0-7=00 dump x.hex",
          "--fill rom:0-7=0000 erase", "--osccal 80 read x.hex", "--osccal= dump x.hex"}) {
        const RunResult r = run_cli(dir, usage);
        EXPECT_EQ(r.status, 2) << usage;
        EXPECT_THAT(r.err, HasSubstr("ze-zuzu-cli: ")) << usage;
    }
}

TEST(CliEditTest, CalibrationValuesGoIntoTheConvertedImage) {
    ScratchDir dir("cal_convert");
    std::ofstream(dir / "in.hex") << ":00000001FF\n";
    const RunResult converted =
        run_cli(dir, "--chip 12F629 --osccal 5a --bandgap 01 convert '" + (dir / "in.hex") + "' '" +
                         (dir / "out.hex") + "'");
    ASSERT_EQ(converted.status, 0) << converted.err;
    const RunResult r = run_cli(dir, "--chip 12F629 dump '" + (dir / "out.hex") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("03F8:\t3FFF\t3FFF\t3FFF\t3FFF\t3FFF\t3FFF\t3FFF\t345A\t"));
    EXPECT_THAT(r.out, HasSubstr("lab_fuse1=0x11FF\n"));
    EXPECT_THAT(r.out, HasSubstr("lab_band=BandGap  01\n"));
}

TEST(CliEditTest, CalibrationPrintsTheChipsWordAndBandgapBits) {
    ScratchDir dir("calibration");
    std::ofstream(dir / "chip.hex") << k629Chip;
    const std::string chip =
        "--virtual-board --chip 12F629 --chip-image '" + (dir / "chip.hex") + "' ";
    const RunResult r = run_cli(dir, chip + "calibration");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "osccal=3454\nbandgap=10\n");
    const RunResult json = run_cli(dir, chip + "--json calibration");
    EXPECT_THAT(json.out, HasSubstr("\"osccal\":\"3454\""));
    EXPECT_THAT(json.out, HasSubstr("\"bandgap\":\"10\""));

    const RunResult twelve_bit = run_cli(dir, "--virtual-board --chip 10F200 calibration");
    EXPECT_EQ(twelve_bit.status, 0) << twelve_bit.err;
    EXPECT_EQ(twelve_bit.out, "osccal=0C80\n"); // the virtual chip's factory value; no BandGap

    const RunResult none = run_cli(dir, "--virtual-board --chip 16F877A calibration");
    EXPECT_EQ(none.status, 1);
    EXPECT_THAT(none.err, HasSubstr("Error: This chip keeps no OSCCAL calibration value"));
    EXPECT_EQ(none.out, "");
}

} // namespace
} // namespace zz::test
