// The window's option flags on the command line, seen in the exchange (--trace) and in the chip
// the virtual board keeps; chips that only a family list names.
#include "base/version.h"
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// A 14-bit flash chip whose only varying keys are its power sequence and ICSPonly.
std::string chip_section(const std::string& name, const std::string& power, bool icsp_only) {
    return "[" + name + "]\nEraseMode=05\nFlashChip=1\nPowerSequence=" + power +
           "\nProgramDelay=10\nProgramTries=01\nOverProgram=00\nCoreType=03\nROMsize=64\n"
           "EEPROMsize=16\nSocketImage=40\nCALword=0\nBandGap=0\nICSPonly=" +
           (icsp_only ? "1" : "0") +
           "\nChipID=FFFF\nCHIPbit=2\nROMblank=3FFF\nFUSEOR=0\nProgramFlags=08\nFUSEblank=3FFF\n";
}

// The power byte of the set-up frame "03" in a trace: after the sizes (4 + 4 digits), CoreType,
// ProgramFlags and ProgramDelay.
std::string power_byte(const std::string& trace) {
    constexpr std::size_t kFrameDigits = 24;
    const std::size_t at = trace.find("\n> 03");
    if (at == std::string::npos)
        return "no set-up frame";
    const std::string frame = trace.substr(at + 3, kFrameDigits);
    return frame.size() == kFrameDigits ? frame.substr(16, 2) : "short frame";
}

