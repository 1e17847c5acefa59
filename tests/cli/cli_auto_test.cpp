// ze-zuzu-cli auto on the virtual board: chip after chip with a person at the socket, the lines
// it prints, several boards sharing one number sequence and one log, and a stop signal.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <map>
#include <set>
#include <spawn.h>
#include <thread>

namespace zz::test {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using Strings = std::vector<std::string>;

constexpr const char* kImage = ":0400200005000000D7\n:00000001FF\n";
constexpr const char* kBoard = "--virtual-board --chip 16F877A ";

Strings lines_of(const std::string& text) {
    Strings lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The commands the host sent, from --trace.
Strings sent(const std::string& trace) {
    Strings out;
    for (const std::string& line : lines_of(trace))
        if (line.starts_with("> "))
            out.push_back(line.substr(2));
    return out;
}

class CliAutoTest : public ::testing::Test {
protected:
    CliAutoTest() : dir(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        std::ofstream(dir / "image.hex") << kImage;
    }
    std::string image() { return " auto '" + (dir / "image.hex") + "'"; }

    ScratchDir dir;
};

TEST_F(CliAutoTest, FiveChipsEachWithTheWholeCycle) {
    const RunResult r = run_cli(dir, std::string(kBoard) +
                                         "--virtual-operator 500,500 --count 5 --trace" + image());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    const Strings out = lines_of(r.out);
    ASSERT_EQ(out.size(), 7u) << r.out;
    for (int n = 1; n <= 5; ++n)
        EXPECT_THAT(out[static_cast<std::size_t>(n)],
                    MatchesRegex("Chip " + std::to_string(n) + ": pass, [0-9]+ ms"));
    EXPECT_EQ(out.back(), "Summary: 5 passed, 0 failed");
    // From the set-up on, each cycle: the insertion reported and acknowledged, the presence
    // check, the program steps, "05", the removal reported and acknowledged; then "01".
    Strings commands = sent(r.err);
    const auto setup = std::find_if(commands.begin(), commands.end(),
                                    [](const std::string& c) { return c.starts_with("03"); });
    commands.erase(commands.begin(), setup + 1);
    ASSERT_EQ(commands.back(), "01");
    commands.pop_back();
    std::vector<Strings> cycles;
    for (const std::string& c : commands) {
        if (c == "12")
            cycles.emplace_back();
        ASSERT_FALSE(cycles.empty()) << c;
        cycles.back().push_back(c);
    }
    ASSERT_EQ(cycles.size(), 5u);
    for (const Strings& cycle : cycles) {
        EXPECT_EQ(Strings(cycle.begin(), cycle.begin() + 5),
                  (Strings{"12", "50", "04", "0D", "05"}));
        EXPECT_EQ(Strings(cycle.end() - 3, cycle.end()), (Strings{"05", "13", "50"}));
        EXPECT_EQ(cycle, cycles.front());
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
    const std::string err = dir / "err.txt";
    const std::string data = std::string(ZZ_SOURCE_DIR) + "/data";
    const std::string file = dir / "image.hex";
    std::vector<std::string> args{ZZ_CLI_PATH,       "--data-dir", data,
                                  "--virtual-board", "--chip",     "16F877A",
                                  "--trace",         "auto",       file};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, ZZ_CLI_PATH, &files, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&files);
    while (read_text(out).find("Chip 1:") == std::string::npos)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(pid, SIGINT);
    int raw = 0;
    ASSERT_EQ(waitpid(pid, &raw, 0), pid);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    EXPECT_THAT(read_text(out), HasSubstr("Summary: 1 passed, 0 failed"));
    const Strings commands = sent(read_text(err));
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands.back(), "01");
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "13"), 1);
}

TEST_F(CliAutoTest, BadCombinationsAreRefusedBeforeAnyBoard) {
    const char* cases[] = {
        "--virtual-operator 500,500 --chip 16F877A",             // no virtual board
        "--virtual-board --virtual-operator 500 --chip 16F877A", // one time only
        "--virtual-board --chip 16F877A --chip-save chip.hex",   // each chip its own name
        "--virtual-boards 2 --chip 16F877A --serial rom",        // two chips, one number
        "--virtual-boards 0 --chip 16F877A",
        "--port a --virtual-board --chip 16F877A",
    };
    for (const char* options : cases) {
        SCOPED_TRACE(options);
        const RunResult r = run_cli(dir, std::string(options) + image());
        EXPECT_EQ(r.status, 2) << r.out << r.err;
    }
    EXPECT_EQ(run_cli(dir, "--virtual-boards 2 read x.hex").status, 2);
    EXPECT_EQ(run_cli(dir, "--virtual-board --virtual-operator 1,1 erase").status, 2);
}

} // namespace
} // namespace zz::test
