// The window program's own options, run as a person runs it from a terminal.
#include "base/version.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace zz::test {
namespace {

using ::testing::HasSubstr;

struct Ran {
    int status = -1;
    std::string out;
    std::string err;
};

std::string file_text(const std::filesystem::path& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

// Runs the window program with `arguments` under `environment` (assignments for env(1)).
Ran run_window(const std::string& environment, const std::string& arguments) {
    const std::filesystem::path dir = std::filesystem::path(ZZ_BINARY_DIR) / "window-options";
    std::filesystem::create_directories(dir);
    const std::string command = "env " + environment + " '" + ZZ_WINDOW_PATH + "' " + arguments +
                                " >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string() +
                                "'";
    const int raw = std::system(command.c_str());
    Ran r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, file_text(dir / "out"), file_text(dir / "err")};
    std::filesystem::remove_all(dir);
    return r;
}

// No display at all: the answer must not need one.
constexpr const char* kNoDisplay = "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";

TEST(WindowOptions, HelpAndVersionAnswerWithoutAWindowSystem) {
    const Ran help = run_window(kNoDisplay, "--help");
    EXPECT_EQ(help.status, 0) << help.err;
    for (const char* option : {"--virtual-board", "--virtual-chip <NAME>", "--chip-image <FILE>",
                               "--chip-save <FILE>", "--screenshot <FILE>", "--version"})
        EXPECT_THAT(help.out, HasSubstr(option));

    const Ran version = run_window(kNoDisplay, "--version");
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, "ze-zuzu " ZZ_VERSION "\n");
}

TEST(WindowOptions, AnythingElseIsRefusedWithStatusTwo) {
    // Refused before a window system is needed: also on a terminal without a display.
    const Ran unknown = run_window(kNoDisplay, "--virtual-bord");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_THAT(unknown.err, HasSubstr("ze-zuzu: Unknown option 'virtual-bord'."));

    const Ran stray = run_window("QT_QPA_PLATFORM=offscreen", "file.hex");
    EXPECT_EQ(stray.status, 2);
    EXPECT_THAT(stray.err, HasSubstr("ze-zuzu: Unexpected argument 'file.hex'."));

    // Qt's own options are Qt's; the letters h and v in them ask for no help or version.
    const Ran qt_option = run_window("QT_QPA_PLATFORM=offscreen", "-reverse -stylesheet x --bogus");
    EXPECT_EQ(qt_option.status, 2) << qt_option.out;
    EXPECT_THAT(qt_option.err, HasSubstr("Unknown option 'bogus'."));

    const Ran missing = run_window("QT_QPA_PLATFORM=offscreen", "--chip-image");
    EXPECT_EQ(missing.status, 2);
    EXPECT_THAT(missing.err, HasSubstr("Missing value after '--chip-image'."));
}

} // namespace
} // namespace zz::test
