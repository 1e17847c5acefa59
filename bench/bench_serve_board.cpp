// Program (every option) then Verify of a full 16F877A through the command line, against
// `ze-zuzu-cli serve-board` on a pseudo-terminal, in real time: the time the two commands take,
// from their start to their exit, against the time the board counts for its own work and the
// line's bytes (and that time together with the bytes' waits for their hand-over, which the
// application cannot shorten either).
//
// two:MODE runs Auto Program of two full 16F877A chips on each of two boards at once, from one
// command line with two --port, the serial numbers of one sequence reserved in the image and one
// production log, each board with a person at its socket (500 ms to take a chip out, 500 ms to put
// the next in): the time the command takes against the busier board's own time (its work, its
// line, the hand-over waits and the waits for its person).
//
// many:N:MODE programs one full 16F877A (program memory read back as it is written) on each of N
// boards at once from one command line with N --port: the time against the busiest board's own
// time, and the command line's CPU time (user + system) over its real time, per board.
//
// Usage: bench_serve_board [fifo|fifo:N|byte|frame:MS|two:MODE|many:N:MODE ...] (default: fifo
// fifo:1 byte frame:1 frame:16 two:byte many:16:fifo:1)
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
#include <sys/resource.h>
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

// Its exit status; `cpu_ms` (when given) gets its user + system time.
int finish(const Child& child, double* cpu_ms = nullptr) {
    int status = 0;
    rusage usage{};
    if (child.pid < 0 || wait4(child.pid, &status, 0, &usage) < 0)
        return -1;
    if (cpu_ms)
        *cpu_ms = 1000.0 * static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
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
    double line_ms = 0;   // with the hand-over waits
    double socket_ms = 0; // with the hand-over waits and the person at the socket
    int connections = 0;
};

// The board's line per connection: "connection N closed: open X ms, board and line busy Y ms,
// with the hand-over Z ms, with the socket W ms".
Counted read_counts(std::FILE* err) {
    Counted c;
    for (std::string line = read_line(err); !line.empty(); line = read_line(err)) {
        int n = 0;
        double open = 0, busy = 0, with = 0, socket = 0;
        if (std::sscanf(line.c_str(),
                        "connection %d closed: open %lf ms, board and line busy %lf ms, with the "
                        "hand-over %lf ms, with the socket %lf ms",
                        &n, &open, &busy, &with, &socket) == 5) {
            c.busy_ms += busy;
            c.line_ms += with;
            c.socket_ms += socket;
            ++c.connections;
        }
    }
    return c;
}

// serve-board with `extra` options; its port, or empty when it did not start.
std::string serve(const std::string& mode, const std::vector<std::string>& extra, Child& board) {
    std::vector<std::string> args = {"--data-dir", kData,         "--model",   "3", "--chip",
                                     "16F877A",    "serve-board", "--deliver", mode};
    args.insert(args.end(), extra.begin(), extra.end());
    board = start(args, true);
    const std::string port = read_line(board.out);
    if (port.empty())
        std::printf("serve-board did not start\n");
    return port;
}

Counted stop(const Child& board) {
    kill(board.pid, SIGTERM);
    const Counted counted = read_counts(board.err);
    finish(board);
    return counted;
}

double ms_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

std::vector<std::string> cli_args(std::vector<std::string> args) {
    const std::vector<std::string> common = {"--data-dir", kData,     "--model", "3",
                                             "--chip",     "16F877A", "--quiet", "--yes"};
    args.insert(args.begin(), common.begin(), common.end());
    return args;
}

