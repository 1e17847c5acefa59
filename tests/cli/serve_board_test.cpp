// serve-board: the virtual board on a pseudo-terminal, driven by the command line through the
// real serial code.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace zz::test {
namespace {

using ::testing::HasSubstr;

// 16F84A: movlw 0x55, movwf 0x06 at 0; EEPROM bytes 1 and 2.
constexpr const char* kImage = ":0400000055308600F1\n:020000040000FA\n:0442000001000200B7\n"
                               ":00000001FF\n";

// `ze-zuzu-cli serve-board ARGS` in the background; its first line is the board's port.
class ServedBoard {
public:
    ServedBoard(const ScratchDir& dir, const std::vector<std::string>& args)
        : err_(dir / "serve-board.err") {
        std::vector<std::string> all = {ZZ_CLI_PATH, "--data-dir", ZZ_SOURCE_DIR "/data",
                                        "serve-board"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, out[1]);
        posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        std::FILE* first = fdopen(out[0], "r");
        char line[256] = {};
        if (first && std::fgets(line, sizeof line, first))
            port_ = std::string(line, std::strcspn(line, "\n"));
        if (first)
            std::fclose(first);
    }
    ~ServedBoard() { stop(); }

    const std::string& port() const { return port_; }

    // SIGTERM, then its exit status.
    int stop() {
        if (pid_ < 0)
            return status_;
        kill(pid_, SIGTERM);
        int raw = 0;
        waitpid(pid_, &raw, 0);
        pid_ = -1;
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return status_;
    }

    std::string errors() const { return read_text(err_); }

private:
    std::string err_;
    pid_t pid_ = -1;
    std::string port_;
    int status_ = -1;
};

std::string cli(const std::string& arguments) {
    return std::string("'") + ZZ_CLI_PATH + "' --data-dir '" + ZZ_SOURCE_DIR + "/data' " +
           arguments;
}

TEST(ServeBoardTest, TheCommandLineReadsTheServedChipAndItIsSavedAtTheEnd) {
    ScratchDir dir("serve-read");
    std::ofstream(dir / "image.hex") << kImage;
    const std::string link = dir / "board";
    ServedBoard board(dir, {"--chip", "16F84A", "--chip-image", dir / "image.hex", "--chip-save",
                            dir / "saved.hex", "--link", link, "--deliver", "frame:1"});
    ASSERT_THAT(board.port(), ::testing::StartsWith("/dev/pts/"));
    EXPECT_EQ(std::filesystem::read_symlink(link), board.port());

    const RunResult read =
        run_cli(dir, "--chip 16F84A --port '" + link + "' read '" + (dir / "read.hex") + "'");
    EXPECT_EQ(read.status, 0) << read.err;
    const RunResult same =
        run_shell(dir, "srec_cmp '" + (dir / "image.hex") + "' -intel '" + (dir / "read.hex") +
                           "' -intel -crop -within '" + (dir / "image.hex") + "' -intel");
    EXPECT_EQ(same.status, 0) << "the read differs from the served chip";

    EXPECT_EQ(board.stop(), 0) << board.errors();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    EXPECT_THAT(board.errors(), HasSubstr("connection 1 closed: open "));
    const RunResult saved =
        run_shell(dir, "srec_cmp '" + (dir / "image.hex") + "' -intel '" + (dir / "saved.hex") +
                           "' -intel -crop -within '" + (dir / "image.hex") + "' -intel");
    EXPECT_EQ(saved.status, 0) << "the saved chip differs";
}

// The board goes away while the command line reads the program memory: one line, exit status 1,
// and the output file that was there stays as it was.
TEST(ServeBoardTest, ABoardThatGoesAwayMidReadLeavesTheOutputFileAlone) {
    ScratchDir dir("serve-lost");
    ServedBoard board(dir, {"--chip", "16F877A"});
    ASSERT_FALSE(board.port().empty());
    const std::string out = dir / "out.hex";
    std::ofstream(out) << "before\n";

    std::FILE* run = popen(
        (cli("--trace --chip 16F877A --port '" + board.port() + "' read '" + out + "'") + " 2>&1")
            .c_str(),
        "r");
    ASSERT_NE(run, nullptr);
    std::vector<std::string> lines;
    char line[8192];
    while (std::fgets(line, sizeof line, run)) {
        lines.emplace_back(line, std::strcspn(line, "\n"));
        if (lines.back() == "> 0B")
            board.stop(); // the line hangs up inside the program memory stream
    }
    const int raw = pclose(run);
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
    std::vector<std::string> errors;
    for (const std::string& l : lines)
        if (l.starts_with("Error: "))
            errors.push_back(l);
    EXPECT_EQ(errors,
              std::vector<std::string>{"Error: The serial port " + board.port() + " was lost"});
    EXPECT_EQ(read_text(out), "before\n");
}

} // namespace
} // namespace zz::test
