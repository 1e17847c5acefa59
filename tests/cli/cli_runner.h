#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace zz::test {

// One run of a program through the shell: its exit status and what it printed.
struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

using Strings = std::vector<std::string>;

// The lines of a program's output without their line ends, or the fields of a line between `sep`.
inline Strings lines_of(const std::string& text, char sep = '\n') {
    Strings lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line, sep);)
        lines.push_back(line);
    return lines;
}

inline std::string read_text(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A scratch folder of its own for each test, removed afterwards. The programs the test runs keep
// their production records in it ($XDG_DATA_HOME), never in the user's.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name)
        : path_(std::filesystem::path(ZZ_BINARY_DIR) / "cli-scratch" / name) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        ::setenv("XDG_DATA_HOME", (path_ / "data").c_str(), 1);
    }
    // ZZ_KEEP_SCRATCH keeps the folder, to look at after a failure.
    ~ScratchDir() {
        if (!std::getenv("ZZ_KEEP_SCRATCH"))
            std::filesystem::remove_all(path_);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string operator/(const std::string& file) const { return (path_ / file).string(); }

private:
    std::filesystem::path path_;
};

// Runs `command` in the shell with stdout and stderr in files of `dir`.
inline RunResult run_shell(const ScratchDir& dir, const std::string& command) {
    const std::string out = dir / "stdout.txt";
    const std::string err = dir / "stderr.txt";
    const int raw = std::system((command + " >" + out + " 2>" + err).c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = read_text(out);
    result.err = read_text(err);
    return result;
}

// The command line with `arguments` (already quoted for the shell), as a shell command.
inline std::string cli_command(const std::string& arguments) {
    return std::string("'") + ZZ_CLI_PATH + "' --data-dir '" + ZZ_SOURCE_DIR + "/data' " +
           arguments;
}

// Runs the command line with `arguments` (already quoted for the shell).
inline RunResult run_cli(const ScratchDir& dir, const std::string& arguments) {
    return run_shell(dir, cli_command(arguments));
}

// The same run from inside `dir`, so that file names may be given relative to it.
inline RunResult run_cli_in(const ScratchDir& dir, const std::string& arguments) {
    return run_shell(dir, "cd '" + dir.path().string() + "' && " + cli_command(arguments));
}

// Words 0x10 = 0005 (a serial number's low word) and 0x11 = 0000 of a 14-bit chip.
constexpr const char* kNumberedImage = ":0400200005000000D7\n:00000001FF\n";

// A test whose scratch folder is named after it and holds kNumberedImage as image.hex.
class CliTest : public ::testing::Test {
protected:
    CliTest() : dir(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        std::ofstream(dir / "image.hex") << kNumberedImage;
    }

    ScratchDir dir;
};

} // namespace zz::test
