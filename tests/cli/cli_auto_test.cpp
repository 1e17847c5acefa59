// ze-zuzu-cli auto on the virtual board: chip after chip with a person at the socket, the lines
// it prints, several boards sharing one number sequence and one log, and a stop signal.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace zz::test {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

constexpr const char* kBoard = "--virtual-board --chip 16F877A ";

// The commands the host sent, from --trace.
Strings sent(const std::string& trace) {
    Strings out;
    for (const std::string& line : lines_of(trace))
        if (line.starts_with("> "))
            out.push_back(line.substr(2));
    return out;
}

class CliAutoTest : public CliTest {
protected:
    std::string image() { return " auto '" + (dir / "image.hex") + "'"; }
};

TEST_F(CliAutoTest, FiveChipsEachWithTheWholeCycle) {
    const RunResult r = run_cli(dir, std::string(kBoard) +
                                         "--virtual-operator 500,500 --count 5 --trace" + image());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const Strings out = lines_of(r.out);
    ASSERT_EQ(out.size(), 6u) << r.out;
    for (int n = 1; n <= 5; ++n)
        EXPECT_THAT(out[static_cast<std::size_t>(n - 1)],
                    MatchesRegex("Chip " + std::to_string(n) + ": pass, [0-9]+ ms"));
    EXPECT_EQ(out.back(), "Summary: 5 passed, 0 failed");
    // From the set-up on, five times the same cycle: the insertion reported and acknowledged,
    // the presence check, the program steps, "05", the removal reported and acknowledged; then
    // "01".
    std::string all;
    for (const std::string& c : sent(r.err))
        all += " " + (c.starts_with("03") ? "03" : c);
    all = all.substr(all.find(" 03") + 3);
    const std::string cycle = all.substr(0, all.find(" 12", 1));
    EXPECT_TRUE(cycle.starts_with(" 12 50 04 0D 05")) << cycle;
    EXPECT_TRUE(cycle.ends_with(" 05 13 50")) << cycle;
    EXPECT_EQ(all, cycle + cycle + cycle + cycle + cycle + " 01");
}

// The caution of the window's arming concerns ICSP mode only.
TEST_F(CliAutoTest, TheIcspCautionIsPrintedOnlyWithIcsp) {
    const std::string caution =
        "Information: Auto Program Mode may not work correctly when ICSP is enabled\n";
    for (const bool icsp : {false, true}) {
        SCOPED_TRACE(icsp);
        const RunResult r = run_cli(dir, std::string(kBoard) + "--virtual-operator 0,0 --count 1" +
                                             (icsp ? " --icsp" : "") + image());
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_EQ(r.out.starts_with(caution), icsp) << r.out;
        EXPECT_EQ(r.out.find(caution, 1), std::string::npos) << r.out;
    }
}

TEST_F(CliAutoTest, JsonGivesOneObjectPerLine) {
    const RunResult r =
        run_cli(dir, std::string(kBoard) + "--virtual-operator 0,0 --count 2 --json" + image());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const Strings out = lines_of(r.out);
    ASSERT_EQ(out.size(), 3u) << r.out;
    for (int n = 1; n <= 2; ++n)
        EXPECT_THAT(out[static_cast<std::size_t>(n - 1)],
                    MatchesRegex("\\{\"port\":\"Virtual board\",\"chip\":" + std::to_string(n) +
                                 ",\"result\":\"pass\",\"serial\":\"\",\"elapsed_ms\":[0-9]+\\}"));
    EXPECT_THAT(out[2], HasSubstr("\"command\":\"auto\",\"exit\":0,"));
    EXPECT_THAT(out[2], HasSubstr("\"passed\":2,\"failed\":0,\"board_lost\":false"));
}

TEST_F(CliAutoTest, ThreeBoardsShareOneNumberSequenceAndOneLog) {
    const RunResult r = run_cli(
        dir, "--virtual-boards 3 --chip 16F877A --virtual-operator 500,500 --count 4 --serial rom "
             "--serial-start 10 --serial-end 11 --serial-save --log '" +
                 (dir / "log.csv") + "'" + image());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const Strings log = lines_of(read_text(dir / "log.csv"));
    ASSERT_EQ(log.size(), 13u);
    std::set<std::string> serials;
    std::map<std::string, int> per_port;
    for (std::size_t k = 1; k < log.size(); ++k) {
        EXPECT_THAT(log[k], HasSubstr(",pass,"));
        const auto port = log[k].find(",Virtual board ");
        ++per_port[log[k].substr(port + 1, 15)];
        serials.insert(log[k].substr(log[k].find(",0000") + 1, 8));
    }
    EXPECT_EQ(serials.size(), 12u);
    EXPECT_EQ(per_port,
              (std::map<std::string, int>{
                  {"Virtual board 1", 4}, {"Virtual board 2", 4}, {"Virtual board 3", 4}}));
    // Every chip line whole, after its port; the summary per port and in all.
    for (const std::string& line : lines_of(r.out))
        EXPECT_THAT(line, MatchesRegex("(Virtual board [123]: (Chip [1-4]: pass, serial number "
                                       "[0-9A-F]{8}, [0-9]+ ms|Information: .*)|Summary.*)"));
    for (int n = 1; n <= 3; ++n)
        EXPECT_THAT(r.out, HasSubstr("Summary Virtual board " + std::to_string(n) +
                                     ": 4 passed, 0 failed"));
    EXPECT_THAT(r.out, HasSubstr("Summary: 12 passed, 0 failed on 3 boards"));
}

// Nobody takes the first chip out, so the loop waits for its removal until the signal.
TEST_F(CliAutoTest, SigintEndsTheWaitHandsTheBoardBackAndPrintsTheSummary) {
    const std::string out = dir / "out.txt";
    const RunResult r =
        run_shell(dir, cli_command(kBoard + std::string("--trace") + image()) + " >'" + out +
                           "' 2>&1 & pid=$!; " + "until grep -q 'Chip 1:' '" + out +
                           "'; do sleep 0.02; done; " + "kill -INT $pid; wait $pid; echo exit=$?");
    EXPECT_EQ(r.out, "exit=0\n") << r.err;
    const std::string printed = read_text(out);
    EXPECT_THAT(printed, HasSubstr("Summary: 1 passed, 0 failed"));
    const Strings commands = sent(printed);
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands.back(), "01");
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "13"), 1);
}

TEST_F(CliAutoTest, BadCombinationsAreRefusedBeforeAnyBoard) {
    // Each would end by itself if it were taken.
    const char* cases[] = {
        "--virtual-operator 500,500 --count 1",                               // no virtual board
        "--virtual-board --virtual-operator 500",                             // one time only
        "--virtual-board --virtual-operator 0,0 --count 1 --chip-save c.hex", // one name
        "--virtual-boards 2 --virtual-operator 0,0 --count 1 --serial rom",   // one number
        "--port a --port b --virtual-board --virtual-operator 0,0 --count 1", // ports or virtual
    };
    for (const char* options : cases) {
        SCOPED_TRACE(options);
        const RunResult r = run_cli(dir, std::string(options) + " --chip 16F877A" + image());
        EXPECT_EQ(r.status, 2) << r.out << r.err;
    }
    EXPECT_EQ(run_cli(dir, "--virtual-boards 2 read x.hex").status, 2);
}

} // namespace
} // namespace zz::test
