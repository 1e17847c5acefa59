// The fuse settings by name on images built by the GNU PIC assembler: `fuses` names what the
// assembler was asked for, and --set changes exactly the chosen setting's bits.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

struct FuseCase {
    const char* chip;
    const char* source;             // assembled with gpasm
    std::vector<const char*> shown; // lines `fuses` prints, without their option lists
    const char* set;                // one --set
    const char* shown_after;        // its line in `fuses` of the converted image
    const char* word;               // the label that changes
    unsigned bits;                  // and the bits that flip
};

const FuseCase kCases[] = {
    {"16F877A",
     R"(    list p=16f877a
    include <p16f877a.inc>
    __CONFIG _CP_OFF & _WDT_OFF & _HS_OSC & _LVP_OFF & _PWRTE_ON & _WRT_256
    org 0
    goto 0
    end
)",
     {"Oscillator = HS", "Watchdog Timer = Off", "Power-up Timer = On", "Brown-out Reset = On",
      "Low-Voltage Prog. = Off", "Flash Write Protect = 256", "Code Protect = Off"},
     "Watchdog Timer=On",
     "Watchdog Timer = On",
     "lab_fuse1",
     0x0004},
    // BandGap bits 10 (bits 13-12), given by the value ANDed in.
    {"12F629",
     R"(    list p=12f629
    include <p12f629.inc>
    __CONFIG _CPD_OFF & _CP_OFF & _BODEN_ON & _MCLRE_OFF & _PWRTE_ON & _WDT_OFF & _INTRC_OSC_NOCLKOUT & 0x2FFF
    org 0
    goto 0
    end
)",
     {"Oscillator = INTRCIO", "Watchdog Timer = Off", "Power-up Timer = On", "MCLR Enable = Off",
      "Brown-out Reset = On", "Code Protect = Off", "Data EE Protect = Off"},
     " watchdog  = ON ",
     "Watchdog Timer = On",
     "lab_fuse1",
     0x0008},
    {"16F88",
     R"(    list p=16f88
    include <p16f88.inc>
    __CONFIG _CONFIG1, _CP_OFF & _CCP1_RB3 & _DEBUG_OFF & _WRT_PROTECT_OFF & _CPD_OFF & _LVP_OFF & _BOREN_OFF & _MCLR_ON & _PWRTE_ON & _WDT_OFF & _HS_OSC
    __CONFIG _CONFIG2, _IESO_OFF & _FCMEN_ON
    org 0
    goto 0
    end
)",
     {"Oscillator = HS", "Watchdog Timer = Off", "Brown-out Reset = Off", "CCP1 Pin = RB3",
      "Low-Voltage Prog. = Off", "Fail-Safe Clock Mon. = On", "Osc. Switchover = Off"},
     "Osc. Switch=On",
     "Osc. Switchover = On",
     "lab_fuse2",
     0x0002},
    {"18F4550",
     R"(    list p=18f4550
    include <p18f4550.inc>
    CONFIG FOSC = HSPLL_HS, PLLDIV = 5, CPUDIV = OSC1_PLL2, USBDIV = 2, WDT = OFF, WDTPS = 128
    CONFIG BOR = SOFT, BORV = 2, LVP = OFF, PBADEN = OFF, MCLRE = ON, XINST = OFF, CP0 = ON
    org 0
    goto 0
    end
)",
     {"PLL Prescale = 5", "CPU Clock Divide = OSC1_PLL2", "USB Clock Divide = 2",
      "Oscillator = HSPLL_HS", "Watchdog Timer = Off", "Watchdog Postscale = 1:128",
      "Brown-out Reset = SOFT", "Brown-out Voltage = 2", "PORTB A/D = Off", "MCLR Enable = On",
      "Low-Voltage Prog. = Off", "Extended Instr. = Off", "Code Protect Blk 0 = On",
      "Code Protect Blk 1 = Off"},
     "Watchdog Timer=On",
     "Watchdog Timer = On",
     "lab_fuse2",
     0x0100},
};

std::string chip_option(const FuseCase& c) {
    return std::string("--chip '") + c.chip + "' ";
}

// The value of `label` in the output of `dump`.
unsigned label_word(const std::string& dump, const std::string& label) {
    const auto at = dump.find("\n" + label + "=0x");
    return at == std::string::npos ? 0x10000u
                                   : std::stoul(dump.substr(at + label.size() + 4, 4), nullptr, 16);
}

// The dump without the lines of `label` and of the checksum.
std::string without(const std::string& dump, const std::string& label) {
    std::istringstream lines(dump);
    std::string out, line;
    while (std::getline(lines, line))
        if (!line.starts_with(label + "=") && !line.starts_with("lab_checksum="))
            out += line + "\n";
    return out;
}

class CliFusesTest : public ::testing::TestWithParam<FuseCase> {};