bool run_once(const std::string& mode, const std::filesystem::path& image) {
    Child board;
    const std::string port = serve(mode, {}, board);
    if (port.empty())
        return false;
    const auto t0 = std::chrono::steady_clock::now();
    bool ok = true;
    for (const char* command : {"program", "verify"}) {
        const int status =
            finish(start(cli_args({"--port", port, command, image.string()}), false));
        if (status != 0) {
            std::printf("%s failed with exit status %d\n", command, status);
            ok = false;
            break;
        }
    }
    const double real_ms = ms_since(t0);
    const Counted counted = stop(board);
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

constexpr int kChipsPerBoard = 2;

bool run_two(const std::string& mode, const std::filesystem::path& image) {
    Child boards[2];
    std::vector<std::string> args;
    for (Child& board : boards) {
        const std::string port = serve(mode, {"--virtual-operator", "500,500"}, board);
        if (port.empty())
            return false;
        args.insert(args.end(), {"--port", port});
    }
    // As on a production line: one sequence of serial numbers reserved in the image, one log.
    const std::filesystem::path log = image.parent_path() / "two.csv";
    args.insert(args.end(), {"--serial", "id", "--serial-save", "--log", log.string(), "--count",
                             std::to_string(kChipsPerBoard), "auto", image.string()});
    const auto t0 = std::chrono::steady_clock::now();
    const int status = finish(start(cli_args(args), false));
    const double real_ms = ms_since(t0);
    const Counted a = stop(boards[0]);
    const Counted b = stop(boards[1]);
    if (status != 0) {
        std::printf("auto failed with exit status %d\n", status);
        return false;
    }
    const Counted& busier = a.socket_ms >= b.socket_ms ? a : b;
    std::printf("two boards at once, --deliver %s, Auto Program of %d chips each\n", mode.c_str(),
                kChipsPerBoard);
    std::printf("  real time:                     %9.1f ms\n", real_ms);
    std::printf("  each board's own time:         %9.1f ms, %9.1f ms (board, line, hand-over, "
                "person)\n",
                a.socket_ms, b.socket_ms);
    std::printf("  ratio to the busier board:     %9.4f\n", real_ms / busier.socket_ms);
    return true;
}

bool run_many(int count, const std::string& mode, const std::filesystem::path& image) {
    std::vector<Child> boards(static_cast<std::size_t>(count));
    std::vector<std::string> args;
    for (Child& board : boards) {
        const std::string port = serve(mode, {}, board);
        if (port.empty())
            return false;
        args.insert(args.end(), {"--port", port});
    }
    args.insert(args.end(), {"--no-serial", "program", image.string()});
    const auto t0 = std::chrono::steady_clock::now();
    double cpu_ms = 0;
    const int status = finish(start(cli_args(args), false), &cpu_ms);
    const double real_ms = ms_since(t0);
    double busiest = 0;
    double slowest_ratio = 0;
    for (const Child& board : boards) {
        const Counted c = stop(board);
        busiest = std::max(busiest, c.line_ms);
        slowest_ratio = std::max(slowest_ratio, real_ms / c.line_ms);
    }
    if (status != 0) {
        std::printf("program on %d boards failed with exit status %d\n", count, status);
        return false;
    }
    std::printf("%d boards at once, --deliver %s, Program of a full chip each\n", count,
                mode.c_str());
    std::printf("  real time:                     %9.1f ms\n", real_ms);
    std::printf("  busiest board's own time:      %9.1f ms (board, line, hand-over)\n", busiest);
    std::printf("  ratio, slowest board:          %9.4f\n", slowest_ratio);
    std::printf("  CPU of the command line:       %9.1f ms, %.2f %% of one core per board\n",
                cpu_ms, 100.0 * cpu_ms / real_ms / count);
    return true;
}

bool run_mode(const std::string& mode, const std::filesystem::path& image) {
    if (mode.starts_with("two:"))
        return run_two(mode.substr(4), image);
    if (mode.starts_with("many:")) {
        const auto colon = mode.find(':', 5);
        return run_many(std::atoi(mode.substr(5, colon - 5).c_str()), mode.substr(colon + 1),
                        image);
    }
    return run_once(mode, image);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> modes(argv + 1, argv + argc);
    if (modes.empty())
        modes = {"fifo", "fifo:1", "byte", "frame:1", "frame:16", "two:byte", "many:16:fifo:1"};
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("zz-bench-serve-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::filesystem::path image = write_image(dir);
    std::printf("16F877A Program (all options) + Verify through ze-zuzu-cli against serve-board, "
                "real time\n");
    bool ok = true;
    for (const std::string& mode : modes)
        ok = run_mode(mode, image) && ok;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
