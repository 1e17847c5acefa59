#include "cli/serve_board.h"

#include "base/real_loop.h"
#include "cli/cli_context.h"
#include "device/chip_database.h"
#include "device/chip_family.h"
#include "sim/chip_image.h"
#include "sim/pty_board.h"
#include "sim/socket_operator.h"

#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/signalfd.h>
#include <unistd.h>

namespace zz::cli {

namespace {

// The chip in the socket: --virtual-chip, else the chip the options or the settings select.
std::string chip_name(const CliOptions& o, const AppSettings& s) {
    if (o.virtual_chip)
        return *o.virtual_chip;
    if (o.family && !o.chip)
        return std::string(find_chip_family(s.chip_mode)->default_chip);
    return s.chip_type;
}

// SIGINT and SIGTERM become readable on the returned descriptor instead of ending the program.
int stop_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    // A reader of stdout or stderr that goes away must not end the board.
    std::signal(SIGPIPE, SIG_IGN);
    return signalfd(-1, &set, SFD_CLOEXEC);
}

// Replaces a link left by an earlier run; anything else at PATH is the user's and stays.
void make_link(const std::filesystem::path& link, const std::string& target) {
    std::error_code ec;
    if (std::filesystem::is_symlink(link, ec))
        std::filesystem::remove(link, ec);
    std::filesystem::create_symlink(target, link);
}

void remove_link(const std::filesystem::path& link, const std::string& target) {
    std::error_code ec;
    if (std::filesystem::is_symlink(link, ec) && std::filesystem::read_symlink(link, ec) == target)
        std::filesystem::remove(link, ec);
}

void report(const PtyBoard::Connection& c) {
    const auto ms = [](std::int64_t us) { return static_cast<double>(us) / 1000.0; };
    std::fprintf(stderr,
                 "connection %d closed: open %.1f ms, board and line busy %.1f ms, with the "
                 "hand-over %.1f ms, with the socket %.1f ms\n",
                 c.number, ms(c.open_us), ms(c.busy_us), ms(c.line_us), ms(c.socket_us));
}

} // namespace

int serve_board(const CliOptions& o, const AppSettings& s, const std::filesystem::path& data_dir) {
    const HandOver hand_over =
        HandOver::parse(o.serve.deliver.empty() ? "fifo" : o.serve.deliver).value_or(HandOver{});
    const ChipParams chip = ChipDatabase(data_dir).load(s.prog_type, chip_name(o, s), ChipParams{});
    RealLoop clock;
    VirtualBoard board(clock, s.prog_type);
    board.insert_chip(VirtualChip(chip));
    if (!o.chip_image.empty()) {
        const LoadResult loaded = load_chip_image(*board.chip(), chip, o.chip_image);
        if (!loaded.ok) {
            std::fprintf(stderr, "Error: %s\n", loaded.error.c_str());
            return kBadInput;
        }
        if (!loaded.warning.empty())
            std::fprintf(stderr, "%s\n", loaded.warning.c_str());
    }
    // A person at the socket for Auto Program: each chip taken out is replaced by a blank one.
    std::optional<SocketOperator> person;
    if (o.boards.person)
        person.emplace(board, *o.boards.person, [&chip] { return VirtualChip(chip); });
    const int stop_fd = stop_signals();
    PtyBoard pty(board, clock, hand_over);
    if (!o.serve.link.empty()) {
        try {
            make_link(o.serve.link, pty.slave_path());
        } catch (const std::filesystem::filesystem_error& e) {
            std::fprintf(stderr, "Error: %s\n", e.what());
            return kBadInput;
        }
    }
    std::printf("%s\n", pty.slave_path().c_str());
    std::fflush(stdout);
    pty.on_closed(report);
    pty.run(stop_fd);
    if (!o.serve.link.empty())
        remove_link(o.serve.link, pty.slave_path());
    ::close(stop_fd);
    if (o.chip_save.empty())
        return kSuccess;
    try {
        save_chip_image(*board.chip(), chip, o.chip_save);
        return kSuccess;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Error: The virtual chip could not be saved: %s\n", e.what());
        return kFailed;
    }
}

} // namespace zz::cli
