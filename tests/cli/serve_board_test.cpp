// serve-board: the virtual board on a pseudo-terminal, driven by the command line through the
// real serial code.
#include "cli/cli_runner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

// 16F84A: movlw 0x55, movwf 0x06 at 0; EEPROM bytes 1 and 2.
constexpr const char* kImage = ":0400000055308600F1\n:020000040000FA\n:0442000001000200B7\n"
                               ":00000001FF\n";

std::string cli() {
    return std::string("'") + ZZ_CLI_PATH + "' --data-dir '" + ZZ_SOURCE_DIR + "/data' ";
}

// A shell script that starts serve-board with `args` and its link at dir/board in the
// background, waits for the link and runs `body`; the board's pid is $board.
std::string with_board(const ScratchDir& dir, const std::string& args, const std::string& body) {
    const std::string link = dir / "board";
    return "(" + cli() + "serve-board --link '" + link + "' " + args + " >'" + (dir / "port.txt") +
           "' 2>'" + (dir / "board.err") + "' & board=$!; while [ ! -e '" + link +
           "' ] && kill -0 $board 2>/dev/null; do sleep 0.01; done; " + body + ")";
}

std::string same_image(const ScratchDir& dir, const std::string& a, const std::string& b) {
    return "srec_cmp '" + (dir / a) + "' -intel '" + (dir / b) + "' -intel -crop -within '" +
           (dir / a) + "' -intel";
}

TEST(ServeBoardTest, TheCommandLineReadsTheServedChipAndItIsSavedAtTheEnd) {
    ScratchDir dir("serve-read");
    std::ofstream(dir / "image.hex") << kImage;
    const RunResult r = run_shell(
        dir, with_board(dir,
                        "--chip 16F84A --deliver frame:1 --chip-image '" + (dir / "image.hex") +
                            "' --chip-save '" + (dir / "saved.hex") + "'",
                        "readlink '" + (dir / "board") + "'; " + cli() + "--chip 16F84A --port '" +
                            (dir / "board") + "' read '" + (dir / "read.hex") +
                            "'; echo read $?; kill $board; wait $board; " + "echo served $?; " +
                            same_image(dir, "image.hex", "read.hex") + " && " +
                            same_image(dir, "image.hex", "saved.hex") + " && echo same"));
    const std::string port = read_text(dir / "port.txt");
    ASSERT_THAT(port, ::testing::StartsWith("/dev/pts/"));
    EXPECT_EQ(r.out, port + "read 0\nserved 0\nsame\n") << r.err;
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir / "board")));
    EXPECT_THAT(read_text(dir / "board.err"), HasSubstr("connection 1 closed: open "));
}

// The board goes away while the command line reads the program memory: one line, exit status 1,
// and the output file that was there stays as it was.
TEST(ServeBoardTest, ABoardThatGoesAwayMidReadLeavesTheOutputFileAlone) {
    ScratchDir dir("serve-lost");
    std::ofstream(dir / "out.hex") << "before\n";
    const RunResult r = run_shell(
        dir, with_board(dir, "--chip 16F877A",
                        "{ " + cli() + "--trace --chip 16F877A --port '" + (dir / "board") +
                            "' read '" + (dir / "out.hex") + "'; echo exit $?; } 2>&1 | " +
                            "while IFS= read -r l; do case \"$l\" in Error:*|exit*) echo \"$l\";; "
                            "'> 0B') kill $board;; esac; done; wait $board"));
    EXPECT_EQ(r.out, "Error: The serial port " + (dir / "board") + " was lost\nexit 1\n");
    EXPECT_EQ(read_text(dir / "out.hex"), "before\n");
}

} // namespace
} // namespace zz::test
