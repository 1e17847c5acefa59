#pragma once

#include "base/loop.h"
#include "link/port.h"
#include "sim/virtual_board.h"

#include <string>

namespace zz {

// The serial line to a VirtualBoard. The DTR line is active while the port is open with DTR
// not disabled; its rising edge restarts the board, and closing the port stops the board.
class VirtualPort : public Port, public EventSource {
public:
    VirtualPort(Loop& loop, VirtualBoard& board, std::string name = "Virtual board");
    ~VirtualPort() override;
    VirtualPort(const VirtualPort&) = delete;
    VirtualPort& operator=(const VirtualPort&) = delete;

    void open() override;
    void close() override;
    bool is_open() const override { return open_; }
    bool lost() const override { return stale_; }
    bool write(std::span<const std::uint8_t> bytes) override;
    void set_properties(const CommProperties& properties) override;
    const CommProperties& properties() const override { return properties_; }
    void set_name(const std::string& name) override { name_ = name; }
    const std::string& name() const override { return name_; }

    void dispatch(std::int64_t now_ms) override;
    std::optional<std::int64_t> next_due_ms() const override;

    // The next open() throws CommError with this text.
    void fail_next_open(std::string comm_error_text);
    // write() refuses every block, as a full queue would.
    void set_write_refused(bool refused) { write_refused_ = refused; }
    // Without a DTR line (a pseudo-terminal) the board runs while the port is open, restarting as
    // it opens; switching DTR changes nothing.
    void set_dtr_line(bool present);
    // The device goes away (a USB adapter pulled out): the board loses power, writes fail and
    // opening fails with "Error opening serial port" until it comes back. A handle open at that
    // moment stays dead until it is closed and opened again, and the lost handler hears of it at
    // the next process_events(), as from a real port.
    void set_gone(bool gone);

private:
    void update_dtr();

    Loop& loop_;
    VirtualBoard& board_;
    std::string name_;
    CommProperties properties_;
    bool open_ = false;
    bool write_refused_ = false;
    bool dtr_line_ = true;
    bool gone_ = false;
    bool stale_ = false;        // open while the device went away
    bool lost_pending_ = false; // the loss is yet to be reported
    std::optional<std::string> open_error_;
};

} // namespace zz
