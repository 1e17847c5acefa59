#include "sim/pty_board.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace zz {

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

PtyBoard::PtyBoard(VirtualBoard& board, Loop& clock, HandOver hand_over)
    : board_(board), clock_(clock), queue_(hand_over) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0)
        fail("posix_openpt");
    char name[PATH_MAX];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name))
        fail("pseudo-terminal");
    slave_path_ = name;
    // Settings made through the master are the slave's, and stay for every later open: raw bytes,
    // so nothing is echoed back to the board before the application has set its own.
    termios t{};
    if (tcgetattr(master_, &t) != 0)
        fail("tcgetattr");
    cfmakeraw(&t);
    if (tcsetattr(master_, TCSANOW, &t) != 0)
        fail("tcsetattr");
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ < 0 || inotify_add_watch(inotify_, name, IN_OPEN | IN_CLOSE) < 0)
        fail("inotify");
    board_.set_wire_timing(true);
    board_.set_paced_output(true);
    board_.set_dtr(false);
    board_.set_output([this](std::span<const std::uint8_t> bytes) {
        if (!connected_)
            return false;
        queue_.push(bytes, board_.event_us());
        return true;
    });
}

PtyBoard::~PtyBoard() {
    board_.set_output(nullptr);
    if (inotify_ >= 0)
        ::close(inotify_);
    if (master_ >= 0)
        ::close(master_);
}

void PtyBoard::run(int stop_fd) {
    // The board's answers are timed to a few microseconds; the default 50 us slack per wait
    // would add to every exchange.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    for (;;) {
        const std::int64_t now = clock_.now_us();
        board_.dispatch_us(now);
        write_due(now);
        // serve-board runs for days; the board's trace is for tests.
        board_.clear_trace();

        // The master is watched only while connected: with the slave closed it reports POLLHUP
        // without end.
        pollfd fds[3] = {{inotify_, POLLIN, 0},
                         {connected_ ? master_ : -1,
                          static_cast<short>(POLLIN | (unwritten_.empty() ? 0 : POLLOUT)), 0},
                         {stop_fd, POLLIN, 0}};
        timespec timeout{};
        const bool timed = next_timeout(clock_.now_us(), timeout);
        if (::ppoll(fds, 3, timed ? &timeout : nullptr, nullptr) < 0 && errno != EINTR)
            fail("ppoll");
        if (fds[2].revents != 0)
            break;
        // Node events first: an open is queued before the application can write anything.
        if (fds[0].revents != 0)
            take_node_events();
        if (connected_ && (fds[1].revents & POLLIN))
            read_host();
        // The hang-up seen by ppoll may be older than a reopen among the node events; the close
        // that caused it is queued before the master shows it, so a hang-up that is still there
        // after the events means a close the count missed.
        if (connected_ && (fds[1].revents & POLLHUP)) {
            take_node_events();
            if (connected_ && slave_closed()) {
                slave_handles_ = 0;
                disconnect();
            }
        }
    }
    if (connected_)
        disconnect();
}

bool PtyBoard::next_timeout(std::int64_t now_us, timespec& timeout) const {
    std::optional<std::int64_t> due = board_.next_due_us();
    if (const auto handed = queue_.next_due_us(); handed && (!due || *handed < *due))
        due = handed;
    if (!due)
        return false;
    const std::int64_t wait = std::max<std::int64_t>(*due - now_us, 0);
    timeout.tv_sec = static_cast<time_t>(wait / 1'000'000);
    timeout.tv_nsec = static_cast<long>(wait % 1'000'000 * 1000);
    return true;
}

bool PtyBoard::slave_closed() const {
    pollfd fd{master_, POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & POLLHUP);
}

void PtyBoard::take_node_events() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
        if (n <= 0)
            return;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN) {
                if (slave_handles_++ == 0)
                    connect();
            } else if ((event->mask & IN_CLOSE) && slave_handles_ > 0) {
                if (--slave_handles_ == 0)
                    disconnect();
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

void PtyBoard::connect() {
    connected_ = true;
    ++connections_;
    connected_at_us_ = clock_.now_us();
    board_.clear_busy_time();
    waits_.clear();
    // As the DTR line rising: the board restarts and announces itself.
    board_.set_dtr(true);
}

void PtyBoard::disconnect() {
    connected_ = false;
    board_.set_dtr(false);
    queue_.clear();
    unwritten_.clear();
    for (const auto& [from, to] : queue_.take_waits())
        waits_.add(from, to);
    // Whatever the application wrote last goes with it.
    std::uint8_t scrap[4096];
    while (::read(master_, scrap, sizeof scrap) > 0) {
    }
    if (!closed_)
        return;
    BusyTime person = waits_;
    person.merge(board_.socket_waits());
    closed_(Connection{connections_, clock_.now_us() - connected_at_us_,
                       board_.busy_time().total_us(), board_.busy_time().total_with_us(waits_),
                       board_.busy_time().total_with_us(person)});
}

void PtyBoard::read_host() {
    std::uint8_t buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0)
        board_.host_write({buffer, static_cast<std::size_t>(n)});
}

void PtyBoard::write_due(std::int64_t now_us) {
    if (!connected_)
        return;
    const std::vector<std::uint8_t> due = queue_.take_due(now_us);
    unwritten_.insert(unwritten_.end(), due.begin(), due.end());
    for (const auto& [from, to] : queue_.take_waits())
        waits_.add(from, to);
    if (unwritten_.empty())
        return;
    const ssize_t n = ::write(master_, unwritten_.data(), unwritten_.size());
    if (n > 0)
        unwritten_.erase(unwritten_.begin(), unwritten_.begin() + n);
}

} // namespace zz
