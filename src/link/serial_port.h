#pragma once

#include "base/loop.h"
#include "link/port.h"

#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace zz {

// A real serial line (/dev/ttyUSB0, /dev/ttyACM0, /dev/ttyS0 ...), opened by the name as given.
//
// A reader thread joins what the device hands over into deliveries, each complete once the line
// has been quiet for ReadIntervalTimeout ms (0: each read as it comes), at kMaxDelivery bytes, or
// as soon as it completes the reply expect_reply() describes, timed with ppoll() on the monotonic
// clock; it queues them and wakes the loop, and dispatch()
// hands them to the receive handler in order on the logic thread. A writer thread sends the blocks
// that write() queues. Both threads wait with a deadline and are woken by close(), so closing
// never hangs, also when the device has gone.
//
// A read, write or poll that finds the device gone (hang-up, POLLERR, end of file, EIO, ENXIO,
// ENODEV: a USB adapter unplugged) ends that worker; the logic thread hears of it once through the
// lost handler, after the bytes received before it. The port then stays open and dead until
// close(), and write() returns false.
//
// Opening asks the driver for low latency (ASYNC_LOW_LATENCY), so a USB bridge hands each reply
// over at once; a driver that refuses is used as it is, and closing restores what it had.
//
// Line settings map onto termios and the modem lines. Settings Linux has no counterpart for (DSR
// flow and sensitivity, XON/XOFF limits, parity-error replacement, null stripping, the total read
// timeouts and the write timeouts) are stored but have no effect. A device without modem lines (a
// pseudo-terminal) ignores DTR and RTS.
class SerialPort : public Port, public EventSource {
public:
    explicit SerialPort(Loop& loop, std::string name = "COM1");
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    void open() override;
    void close() override;
    bool is_open() const override { return link_ != nullptr; }
    bool lost() const override;
    bool write(std::span<const std::uint8_t> bytes) override;
    void expect_reply(const ExpectedReply& reply) override;

    void set_properties(const CommProperties& properties) override;
    const CommProperties& properties() const override { return properties_; }
    void set_name(const std::string& name) override { name_ = name; }
    const std::string& name() const override { return name_; }

    void dispatch(std::int64_t now_ms) override;
    std::optional<std::int64_t> next_due_ms() const override;

    // Blocks queued for the writer may not exceed this; write() returns false beyond it (bytes).
    static constexpr std::size_t kMaxQueued = 1 << 20;

private:
    struct Link;

    int open_device() const;
    void start_workers();
    void stop_workers(Link& link);

    Loop& loop_;
    std::string name_;
    CommProperties properties_;
    // Shared with the workers, so a worker that outlives close()'s bounded wait keeps it alive.
    std::shared_ptr<Link> link_;
    std::thread reader_;
    std::thread writer_;
};

} // namespace zz
