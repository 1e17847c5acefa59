#include "link/serial_port.h"

#include "link/port_access.h"
#include "link/receive_collector.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <linux/serial.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <system_error>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace zz {

namespace {

constexpr std::int64_t kPollNs = 200'000'000; // longest a worker waits before re-checking for close
// One character on the line at 38400 baud, 8N1: 10 bits.
constexpr std::int64_t kCharNs = 1'000'000'000 / 3840;
// The longest the reader lets a long reply gather in the driver before it reads again (ns).
constexpr std::int64_t kLongestGatherNs = 20'000'000;
constexpr int kStopWaitMs = 5000;             // longest close() waits for a worker to end

std::int64_t monotonic_ns() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

// The read interval is 1 ms; the kernel's default slack of 50 us per wait would add to every reply.
void fine_timer_slack() {
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

std::string open_failure(int error, const std::string& path) {
    std::string text = std::string(comm_error::kOpenFailed) + "\n";
    switch (error) {
    case EACCES:
    case EPERM:
        return text + permission_denied_text(path);
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return text + "No such port: " + path + ".";
    case EBUSY:
    case EWOULDBLOCK:
        return text + path + " is in use by another program.";
    default:
        return text + path + ": " + std::strerror(error) + ".";
    }
}

std::optional<speed_t> to_speed(std::uint32_t baud) {
    static constexpr std::pair<std::uint32_t, speed_t> kSpeeds[] = {
        {110, B110},       {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
        {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
        {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
    };
    for (const auto& [rate, speed] : kSpeeds) {
        if (rate == baud)
            return speed;
    }
    return std::nullopt;
}

std::optional<tcflag_t> data_bits(int byte_size) {
    switch (byte_size) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    case 8:
        return CS8;
    default:
        return std::nullopt;
    }
}

tcflag_t parity_bits(Parity parity) {
    switch (parity) {
    case Parity::Odd:
        return PARENB | PARODD;
    case Parity::Even:
        return PARENB;
    case Parity::Mark:
        return PARENB | CMSPAR | PARODD;
    case Parity::Space:
        return PARENB | CMSPAR;
    case Parity::None:
        break;
    }
    return 0;
}

// Raw bytes both ways: no echo, no line editing, no character translation, reads never block.
bool apply_termios(int fd, const CommProperties& p) {
    termios t{};
    const auto speed = to_speed(p.BaudRate);
    const auto bits = data_bits(p.ByteSize);
    if (!speed || !bits || tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | *bits | parity_bits(p.ParityMode);
    if (p.Stop != StopBits::One)
        t.c_cflag |= CSTOPB;
    if (p.Outx_CtsFlow || p.Rts == RtsControl::Handshake)
        t.c_cflag |= CRTSCTS;
    t.c_iflag &= ~(INPCK | IXON | IXOFF | IXANY);
    t.c_iflag |= (p.ParityCheck ? INPCK : 0) | (p.Outx_XonXoffFlow ? IXON : 0) |
                 (p.Inx_XonXoffFlow ? IXOFF : 0);
    t.c_cc[VSTART] = static_cast<cc_t>(p.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(p.XoffChar);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, *speed);
    cfsetospeed(&t, *speed);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

// A device without modem lines refuses this; that only matters to a board restarted through DTR.
void set_modem_line(int fd, int line, bool on) {
    ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

// DTR and RTS have no handshake or toggle modes here; those modes raise the line.
bool apply_line_settings(int fd, const CommProperties& p) {
    if (!apply_termios(fd, p))
        return false;
    set_modem_line(fd, TIOCM_DTR, p.Dtr != DtrControl::Disable);
    set_modem_line(fd, TIOCM_RTS, p.Rts != RtsControl::Disable);
    return true;
}

// Asks the driver to hand received bytes over at once instead of batching them (a USB bridge's
// latency timer: the Linux FTDI driver then runs it at 1 ms instead of 16 ms). Returns the flags
// to restore at close; nothing when the driver refuses (pseudo-terminals and some drivers do) or
// already runs at low latency.
std::optional<int> ask_low_latency(int fd) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY) != 0)
        return std::nullopt;
    const int before = serial.flags;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd, TIOCSSERIAL, &serial) != 0)
        return std::nullopt;
    return before;
}

void restore_latency(int fd, int flags) {
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags = (serial.flags & ~ASYNC_LOW_LATENCY) | (flags & ASYNC_LOW_LATENCY);
    ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace

// What the logic thread and the two workers share. Lives as long as its last user.
struct SerialPort::Link {
    enum class Wait { Ready, Idle, Stop, Gone };

    int fd = -1;
    int wake_fd = -1;                // readable once close() has begun
    std::optional<int> serial_flags; // the driver's flags before low latency was asked for
    std::atomic<bool> stopping = false;
    std::atomic<std::uint32_t> read_interval_ms = 1;
    std::mutex mutex;
    std::condition_variable cv; // new outgoing block, stop request, worker ended
    std::deque<std::vector<std::uint8_t>> received;
    std::deque<std::vector<std::uint8_t>> outgoing;
    std::optional<ExpectedReply> expected; // for the reader to take with the next bytes
    std::size_t queued_bytes = 0;
    bool reader_running = false;
    bool writer_running = false;
    bool writer_sending = false; // the writer holds a block it has not finished
    bool gone = false;           // a worker found the device gone; after the last received block
    bool gone_reported = false;  // the logic thread has been told
    Loop* loop = nullptr;        // cleared by close(), so a late worker never touches the loop

    ~Link() {
        if (fd >= 0) {
            if (serial_flags)
                restore_latency(fd, *serial_flags);
            ioctl(fd, TIOCNXCL);
            ::close(fd);
        }
        if (wake_fd >= 0)
            ::close(wake_fd);
    }

    // Hang-up and error bits without the awaited event mean the device has gone.
    Wait wait_device(short events, std::int64_t timeout_ns) {
        pollfd fds[2] = {{fd, events, 0}, {wake_fd, POLLIN, 0}};
        const timespec timeout{static_cast<time_t>(timeout_ns / 1'000'000'000),
                               static_cast<long>(timeout_ns % 1'000'000'000)};
        const int n = ::ppoll(fds, 2, &timeout, nullptr);
        if (stopping || (n > 0 && fds[1].revents != 0))
            return Wait::Stop;
        if (n < 0)
            return errno == EINTR ? Wait::Idle : Wait::Gone;
        // Bytes that came before a hang-up are read first.
        if (fds[0].revents & events)
            return Wait::Ready;
        return fds[0].revents != 0 ? Wait::Gone : Wait::Idle;
    }

    void queue_received(std::vector<std::uint8_t> block) {
        std::lock_guard lock(mutex);
        received.push_back(std::move(block));
        if (loop)
            loop->wake();
    }

    void mark_gone() {
        std::lock_guard lock(mutex);
        gone = true;
        if (loop)
            loop->wake();
    }

    // A reply expected since the last read counts from these bytes on.
    void collect(ReceiveCollector& collector, std::span<const std::uint8_t> bytes) {
        std::optional<ExpectedReply> reply;
        {
            std::lock_guard lock(mutex);
            reply = std::exchange(expected, std::nullopt);
        }
        if (reply)
            collector.expect(std::move(*reply));
        collector.add(bytes, monotonic_ns(), read_interval_ns());
    }

    std::int64_t read_interval_ns() const {
        return std::int64_t{read_interval_ms.load()} * 1'000'000;
    }

    // A reply whose length is known and which has begun comes at the line's pace: the reader lets
    // all but its last byte gather in the driver instead of waking for each one (a stream of 16 KB
    // would wake it thousands of times a second), then waits for the last as for any byte.
    void gather(std::size_t to_come) {
        if (to_come < 2 || stopping)
            return;
        const std::int64_t ns =
            std::min<std::int64_t>(static_cast<std::int64_t>(to_come - 1) * kCharNs,
                                   kLongestGatherNs);
        pollfd wake{wake_fd, POLLIN, 0};
        const timespec pause{0, static_cast<long>(ns)};
        ::ppoll(&wake, 1, &pause, nullptr);
    }

    // Deliveries end where the line pauses for the read interval. End of file, a device error or a
    // hang-up all mean the device has gone.
    void run_reader() {
        fine_timer_slack();
        ReceiveCollector collector(kMaxDelivery, [this](std::vector<std::uint8_t> block) {
            queue_received(std::move(block));
        });
        std::uint8_t buffer[kMaxDelivery];
        bool lost = false;
        while (!lost) {
            const auto deadline = collector.deadline_ns();
            const std::int64_t timeout =
                deadline ? std::max<std::int64_t>(*deadline - monotonic_ns(), 0) : kPollNs;
            const Wait w = wait_device(POLLIN, timeout);
            if (w == Wait::Stop)
                break;
            lost = w == Wait::Gone;
            if (w == Wait::Ready) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0)
                    collect(collector, {buffer, static_cast<std::size_t>(n)});
                else
                    lost = n == 0 || (errno != EAGAIN && errno != EINTR);
            }
            collector.expire(monotonic_ns());
            gather(collector.bytes_to_come());
        }
        if (lost) {
            collector.flush();
            mark_gone();
        }
        ended(reader_running);
    }

    bool next_outgoing(std::vector<std::uint8_t>& block) {
        std::unique_lock lock(mutex);
        const auto step = std::chrono::nanoseconds(kPollNs);
        while (!cv.wait_for(lock, step, [this] { return stopping || !outgoing.empty(); })) {
        }
        if (stopping)
            return false;
        block = std::move(outgoing.front());
        outgoing.pop_front();
        queued_bytes -= block.size();
        writer_sending = true;
        return true;
    }

    void sent() {
        std::lock_guard lock(mutex);
        writer_sending = false;
    }

    // With nothing queued ahead, a block goes to the device straight from the caller without
    // waking the writer (a thread switch per command); returns the bytes the device took.
    std::size_t write_through(std::span<const std::uint8_t> bytes) {
        if (!outgoing.empty() || writer_sending)
            return 0;
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        return n > 0 ? static_cast<std::size_t>(n) : 0;
    }

    // False when the port is closing or the device has gone (then marked).
    bool send(const std::vector<std::uint8_t>& block) {
        std::size_t done = 0;
        while (done < block.size()) {
            const ssize_t n = ::write(fd, block.data() + done, block.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN) {
                mark_gone();
                return false;
            }
            const Wait w = wait_device(POLLOUT, kPollNs);
            if (w == Wait::Gone)
                mark_gone();
            if (w == Wait::Stop || w == Wait::Gone)
                return false;
        }
        return true;
    }

    void run_writer() {
        std::vector<std::uint8_t> block;
        while (next_outgoing(block) && send(block))
            sent();
        ended(writer_running);
    }

    void ended(bool& running) {
        {
            std::lock_guard lock(mutex);
            running = false;
        }
        cv.notify_all();
    }
};

SerialPort::SerialPort(Loop& loop, std::string name) : loop_(loop), name_(std::move(name)) {
    loop_.add_source(this);
}

SerialPort::~SerialPort() {
    close();
    loop_.remove_source(this);
}

int SerialPort::open_device() const {
    const int fd = ::open(name_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw CommError(open_failure(errno, name_));
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || !isatty(fd)) {
        ::close(fd);
        throw CommError(comm_error::kNotComm);
    }
    // The lock keeps out a second open by this program, also as root; TIOCEXCL keeps other
    // programs out. The flag can outlive the descriptor (a pseudo-terminal keeps it while its
    // master is open), so ~Link clears it.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        throw CommError(open_failure(error, name_));
    }
    if (!apply_line_settings(fd, properties_) || tcflush(fd, TCIOFLUSH) != 0) {
        ::close(fd);
        throw CommError(comm_error::kBufferSetup);
    }
    ioctl(fd, TIOCEXCL);
    return fd;
}

void SerialPort::open() {
    if (link_)
        throw CommError(comm_error::kAlreadyOpen);
    auto link = std::make_shared<Link>();
    link->fd = open_device();
    link->serial_flags = ask_low_latency(link->fd);
    link->wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (link->wake_fd < 0)
        throw CommError(comm_error::kEvent);
    link->loop = &loop_;
    link->read_interval_ms = properties_.ReadIntervalTimeout;
    link_ = std::move(link);
    try {
        start_workers();
    } catch (const CommError&) {
        close();
        throw;
    }
}

void SerialPort::start_workers() {
    auto start = [this](std::thread& thread, bool& running, void (Link::*run)(),
                        const char* error) {
        {
            std::lock_guard lock(link_->mutex);
            running = true;
        }
        try {
            thread = std::thread([link = link_, run] { ((*link).*run)(); });
        } catch (const std::system_error&) {
            std::lock_guard lock(link_->mutex);
            running = false;
            throw CommError(error);
        }
    };
    start(reader_, link_->reader_running, &Link::run_reader, comm_error::kReadThread);
    start(writer_, link_->writer_running, &Link::run_writer, comm_error::kWriteThread);
}

void SerialPort::close() {
    if (!link_)
        return;
    const std::shared_ptr<Link> link = std::move(link_);
    stop_workers(*link);
}

void SerialPort::stop_workers(Link& link) {
    {
        std::lock_guard lock(link.mutex);
        link.stopping = true;
        link.loop = nullptr;
        link.received.clear();
    }
    link.cv.notify_all();
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto woken = ::write(link.wake_fd, &one, sizeof one);
    // Discarding unsent output also keeps the final close of the device from waiting for it.
    tcflush(link.fd, TCIOFLUSH);

    std::unique_lock lock(link.mutex);
    const bool ended = link.cv.wait_for(lock, std::chrono::milliseconds(kStopWaitMs), [&link] {
        return !link.reader_running && !link.writer_running;
    });
    lock.unlock();
    for (std::thread* t : {&reader_, &writer_}) {
        if (!t->joinable())
            continue;
        // A worker stuck in the kernel keeps its own reference to the link and closes the
        // device when it finally ends.
        if (ended)
            t->join();
        else
            t->detach();
    }
}

bool SerialPort::lost() const {
    if (!link_)
        return false;
    std::lock_guard lock(link_->mutex);
    return link_->gone;
}

bool SerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!link_ || bytes.empty() || bytes.size() > kMaxWrite)
        return false;
    {
        std::lock_guard lock(link_->mutex);
        if (!link_->writer_running || link_->gone ||
            link_->queued_bytes + bytes.size() > kMaxQueued)
            return false;
        // What the device refuses at once (full, or an error the writer will meet too) is left
        // to the writer, in order.
        const std::size_t done = link_->write_through(bytes);
        if (done == bytes.size())
            return true;
        link_->outgoing.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(done),
                                     bytes.end());
        link_->queued_bytes += bytes.size() - done;
    }
    link_->cv.notify_all();
    return true;
}

