// Production jobs from the command line: made, released and run as they stand on the virtual
// board, with everything that would change them refused.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace zz::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// An Intel HEX data record.
std::string hex_record(std::uint16_t address, const std::vector<std::uint8_t>& bytes) {
    unsigned sum = static_cast<unsigned>(bytes.size()) + (address >> 8) + (address & 0xFF);
    char text[16];
    std::snprintf(text, sizeof text, ":%02X%04X00", static_cast<unsigned>(bytes.size()), address);
    std::string record = text;
    for (const std::uint8_t b : bytes) {
        std::snprintf(text, sizeof text, "%02X", b);
        record += text;
        sum += b;
    }
    std::snprintf(text, sizeof text, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    return record + text;
}

// EEPROM bytes of a 14-bit chip start at byte address 0x4200, one per word.
std::string eeprom_record(std::uint8_t first, const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> words;
    for (const std::uint8_t b : bytes) {
        words.push_back(b);
        words.push_back(0);
    }
    return hex_record(static_cast<std::uint16_t>(0x4200 + 2 * first), words);
}

class JobCli : public CliTest {
protected:
    JobCli() : db(" --db '" + (dir / "p.sqlite") + "' ") {}

    RunResult cli(const std::string& arguments) { return run_cli_in(dir, db + arguments); }

    // Makes and releases job "line" for the 16F877A, numbered from sequence LINE.
    void release(const std::string& options = "") {
        const RunResult made = cli("job create line.zzjob --image image.hex --chip 16F877A "
                                   "--serial rom --serial-start 10 --serial-end 11 --sequence "
                                   "LINE " +
                                   options);
        ASSERT_EQ(made.status, 0) << made.err;
        const RunResult released = cli("job release line.zzjob");
        ASSERT_EQ(released.status, 0) << released.err;
        ASSERT_THAT(released.out, HasSubstr("Released as line@"));
    }

    std::string db;
};

TEST_F(JobCli, AReleasedJobRunsAsItStandsWithEveryChipOnRecordAgainstIt) {
    release("--note 'first article approved'");
    EXPECT_THAT(cli("job release line.zzjob").out,
                HasSubstr("Released already as line@1, with this content"));
    const RunResult run =
        cli("--virtual-board --job line --lot L7 --operator ann --count 2 program");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_THAT(run.out, HasSubstr("Job line@1 "));
    const RunResult records = cli("--json records --job line --lot L7");
    const Strings lines = lines_of(records.out);
    ASSERT_EQ(lines.size(), 2u) << records.out;
    for (const std::string& line : lines)
        for (const char* field : {"\"job\":\"line\"", "\"job_revision\":1", "\"lot\":\"L7\"",
                                  "\"operator\":\"ann\"", "\"result\":\"passed\""})
            EXPECT_THAT(line, HasSubstr(field));
    EXPECT_THAT(cli("job show line").out, HasSubstr("\ndone=2\n"));
    EXPECT_THAT(cli("job list").out, HasSubstr("line@1"));
    // Exported, it is the released job again.
    ASSERT_EQ(cli("job export line back.zzjob").status, 0);
    EXPECT_THAT(cli("job release back.zzjob").out, HasSubstr("Released already as line@1"));
}

TEST_F(JobCli, OptionsThatWouldChangeTheJobAreRefused) {
    release();
    for (const char* options :
         {"--chip 16F84A", "--steps rom", "--set 'Watchdog Timer=On'", "--serial-start 20",
          "--sequence OTHER", "--no-serial", "--icsp", "--osccal-from file", "--model 2"}) {
        const RunResult r = cli(std::string("--virtual-board --job line ") + options + " program");
        EXPECT_EQ(r.status, 2) << options;
        EXPECT_THAT(r.err, HasSubstr("would change what the job line says")) << options;
    }
    const RunResult file = cli("--virtual-board --job line program image.hex");
    EXPECT_EQ(file.status, 2);
    EXPECT_THAT(file.err, HasSubstr("an image FILE would change what the job line says"));
}

TEST_F(JobCli, JobsRefuseToStartWithoutWhatTheyNeed) {
    release("--require-lot");
    const std::pair<const char*, const char*> cases[] = {
        {"--job line", "The job line needs a lot"},
        {"--job line.zzjob", "has not been released"},
        {"--job line@2 --lot A", "There is no released job line@2"},
        {"--job nothing --lot A", "There is no released job nothing"},
    };
    for (const auto& [options, said] : cases) {
        const RunResult r = cli(std::string("--virtual-board ") + options + " program");
        EXPECT_EQ(r.status, 2) << options;
        EXPECT_THAT(r.err, HasSubstr(said)) << options;
    }
    // An engineer rehearses the file; its records say it was not released.
    ASSERT_EQ(cli("--virtual-board --job line.zzjob --engineer --lot A program").status, 0);
    EXPECT_THAT(cli("--json records").out, HasSubstr("\"job_revision\":0"));
}

TEST_F(JobCli, TheChipAfterTheLastIsRefusedBeforeItIsTouched) {
    release("--quantity 2");
    const RunResult r = cli("--virtual-board --job line --count 3 program");
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.out, HasSubstr("Job line: all 2 chips are done"));
    const Strings records = lines_of(cli("records --job line").out);
    EXPECT_EQ(records.size(), 2u);
    for (const std::string& record : records)
        EXPECT_THAT(record, HasSubstr("\tpassed\t"));
}

