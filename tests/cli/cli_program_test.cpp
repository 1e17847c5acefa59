// The command line driving the virtual board: programming, verifying and reading a chip with
// HEX files assembled by gpasm, checked with srec_cmp.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// Code at 0, ID locations, configuration word and data EEPROM.
constexpr const char* k877a = R"(
    include <p16f877a.inc>
    __CONFIG _HS_OSC & _WDT_OFF & _LVP_OFF
    __idlocs 0x1234
    org 0
    movlw 0x55
    movwf PORTB
    goto $
    org 0x2100
    de 1, 2, 3, "AB"
    end
)";

class CliProgramTest : public ::testing::Test {
protected:
    CliProgramTest() : dir(::testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    // Assembles `source` for `processor` into dir/name.
    std::string assemble(const std::string& name, const std::string& source,
                         const std::string& processor) {
        std::ofstream(dir / (name + ".asm")) << source;
        const RunResult r = run_shell(dir, "gpasm -p " + processor + " -o '" + (dir / name) +
                                               "' '" + (dir / (name + ".asm")) + "'");
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        return dir / name;
    }

    // Programs a blank 16F877A with the test program; the chip is saved to dir/chip.hex.
    std::string programmed_877a() {
        const std::string hex = assemble("code.hex", k877a, "16f877a");
        const RunResult r = run_cli(dir, "--virtual-board --chip 16F877A --chip-save '" +
                                             (dir / "chip.hex") + "' program '" + hex + "'");
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_THAT(r.out, HasSubstr("Information: Programming complete."));
        return hex;
    }

    bool same_image(const std::string& a, const std::string& b, bool within_a = false) {
        const std::string crop = within_a ? " -crop -within '" + a + "' -intel" : "";
        return run_shell(dir, "srec_cmp '" + a + "' -intel '" + b + "' -intel" + crop).status == 0;
    }

    ScratchDir dir;
};

TEST_F(CliProgramTest, ProgrammedChipHoldsTheFileAndVerifies) {
    const std::string hex = programmed_877a();
    EXPECT_TRUE(same_image(hex, dir / "chip.hex", true));

    const RunResult verified = run_cli(dir, "--virtual-board --chip 16F877A --chip-image '" +
                                                (dir / "chip.hex") + "' verify '" + hex + "'");
    EXPECT_EQ(verified.status, 0) << verified.err;
    EXPECT_EQ(verified.out, "Information: Data verification complete\n");
}

TEST_F(CliProgramTest, VerifyAgainstAChangedFileReportsTheDifference) {
    programmed_877a();
    const std::string changed =
        assemble("changed.hex",
                 std::string(k877a).replace(std::string(k877a).find("0x55"), 4, "0x56"), "16f877a");
    const RunResult r = run_cli(dir, "--virtual-board --chip 16F877A --chip-image '" +
                                         (dir / "chip.hex") + "' verify '" + changed + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error: Error in verification ROM error at address 0x0000 Good:3056 "
                     "Bad:3055\n");
    EXPECT_EQ(r.out, "");
}

TEST_F(CliProgramTest, ReadBackEqualsTheChip) {
    programmed_877a();
    const RunResult r =
        run_cli(dir, "--virtual-board --chip 16F877A --chip-image '" + (dir / "chip.hex") +
                         "' read '" + (dir / "back.hex") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(same_image(dir / "back.hex", dir / "chip.hex"));
}

// The socket holds a 16F876A while a 16F877A is selected: the operator is asked whether to go on.
TEST_F(CliProgramTest, DeviceIdMismatchFollowsTheAnswer) {
    const std::string hex = assemble("code.hex", k877a, "16f877a");
    const std::string base = "--virtual-board --chip 16F877A --virtual-chip 16F876A --chip-save '" +
                             (dir / "chip.hex") + "' ";
    const RunResult refused = run_cli(dir, base + "program '" + hex + "'");
    EXPECT_EQ(refused.status, 1);
    EXPECT_THAT(refused.err, HasSubstr("Information: Invalid target device ID expected:200Eread:"
                                       "000E Continue to program this chip? -- answered No"));
    EXPECT_FALSE(same_image(hex, dir / "chip.hex", true));

    const RunResult accepted = run_cli(dir, base + "--yes program '" + hex + "'");
    EXPECT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_THAT(accepted.err, HasSubstr("-- answered Yes"));
    EXPECT_TRUE(same_image(hex, dir / "chip.hex", true));
}

// Each run is a new session; verify reads the chip's calibration word rather than reporting it.
TEST_F(CliProgramTest, CalibrationWordSurvivesProgramAndVerifies) {
    const std::string hex = assemble("code.hex", R"(
    include <p12f629.inc>
    __CONFIG _INTRC_OSC_NOCLKOUT & _WDT_OFF
    org 0
    movlw 0x07
    movwf CMCON
    goto $
    end
)",
                                     "12f629");
    const std::string base =
        "--virtual-board --chip 12F629 --chip-save '" + (dir / "chip.hex") + "' ";
    ASSERT_EQ(run_cli(dir, base + "program '" + hex + "'").status, 0);
    const RunResult r =
        run_cli(dir, base + "--chip-image '" + (dir / "chip.hex") + "' verify '" + hex + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    // The factory calibration instruction (RETLW 80h) stays in the last word, 3FFh.
    EXPECT_THAT(read_text(dir / "chip.hex"), HasSubstr("8034"));
}

struct StatusCase {
    const char* name;
    const char* arguments; // after the chip options; CHIP is the programmed chip's image
    int status;
    const char* printed; // on stdout or stderr
};

class CliStatusTest : public CliProgramTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(CliStatusTest, ExitStatusFollowsTheOutcome) {
    programmed_877a();
    std::string arguments = GetParam().arguments;
    if (const auto at = arguments.find("CHIP"); at != std::string::npos)
        arguments.replace(at, 4, "--chip-image '" + (dir / "chip.hex") + "'");
    const RunResult r = run_cli(dir, "--virtual-board --chip 16F877A " + arguments);
    EXPECT_EQ(r.status, GetParam().status) << r.out << r.err;
    EXPECT_THAT(r.out + r.err, HasSubstr(GetParam().printed));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliStatusTest,
    ::testing::Values(
        StatusCase{"BlankChip", "blank", 0, "ID=Erased config=Erased ROM=Erased"},
        StatusCase{"ProgrammedChipIsNotBlank", "CHIP blank", 1, "ROM=Not Erased"},
        StatusCase{"Erase", "CHIP erase", 0, "Information: Chip erase complete."},
        StatusCase{"Version", "version", 0, "Information: Hardware version:V2.37"},
        StatusCase{"NoStepLeft", "--chip 24xx01 --steps eeprom,blank program /dev/null", 1,
                   "Information: No Program Options"},
        StatusCase{"SerialEepromHasNoBlankCheck", "--chip 24xx01 blank", 1,
                   "Error: blank is not available for the chip 24xx01"},
        StatusCase{"NoEeprom", "--chip 24xx01 write-eeprom /dev/null", 1,
                   "Information: This chip does not have EEPROM"},
        StatusCase{"UnreadableFile", "verify /nonexistent/x.hex", 2, "Error: Cannot open file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliProgramTest, JsonKeepsMessageLinesAndTraceShowsTheExchange) {
    const RunResult r = run_cli(dir, "--virtual-board --chip 16F877A --json --trace blank");
    EXPECT_EQ(r.status, 0);
    EXPECT_THAT(r.out, StartsWith("{\"command\":\"blank\",\"exit\":0,\"messages\":[{\"caption\":"
                                  "\"Information\",\"lines\":[\"   ID=Erased  \","));
    EXPECT_THAT(r.out, HasSubstr("\"blank\":{\"id\":true,\"config\":true,\"rom\":true,"
                                 "\"eeprom\":true}"));
    // Identity, handshake, set-up frame with its answer; the closing "01" answered by "50".
    EXPECT_THAT(r.err, StartsWith("< 4204\n> 50\n< 50\n> 03"));
    EXPECT_THAT(r.err, HasSubstr("> 01\n< 50\n"));
    EXPECT_THAT(r.err, Not(HasSubstr("Information")));
}

TEST_F(CliProgramTest, SerialEepromProgramsAndReadsBack) {
    std::ofstream(dir / "data.hex") << ":0400000001020304F2\n:00000001FF\n";
    const std::string base =
        "--virtual-board --chip 24xx01 --chip-save '" + (dir / "chip.hex") + "' ";
    ASSERT_EQ(run_cli(dir, base + "program '" + (dir / "data.hex") + "'").status, 0);
    const RunResult r = run_cli(dir, base + "--chip-image '" + (dir / "chip.hex") + "' read '" +
                                         (dir / "back.hex") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(same_image(dir / "data.hex", dir / "back.hex", true));
    EXPECT_TRUE(same_image(dir / "chip.hex", dir / "back.hex"));
}

} // namespace
} // namespace zz::test
