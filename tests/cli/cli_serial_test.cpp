// Serial numbers, the production log and several chips in a row from the command line, on the
// virtual board; two command lines sharing one number sequence.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

namespace zz::test {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

constexpr const char* kNumbered = "--virtual-board --chip 16F877A --serial rom --serial-start 10 "
                                  "--serial-end 11 ";

class CliSerialTest : public CliTest {
protected:
    // Word 0x10 of a chip or image file (in the record at byte address 0020); -1 without one.
    int word_10(const std::string& file) {
        for (const std::string& line : lines_of(read_text(file)))
            if (line.starts_with(":10002000"))
                return std::stoi(line.substr(11, 2) + line.substr(9, 2), nullptr, 16);
        return -1;
    }
    std::string image() { return "'" + (dir / "image.hex") + "'"; }
};

TEST_F(CliSerialTest, ThreeChipsInARowHoldConsecutiveNumbersAndTheLogAgrees) {
    const RunResult r =
        run_cli(dir, std::string(kNumbered) + "--count 3 --chip-save '" + (dir / "chip%n.hex") +
                         "' --log '" + (dir / "log.csv") + "' program " + image());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const auto log = lines_of(read_text(dir / "log.csv"));
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], "time,model,port,chip,image,checksum,serial,result,message,elapsed_ms");
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(word_10(dir / ("chip" + std::to_string(n) + ".hex")), 4 + n);
        EXPECT_THAT(
            log[static_cast<std::size_t>(n)],
            MatchesRegex("[-0-9T:.+]+,RO-ZUZ330,Virtual board,16F877A,.*image\\.hex,0x[0-9A-F]{"
                         "4},0000000" +
                         std::to_string(4 + n) + ",pass,,[0-9]+"));
    }
    EXPECT_EQ(word_10(dir / "image.hex"), -1); // not saved without --serial-save

    const RunResult json =
        run_cli(dir, std::string(kNumbered) + "--json --count 2 program " + image());
    EXPECT_THAT(json.out, HasSubstr("\"serials\":[\"00000005\",\"00000006\"]"));
}

TEST_F(CliSerialTest, TwoCommandLinesSharingOneImageNeverRepeatANumber) {
    std::string both;
    for (const char* name : {"a", "b"})
        both += "(" + cli_command(kNumbered) + "--serial-save --count 5 --quiet --chip-save '" +
                (dir / name) + "%n.hex' --log '" + (dir / "log.csv") + "' program " + image() +
                "; echo $? >'" + (dir / name) + ".status') & ";
    const RunResult r = run_shell(dir, "(" + both + "wait)");
    EXPECT_EQ(read_text(dir / "a.status"), "0\n") << r.err;
    EXPECT_EQ(read_text(dir / "b.status"), "0\n") << r.err;
    std::set<int> numbers;
    for (const char* name : {"a", "b"})
        for (int n = 1; n <= 5; ++n)
            numbers.insert(word_10(dir / (name + std::to_string(n) + ".hex")));
    EXPECT_EQ(numbers, (std::set<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(word_10(dir / "image.hex"), 15);
    const auto log = lines_of(read_text(dir / "log.csv"));
    ASSERT_EQ(log.size(), 11u);
    for (std::size_t k = 1; k < log.size(); ++k)
        EXPECT_THAT(log[k], HasSubstr(",pass,")) << k;
}

TEST_F(CliSerialTest, BadSerialInputIsRefusedBeforeThePortIsTouched) {
    struct Case {
        const char* options;
        const char* message;
        const char* file = "image.hex";
    };
    const Case cases[] = {
        {"--serial eeprom --serial-start 0 --serial-end 1 --serial-save",
         "Error: Serial numbers in the ID or EEPROM are saved only into a HEX file, not into the "
         "raw image image.bin\n",
         "image.bin"},
        {"--serial rom --serial-start 20 --serial-end 1F",
         "Error: Auto increment end address can not be less than start address\n"},
        {"--serial rom --serial-start 10 --serial-end 2000",
         "Error: Auto increment end address exceeded chip rom size\n"},
        {"--log /nonexistent-folder/log.csv",
         "Error: Production log: cannot open /nonexistent-folder/log.csv: No such file or "
         "directory\n"},
    };
    // A port that does not exist: touching it would end in "The board is not responding".
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const RunResult r =
            run_cli(dir, std::string("--port /dev/zz-no-port ") + c.options + " program " + c.file);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, c.message);
    }
    for (const char* options :
         {"--serial id --serial-start 10", "--no-serial --serial rom",
          "--count 2", // needs the virtual board
          "--serial rom --serial-save --chip 24xx01 --family 'I2C/SPI EEPROM'"}) {
        const RunResult r = run_cli(dir, std::string(options) + " program " + image());
        EXPECT_EQ(r.status, 2) << options;
        EXPECT_THAT(r.err, HasSubstr("Try 'ze-zuzu-cli --help'")) << options;
    }
    EXPECT_EQ(run_cli(dir, "--log x.csv erase").status, 2); // program only
}

} // namespace
} // namespace zz::test