class CliFlagsTest : public ::testing::Test {
protected:
    CliFlagsTest() : dir(::testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    // A data folder for model 3 holding the chips PS01, PS02, PS04 and PS10 (power sequence
    // 01, 02, 04, 10) and ONLY02, an ICSPonly chip with power sequence 02.
    std::string power_chips() {
        std::ofstream(dir / "3-chip.ini") << "[PS01]\n[PS02]\n[PS04]\n[PS10]\n[ONLY02]\n";
        std::ofstream(dir / "3-chip0.ini")
            << chip_section("PS01", "01", false) << chip_section("PS02", "02", false)
            << chip_section("PS04", "04", false) << chip_section("PS10", "10", false)
            << chip_section("ONLY02", "02", true);
        return "--data-dir '" + dir.path().string() + "' ";
    }

    std::string hex_file(const std::string& name, const std::string& text) {
        std::ofstream(dir / name) << text;
        return dir / name;
    }

    ScratchDir dir;
};

struct PowerCase {
    const char* chip;
    // The power byte in socket mode, with VPP first, in-circuit, in-circuit with VPP first.
    const char* socket;
    const char* socket_vpp;
    const char* icsp;
    const char* icsp_vpp;
};

TEST_F(CliFlagsTest, SetUpFrameCarriesThePowerByteOfEveryMode) {
    const std::string data = power_chips();
    const PowerCase cases[] = {
        {"PS01", "01", "03", "01", "03"},
        {"PS02", "02", "04", "01", "03"},
        {"PS04", "04", "04", "03", "03"},
        {"PS10", "10", "10", "10", "03"},
        // In circuit whether or not --icsp is given.
        {"ONLY02", "01", "03", "01", "03"},
    };
    for (const PowerCase& c : cases) {
        const std::pair<const char*, const char*> modes[] = {{"", c.socket},
                                                             {"--vpp-first ", c.socket_vpp},
                                                             {"--icsp ", c.icsp},
                                                             {"--icsp --vpp-first ", c.icsp_vpp}};
        for (const auto& [flags, expected] : modes) {
            const RunResult r = run_cli(dir, data + "--virtual-board --trace --chip " + c.chip +
                                                 " " + flags + "blank");
            EXPECT_EQ(r.status, 0) << c.chip << " " << flags << r.out << r.err;
            EXPECT_EQ(power_byte(r.err), expected) << c.chip << " " << flags;
        }
    }
}

TEST_F(CliFlagsTest, InCircuitWithVppFirstProgramsTheChip) {
    const std::string hex = hex_file("code.hex", ":06000000553086000228C5\n:00000001FF\n");
    const RunResult r = run_cli(dir, "--virtual-board --icsp --vpp-first --chip 16F877A --trace "
                                     "--chip-save '" +
                                         (dir / "chip.hex") + "' program '" + hex + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(power_byte(r.err), "03");
    EXPECT_THAT(r.out, HasSubstr("Information: Programming complete."));
    EXPECT_THAT(read_text(dir / "chip.hex"), HasSubstr("553086000228"));
}

TEST_F(CliFlagsTest, InCircuitModeIsRefusedWhereTheWindowRefusesIt) {
    const std::string out = "'" + (dir / "out.hex") + "'";
    const RunResult eeprom = run_cli(dir, "--virtual-board --chip 24xx01 --icsp read " + out);
    EXPECT_EQ(eeprom.status, 2);
    EXPECT_EQ(eeprom.out, "Information: Then chip not icsp mode\n");

    const RunResult model4 =
        run_cli(dir, "--virtual-board --model 4 --chip 16F877A --icsp --trace read " + out);
    EXPECT_EQ(model4.status, 2);
    EXPECT_THAT(model4.err,
                HasSubstr("Error: --icsp: programmer model 4 (VO300) has no ICSP mode"));
    // Refused before any chip command reaches the board.
    EXPECT_THAT(model4.err, Not(HasSubstr("> 03")));
    EXPECT_FALSE(std::filesystem::exists(dir / "out.hex"));
}

// The socket holds a 16F876A while a 16F877A is selected.
TEST_F(CliFlagsTest, NoChipCheckTakesAWrongDeviceIdWithoutAQuestion) {
    const std::string hex = hex_file("code.hex", ":06000000553086000228C5\n:00000001FF\n");
    const RunResult r =
        run_cli(dir, "--virtual-board --chip 16F877A --virtual-chip 16F876A --no-chip-check "
                     "--chip-save '" +
                         (dir / "chip.hex") + "' program '" + hex + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out + r.err, Not(HasSubstr("Invalid target device ID")));
    EXPECT_THAT(r.out, HasSubstr("Information: Programming complete."));
    EXPECT_THAT(read_text(dir / "chip.hex"), HasSubstr("553086000228"));
}

// A 12F629 keeps its factory calibration instruction (RETLW 80h, 3480h) in its last word, 3FFh;
// the file holds RETLW 44h there.
TEST_F(CliFlagsTest, CalibrationWordComesFromTheChosenSource) {
    const std::string hex =
        hex_file("code.hex", ":0600000007309900022800\n:0207FE00443481\n:00000001FF\n");
    const auto last_word_after = [&](const std::string& flags) {
        const RunResult r =
            run_cli(dir, "--virtual-board --chip 12F629 " + flags + " --chip-save '" +
                             (dir / "chip.hex") + "' program '" + hex + "'");
        EXPECT_EQ(r.status, 0) << flags << r.out << r.err;
        const std::string chip = read_text(dir / "chip.hex");
        return chip.find("4434") != std::string::npos   ? "file"
               : chip.find("8034") != std::string::npos ? "chip"
                                                        : "neither";
    };
    EXPECT_EQ(last_word_after(""), "chip");
    EXPECT_EQ(last_word_after("--osccal-from chip"), "chip");
    EXPECT_EQ(last_word_after("--osccal-from file"), "file");
}

TEST_F(CliFlagsTest, VerifyStepReadsTheProgramMemoryOnceMore) {
    const std::string hex = hex_file("code.hex", ":06000000553086000228C5\n:00000001FF\n");
    const auto reads = [&](const std::string& steps) {
        const RunResult r = run_cli(dir, "--virtual-board --chip 16F877A --trace " + steps +
                                             " program '" + hex + "'");
        EXPECT_EQ(r.status, 0) << steps << r.err;
        std::size_t count = 0;
        for (std::size_t at = 0; (at = r.err.find("> 0B\n", at)) != std::string::npos; ++at)
            ++count;
        return count;
    };
    EXPECT_EQ(reads("--steps rom"), 0u);
    EXPECT_EQ(reads("--steps rom,verify"), 1u);
    // Without --steps, the window's ticks: verify among them.
    EXPECT_EQ(reads(""), 1u);
}

TEST_F(CliFlagsTest, ChipOnlyAListNamesIsSelectedWithItsDefaults) {
    std::ofstream(dir / "3-chip.ini") << "[16F84A]\n[LISTED]\n";
    std::ofstream(dir / "3-chip0.ini") << chip_section("16F84A", "02", false);
    const std::string data = "--data-dir '" + dir.path().string() + "' ";

    const RunResult listed = run_cli(dir, data + "--chip LISTED info");
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_THAT(listed.out, HasSubstr("\nChipID=200E\n"));
    EXPECT_EQ(run_cli(dir, data + "--chip NOWHERE info").status, 2);
}

TEST_F(CliFlagsTest, VersionNamesTheProgram) {
    const RunResult r = run_cli(dir, "--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "ze-zuzu-cli " ZZ_VERSION "\n");
}

struct UsageCase {
    const char* arguments;
    const char* message;
};

TEST_F(CliFlagsTest, FlagsNeedABoardCommandAndKnownValues) {
    const UsageCase cases[] = {
        {"--icsp chips", "need a board command"},
        {"--osccal-from board --virtual-board erase", "--osccal-from takes chip or file"},
        {"--steps rom,check program x.hex", "--steps takes blank,erase,eeprom,rom,fuses,verify"},
        {"--no-chip-check=1 erase", "--no-chip-check takes no value"},
    };
    for (const UsageCase& c : cases) {
        const RunResult r = run_cli(dir, c.arguments);
        EXPECT_EQ(r.status, 2) << c.arguments;
        EXPECT_THAT(r.err, HasSubstr(c.message)) << c.arguments;
    }
}

} // namespace
} // namespace zz::test
