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
// A reader thread queues received blocks (at most kMaxDelivery bytes each) and wakes the loop;
// dispatch() hands them to the receive handler in order on the logic thread. A writer thread sends
// the blocks that write() queues. Both threads wait on poll() or a condition variable with a
// deadline and are woken by close(), so closing never hangs, also when the device has gone.
//
// A worker that hits a fatal device error (USB adapter unplugged) ends quietly. The port then stays
// open but silent until close(): nothing more is received, so the link times out, and once the
// writer has ended write() returns false.
//
// Line settings map onto termios and the modem lines. Settings Linux has no counterpart for (DSR
// flow and sensitivity, XON/XOFF limits, parity-error replacement, null stripping, read and write
// timeouts) are stored but have no effect. A device without modem lines (a pseudo-terminal)
// ignores DTR and RTS.
class SerialPort : public Port, public EventSource {
public:
    explicit SerialPort(Loop& loop, std::string name = "COM1");
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    void open() override;
    void close() override;
    bool is_open() const override { return link_ != nullptr; }
    bool write(std::span<const std::uint8_t> bytes) override;

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
