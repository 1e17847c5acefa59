#pragma once

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

// The lines of a program's output, without their line ends.
inline std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
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
    ~ScratchDir() { std::filesystem::remove_all(path_); }
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

// Runs the command line with `arguments` (already quoted for the shell).
inline RunResult run_cli(const ScratchDir& dir, const std::string& arguments) {
    return run_shell(dir, std::string("'") + ZZ_CLI_PATH + "' --data-dir '" + ZZ_SOURCE_DIR +
                              "/data' " + arguments);
}

// The same run from inside `dir`, so that file names may be given relative to it.
inline RunResult run_cli_in(const ScratchDir& dir, const std::string& arguments) {
    return run_shell(dir, "cd '" + dir.path().string() + "' && '" + ZZ_CLI_PATH + "' --data-dir '" +
                              ZZ_SOURCE_DIR + "/data' " + arguments);
}

} // namespace zz::test
