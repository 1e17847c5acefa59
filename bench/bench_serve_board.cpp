// Program (every option) then Verify of a full 16F877A through the command line, against
// `ze-zuzu-cli serve-board` on a pseudo-terminal, in real time: the time the two commands take,
// from their start to their exit, against the time the board counts for its own work and the
// line's bytes (and that time together with the bytes' waits for their hand-over, which the
// application cannot shorten either). Usage: bench_serve_board [fifo|byte|frame:MS ...]
// (default: byte frame:1 fifo)
#include "base/hex_text.h"
#include "device/buffer.h"
#include "device/chip_database.h"
#include "files/hex_export.h"
#include "program_bench.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace zz;

constexpr const char* kData = ZZ_SOURCE_DIR "/data";

struct Child {
    pid_t pid = -1;
    std::FILE* out = nullptr; // its stdout
    std::FILE* err = nullptr; // its stderr
};

// Starts the command line with `args`, its stdout and stderr on pipes, or discarded.
Child start(const std::vector<std::string>& args, bool capture) {
    std::vector<char*> argv;
    std::string program = ZZ_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (capture && pipe(out) == 0 && pipe(err) == 0) {
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        for (int fd : {out[0], out[1], err[0], err[1]})
            posix_spawn_file_actions_addclose(&actions, fd);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    Child child;
    if (posix_spawn(&child.pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (capture) {
        ::close(out[1]);
        ::close(err[1]);
        child.out = fdopen(out[0], "r");
        child.err = fdopen(err[0], "r");
    }
    return child;
}

int finish(const Child& child) {
    int status = 0;
    if (child.pid < 0 || waitpid(child.pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string read_line(std::FILE* f) {
    char line[512];
    if (!f || !std::fgets(line, sizeof line, f))
        return {};
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// The full image every option programs: program memory, EEPROM, ID and configuration word.
std::filesystem::path write_image(const std::filesystem::path& dir) {
    const ChipParams chip = ChipDatabase(kData).load(3, "16F877A", ChipParams{});
    Buffer buffer;
    buffer.clrbuffer(chip);
    bench::fill_full_image(buffer);
    const std::filesystem::path path = dir / "full.hex";
    export_hex_file(chip, buffer, path);
    return path;
}

struct Counted {
    double busy_ms = 0;
    double line_ms = 0;
    int connections = 0;
};

// The board's line per connection: "connection N closed: open X ms, board and line busy Y ms,
// with the hand-over Z ms".
Counted read_counts(std::FILE* err) {
    Counted c;
    for (std::string line = read_line(err); !line.empty(); line = read_line(err)) {
        int n = 0;
        double open = 0, busy = 0, with = 0;
        if (std::sscanf(line.c_str(),
                        "connection %d closed: open %lf ms, board and line busy %lf ms, with the "
                        "hand-over %lf ms",
                        &n, &open, &busy, &with) == 4) {
            c.busy_ms += busy;
            c.line_ms += with;
            ++c.connections;
        }
    }
    return c;
}

bool run_once(const std::string& mode, const std::filesystem::path& image) {
    const Child board = start({"--data-dir", kData, "--model", "3", "--chip", "16F877A",
                               "serve-board", "--deliver", mode},
                              true);
    const std::string port = read_line(board.out);
    if (port.empty()) {
        std::printf("serve-board did not start\n");
        return false;
    }
    const std::vector<std::string> common = {"--data-dir", kData,    "--model", "3",       "--chip",
                                             "16F877A",    "--port", port,      "--quiet", "--yes"};
    const auto t0 = std::chrono::steady_clock::now();
    bool ok = true;
    for (const char* command : {"program", "verify"}) {
        std::vector<std::string> args = common;
        args.push_back(command);
        args.push_back(image.string());
        const int status = finish(start(args, false));
        if (status != 0) {
            std::printf("%s failed with exit status %d\n", command, status);
            ok = false;
            break;
        }
    }
    const double real_ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    kill(board.pid, SIGTERM);
    const Counted counted = read_counts(board.err);
    finish(board);
    if (!ok)
        return false;
    std::printf("--deliver %s\n", mode.c_str());
    std::printf("  real time, program + verify:   %9.1f ms (%d connections)\n", real_ms,
                counted.connections);
    std::printf("  board and wire time counted:   %9.1f ms\n", counted.busy_ms);
    std::printf("  ratio:                         %9.4f\n", real_ms / counted.busy_ms);
    std::printf("  with the hand-over waits:      %9.1f ms (ratio %.4f)\n", counted.line_ms,
                real_ms / counted.line_ms);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> modes(argv + 1, argv + argc);
    if (modes.empty())
        modes = {"byte", "frame:1", "fifo"};
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("zz-bench-serve-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path image = write_image(dir);
    std::printf("16F877A Program (all options) + Verify through ze-zuzu-cli against serve-board, "
                "real time\n");
    bool ok = true;
    for (const std::string& mode : modes)
        ok = run_once(mode, image) && ok;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
