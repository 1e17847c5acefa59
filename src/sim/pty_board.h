#pragma once

#include "base/loop.h"
#include "sim/busy_time.h"
#include "sim/hand_over.h"
#include "sim/virtual_board.h"

#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace zz {

// The virtual board on the far side of a pseudo-terminal, so the application's real serial code
// can talk to it: every byte paced at 38400 baud both ways, received bytes handed over as
// `HandOver` says. A pseudo-terminal has no modem lines; the board restarts whenever the slave
// side is opened while nobody had it open, and loses power when its last handle closes. The opens
// and closes are seen through inotify on the slave's device node (the master's POLLHUP confirms a
// close), so a close and reopen in quick succession still restarts the board.
//
// The board must run on `clock`, a real clock with microseconds; run() is then the only place
// that touches it.
class PtyBoard {
public:
    // One time the application had the slave side open.
    struct Connection {
        int number = 0;             // 1, 2, ... since the start
        std::int64_t open_us = 0;   // from open to close
        std::int64_t busy_us = 0;   // the board worked or a byte was on the line
        std::int64_t line_us = 0;   // the same, together with the waits for the hand-over
        std::int64_t socket_us = 0; // the same, together with the waits for a person at the socket
    };
    using ClosedHandler = std::function<void(const Connection&)>;

    // Opens the pseudo-terminal; throws std::system_error.
    PtyBoard(VirtualBoard& board, Loop& clock, HandOver hand_over);
    ~PtyBoard();
    PtyBoard(const PtyBoard&) = delete;
    PtyBoard& operator=(const PtyBoard&) = delete;

    const std::string& slave_path() const { return slave_path_; }
    // Called from run() as each connection ends (also the one open when run() stops).
    void on_closed(ClosedHandler handler) { closed_ = std::move(handler); }
    // Serves until `stop_fd` is readable.
    void run(int stop_fd);
    // Connections so far; safe from any thread.
    int connections() const { return connections_; }

private:
    void take_node_events();
    bool slave_closed() const;
    void connect();
    void disconnect();
    void read_host();
    void write_due(std::int64_t now_us);
    // The wait until the next due event; false when nothing is due (wait for input).
    bool next_timeout(std::int64_t now_us, timespec& timeout) const;

    VirtualBoard& board_;
    Loop& clock_;
    HandOverQueue queue_;
    int master_ = -1;
    int inotify_ = -1;
    std::string slave_path_;
    int slave_handles_ = 0;
    bool connected_ = false;
    std::atomic<int> connections_ = 0;
    std::int64_t connected_at_us_ = 0;
    BusyTime waits_;
    std::vector<std::uint8_t> unwritten_; // due, but the slave's input was full
    ClosedHandler closed_;
};

} // namespace zz