// The chip's calibration table at EEPROM 0x20-0x27 stays; the rest is the image's.
TEST_F(JobCli, APreservedEepromRangeSurvivesProgramming) {
    std::ofstream(dir / "image.hex")
        << hex_record(0x20, {0x05, 0x00, 0x00, 0x00}) << eeprom_record(0, {0x11, 0x22})
        << eeprom_record(0x20, std::vector<std::uint8_t>(8, 0x33)) << ":00000001FF\n";
    std::ofstream(dir / "chip.hex")
        << eeprom_record(0x20, {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7}) << ":00000001FF\n";
    release("--preserve eeprom:20-27");
    const RunResult run = cli("--virtual-board --chip-image chip.hex --chip-save after.hex --job "
                              "line program");
    ASSERT_EQ(run.status, 0) << run.err;
    const Strings dump = lines_of(run_cli_in(dir, "--chip 16F877A dump after.hex").out);
    // The EEPROM's rows come after the program memory's, numbered from 0000 again.
    const auto eeprom = std::find_if(dump.begin() + 2, dump.end(), [](const std::string& line) {
        return line.starts_with("0000:");
    });
    ASSERT_NE(eeprom, dump.end());
    EXPECT_THAT(*eeprom, HasSubstr("0000:\t11\t22\tFF"));
    EXPECT_THAT(*(eeprom + 4), HasSubstr("0020:\tA0\tA1\tA2\tA3\tA4\tA5\tA6\tA7"));
    EXPECT_THAT(cli("--json records").out,
                HasSubstr("\"preserved\":\"eeprom:0020-0027=A0A1A2A3A4A5A6A7\""));
}

TEST_F(JobCli, AHandEditedJobFileIsRefusedNamingTheMismatch) {
    ASSERT_EQ(cli("job create line.zzjob --image image.hex --chip 16F877A").status, 0);
    std::string text = read_text(dir / "line.zzjob");
    const auto record = text.find("\n:10002000");
    ASSERT_NE(record, std::string::npos);
    text.replace(record + 10, 2, "06"); // the record's checksum is not what is checked
    std::ofstream(dir / "line.zzjob") << text;
    const RunResult r = cli("job release line.zzjob");
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.err, HasSubstr("the embedded image does not match its recorded sha256"));
    EXPECT_THAT(cli("job list").out, Not(HasSubstr("line@")));
}

} // namespace
} // namespace zz::test