void SerialPort::expect_reply(const ExpectedReply& reply) {
    if (!link_)
        return;
    std::lock_guard lock(link_->mutex);
    link_->expected = reply;
}

void SerialPort::set_properties(const CommProperties& properties) {
    if (properties == properties_)
        return;
    properties_ = properties;
    // A setting the device refuses leaves the line as it was.
    if (link_) {
        link_->read_interval_ms = properties_.ReadIntervalTimeout;
        apply_line_settings(link_->fd, properties_);
    }
}

void SerialPort::dispatch(std::int64_t) {
    // One block at a time: the handler may run a nested wait that dispatches again, or close
    // the port.
    for (;;) {
        if (!link_)
            return;
        std::vector<std::uint8_t> block;
        bool lost = false;
        {
            std::lock_guard lock(link_->mutex);
            if (!link_->received.empty()) {
                block = std::move(link_->received.front());
                link_->received.pop_front();
            } else if (link_->gone && !link_->gone_reported) {
                link_->gone_reported = lost = true;
            } else {
                return;
            }
        }
        if (lost) {
            report_lost();
            return;
        }
        deliver(block);
    }
}

std::optional<std::int64_t> SerialPort::next_due_ms() const {
    if (!link_)
        return std::nullopt;
    std::lock_guard lock(link_->mutex);
    if (link_->received.empty() && (!link_->gone || link_->gone_reported))
        return std::nullopt;
    return loop_.now_ms();
}

} // namespace zz
