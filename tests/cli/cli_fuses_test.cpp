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
    const char* config;             // the configuration lines of a gpasm source
    std::vector<const char*> shown; // lines `fuses` prints, without their option lists
    const char* set;                // one --set, and its line in `fuses` of the converted image
    const char* shown_after;
    const char* word; // the label that changes, and the bits that flip
    unsigned bits;
};

const FuseCase kCases[] = {
    {"16F877A",
     "__CONFIG _CP_OFF & _WDT_OFF & _HS_OSC & _LVP_OFF & _PWRTE_ON & _WRT_256",
     {"Oscillator = HS", "Watchdog Timer = Off", "Power-up Timer = On",
      "Flash Write Protect = 256"},
     "Watchdog Timer=On",
     "Watchdog Timer = On",
     "lab_fuse1",
     0x0004},
    // BandGap bits 10, ANDed in.
    {"12F629",
     "__CONFIG _MCLRE_OFF & _PWRTE_ON & _WDT_OFF & _INTRC_OSC_NOCLKOUT & 0x2FFF",
     {"Oscillator = INTRCIO", "Watchdog Timer = Off", "MCLR Enable = Off", "Code Protect = Off"},
     " watchdog  = ON ",
     "Watchdog Timer = On",
     "lab_fuse1",
     0x0008},
    {"16F88",
     "__CONFIG _CONFIG1, _CCP1_RB3 & _BOREN_OFF & _WDT_OFF & _HS_OSC\n"
     "__CONFIG _CONFIG2, _IESO_OFF & _FCMEN_ON",
     {"Oscillator = HS", "Brown-out Reset = Off", "CCP1 Pin = RB3", "Fail-Safe Clock Mon. = On",
      "Osc. Switchover = Off"},
     "Osc. Switch=On",
     "Osc. Switchover = On",
     "lab_fuse2",
     0x0002},
    {"18F4550",
     "CONFIG FOSC = HSPLL_HS, PLLDIV = 5, WDT = OFF, WDTPS = 128\n"
     "CONFIG BOR = SOFT, BORV = 2, XINST = OFF, CP0 = ON",
     {"PLL Prescale = 5", "Oscillator = HSPLL_HS", "Watchdog Postscale = 1:128",
      "Brown-out Reset = SOFT", "Brown-out Voltage = 2", "Extended Instr. = Off",
      "Code Protect Blk 0 = On", "Code Protect Blk 1 = Off"},
     "Watchdog Timer=On",
     "Watchdog Timer = On",
     "lab_fuse2",
     0x0100},
};

// The dump's lines other than `label` and the checksum, and the value of `label`.
std::pair<std::string, unsigned> split_dump(const std::string& dump, const std::string& label) {
    std::istringstream lines(dump);
    std::string rest, line;
    unsigned word = 0x10000;
    while (std::getline(lines, line))
        if (line.starts_with(label + "=0x"))
            word = std::stoul(line.substr(label.size() + 3), nullptr, 16);
        else if (!line.starts_with("lab_checksum="))
            rest += line + "\n";
    return {rest, word};
}

class CliFusesTest : public ::testing::TestWithParam<FuseCase> {};

TEST_P(CliFusesTest, NamesTheAssemblersChoicesAndSetChangesExactlyThatSetting) {
    const FuseCase& c = GetParam();
    ScratchDir dir(std::string("fuses-") + c.chip);
    std::ofstream(dir / "a.asm") << " list p=" << c.chip << "\n include <p" << c.chip << ".inc>\n "
                                 << c.config << "\n org 0\n goto 0\n end\n";
    ASSERT_EQ(run_shell(dir, "cd '" + dir.path().string() + "' && gpasm -o a.hex a.asm").status, 0);
    const std::string chip = std::string("--chip ") + c.chip + " ";

    const RunResult before = run_cli(dir, chip + "fuses '" + (dir / "a.hex") + "'");
    ASSERT_EQ(before.status, 0) << before.err;
    for (const char* line : c.shown)
        EXPECT_THAT("\n" + before.out, HasSubstr("\n" + std::string(line) + "   (")) << line;

    const RunResult converted = run_cli(dir, chip + "--set '" + c.set + "' convert '" +
                                                 (dir / "a.hex") + "' '" + (dir / "b.hex") + "'");
    ASSERT_EQ(converted.status, 0) << converted.err;
    const RunResult after = run_cli(dir, chip + "fuses '" + (dir / "b.hex") + "'");
    EXPECT_THAT("\n" + after.out, HasSubstr("\n" + std::string(c.shown_after) + "   ("));

    const auto [rest_a, word_a] =
        split_dump(run_cli(dir, chip + "dump '" + (dir / "a.hex") + "'").out, c.word);
    const auto [rest_b, word_b] =
        split_dump(run_cli(dir, chip + "dump '" + (dir / "b.hex") + "'").out, c.word);
    EXPECT_EQ(word_a ^ word_b, c.bits);
    EXPECT_EQ(rest_a, rest_b);
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

TEST_F(CliFuseOptionsTest, BadNamesAndIdsExitTwoSayingWhatIsValid) {
    const std::pair<const char*, const char*> cases[] = {
        {"--set Watchdg=On", "16F877A: no fuse setting \"Watchdg\" (valid: Oscillator, Watchdog"},
        {"--set 'Watchdog Timer=O'", "option \"O\" of Watchdog Timer is ambiguous (Off, On)"},
        {"--set Oscillator=Crystal",
         "Oscillator has no option \"Crystal\" (valid: LP, XT, HS, RC)"},
        {"--set-id 123456789", "16F877A: the user ID takes up to 8 hex digits, not \"123456789\""},
        {"--chip 10F200 --set-id 12", "10F200: the chip has no user ID to set"},
        {"--set Watchdog", "ze-zuzu-cli: --set takes NAME=OPTION"},
    };
    for (const auto& [options, said] : cases) {
        const RunResult r = cli(std::string(options) + " convert " + a + " " + b);
        EXPECT_EQ(r.status, 2) << options;
        EXPECT_THAT(r.err, HasSubstr(said)) << options;
    }
    EXPECT_EQ(cli("--set A=B write-rom " + a).status, 2);
}

TEST_F(CliFuseOptionsTest, ThePrefixOfANameAndTheIdRoundTripAndJsonSaysTheSame) {
    ASSERT_EQ(cli("--set 'watchdog timer = of' --set-id 0x12ab convert " + a + " " + b).status, 0);
    const RunResult r = cli("--json fuses " + b);
    EXPECT_THAT(r.out, HasSubstr(R"({"name":"Watchdog Timer","word":1,"options":["Off","On"],)"
                                 R"("current":"Off"})"));
    EXPECT_THAT(r.out, HasSubstr(R"("words":["0x3F72"],"id":"0x12ABFFFF")"));
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