TEST_P(CliFusesTest, NamesTheAssemblersChoicesAndSetChangesExactlyThatSetting) {
    const FuseCase& c = GetParam();
    ScratchDir dir(std::string("fuses-") + c.chip);
    std::ofstream(dir / "a.asm") << c.source;
    ASSERT_EQ(run_shell(dir, "cd '" + dir.path().string() + "' && gpasm -o a.hex a.asm").status, 0);
    const std::string chip = chip_option(c);

    const RunResult before = run_cli(dir, chip + "fuses '" + (dir / "a.hex") + "'");
    ASSERT_EQ(before.status, 0) << before.err;
    for (const char* line : c.shown)
        EXPECT_THAT("\n" + before.out, HasSubstr("\n" + std::string(line) + "   (")) << line;

    const RunResult converted = run_cli(dir, chip + "--set '" + c.set + "' convert '" +
                                                 (dir / "a.hex") + "' '" + (dir / "b.hex") + "'");
    ASSERT_EQ(converted.status, 0) << converted.err;
    const RunResult after = run_cli(dir, chip + "fuses '" + (dir / "b.hex") + "'");
    EXPECT_THAT("\n" + after.out, HasSubstr("\n" + std::string(c.shown_after) + "   ("));

    const std::string dump_a = run_cli(dir, chip + "dump '" + (dir / "a.hex") + "'").out;
    const std::string dump_b = run_cli(dir, chip + "dump '" + (dir / "b.hex") + "'").out;
    EXPECT_EQ(label_word(dump_a, c.word) ^ label_word(dump_b, c.word), c.bits);
    EXPECT_EQ(without(dump_a, c.word), without(dump_b, c.word));
}

INSTANTIATE_TEST_SUITE_P(FourChips, CliFusesTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string("PIC") + info.param.chip; });

class CliFuseOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(dir / "a.hex") << ":02400E00723FFF\n:00000001FF\n"; // 16F877A, 0x3F72
    }
    RunResult cli(const std::string& arguments) {
        return run_cli(dir, "--chip 16F877A " + arguments);
    }
    ScratchDir dir{"fuse-options"};
    std::string a = "'" + (dir / "a.hex") + "'";
    std::string b = "'" + (dir / "b.hex") + "'";
};

TEST_F(CliFuseOptionsTest, WrongNamesExitTwoWithTheValidOnes) {
    struct Case {
        const char* set;
        const char* said;
    };
    const Case cases[] = {
        {"Watchdg=On", "no fuse setting \"Watchdg\" (valid: Oscillator, Watchdog Timer, "},
        {"Watchdog Timer=Of", ""},
        {"Watchdog Timer=O", "option \"O\" of Watchdog Timer is ambiguous (Off, On)"},
        {"Oscillator=Crystal", "Oscillator has no option \"Crystal\" (valid: LP, XT, HS, RC)"},
        {"=On", "no fuse setting \"\""},
    };
    for (const Case& c : cases) {
        const RunResult r = cli(std::string("--set '") + c.set + "' convert " + a + " " + b);
        if (*c.said) {
            EXPECT_EQ(r.status, 2) << c.set;
            EXPECT_THAT(r.err, HasSubstr(std::string("Error: 16F877A: ") + c.said)) << c.set;
        } else {
            EXPECT_EQ(r.status, 0) << c.set << r.err;
        }
    }
    for (const char* usage : {"--set Watchdog convert x y", "--set A=B write-rom x",
                              "--set A=B fuses", "--set-id 12 erase"}) {
        const RunResult r = cli(usage);
        EXPECT_EQ(r.status, 2) << usage;
        EXPECT_THAT(r.err, HasSubstr("ze-zuzu-cli: --set")) << usage;
    }
}

TEST_F(CliFuseOptionsTest, TheUserIdIsSetPaddedAndRefusedWhereItCannotBe) {
    ASSERT_EQ(cli("--set-id 0x12ab convert " + a + " " + b).status, 0);
    EXPECT_THAT(cli("fuses " + b).out, HasSubstr("\nUser ID = 0x12ABFFFF\n"));
    const RunResult too_long = cli("--set-id 123456789 convert " + a + " " + b);
    EXPECT_EQ(too_long.status, 2);
    EXPECT_THAT(too_long.err, HasSubstr("--set-id takes up to 8 hex digits, not \"123456789\""));
    EXPECT_EQ(cli("--set-id 12G4 convert " + a + " " + b).status, 2);
    const RunResult twelve_bit = run_cli(dir, "--chip 10F200 --set-id 12 convert " + a + " " + b);
    EXPECT_EQ(twelve_bit.status, 2);
    EXPECT_THAT(twelve_bit.err, HasSubstr("10F200: the chip has no user ID to set"));
}

TEST_F(CliFuseOptionsTest, JsonGivesEverySettingWithItsOptionsAndTheCurrentOne) {
    const RunResult r = cli("--json fuses " + a);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr(R"({"name":"Watchdog Timer","word":1,"options":["Off","On"],)"
                                 R"("current":"Off"})"));
    EXPECT_THAT(r.out, HasSubstr(R"("words":["0x3F72"],"id":"0xFFFFFFFF")"));
    const RunResult no_image = cli("--json fuses");
    EXPECT_THAT(no_image.out,
                HasSubstr(R"({"name":"Watchdog Timer","word":1,"options":["Off","On"]})"));
}

TEST_F(CliFuseOptionsTest, SetReachesTheChipThroughWriteFuses) {
    const RunResult r = cli("--virtual-board --chip-save '" + (dir / "chip.hex") +
                            "' --set 'Watchdog Timer=On' --set 'Code Protect=On' write-fuses " + a);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string chip = "\n" + cli("fuses '" + (dir / "chip.hex") + "'").out;
    EXPECT_THAT(chip, HasSubstr("\nWatchdog Timer = On   ("));
    EXPECT_THAT(chip, HasSubstr("\nCode Protect = On   ("));
    EXPECT_THAT(chip, HasSubstr("\nOscillator = HS   ("));
}

} // namespace
} // namespace zz::test
