#pragma once

#include "app/session.h"
#include "base/real_loop.h"
#include "link/serial_port.h"
#include "sim/pty_board.h"
#include "support/recording_operator.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace zz::test {

// Waits here are bounded by a count of polls, never by the clock: a slow machine only takes
// longer.
inline constexpr int kMaxPolls = 3000; // of up to 5 ms each

// The virtual board of model 3 behind a pseudo-terminal, served by a thread of its own from
// start() until stop(); the board is touched only outside that span.
class ServedBoard {
public:
    explicit ServedBoard(const std::string& deliver = "fifo")
        : hand_over_(*HandOver::parse(deliver)) {}
    ~ServedBoard() { stop(); }

    VirtualBoard& board() { return board_; }
    const std::string& slave() const { return slave_; }

    void start() {
        pty_ = std::make_unique<PtyBoard>(board_, board_clock_, hand_over_);
        slave_ = pty_->slave_path();
        stop_fd_ = eventfd(0, EFD_CLOEXEC);
        server_ = std::thread([this] {
            pty_->run(stop_fd_);
            connections_ = pty_->connections();
            pty_.reset(); // the line hangs up
        });
    }

    // Hangs the line up; safe from any thread.
    void hang_up() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto n = ::write(stop_fd_, &one, sizeof one);
    }

    // Ends the server (the line hangs up) and returns how often the board was connected.
    int stop() {
        if (server_.joinable()) {
            hang_up();
            server_.join();
            ::close(stop_fd_);
        }
        return connections_;
    }

    // Times the application has opened the board's port so far; while serving.
    int connections() const { return pty_->connections(); }

private:
    HandOver hand_over_;
    RealLoop board_clock_;
    VirtualBoard board_{board_clock_, 3};
    std::unique_ptr<PtyBoard> pty_;
    std::string slave_;
    int stop_fd_ = -1;
    std::thread server_;
    int connections_ = 0;
};

// The application's real serial code, in a session on the real clock, against the virtual board
// of model 3 behind a pseudo-terminal, served by a thread of its own. The board and its server
// are touched only before start() and after stop().
class PtyLine {
public:
    explicit PtyLine(const std::string& deliver) : served_(deliver) {}
    ~PtyLine() { stop(); }

    VirtualBoard& board() { return served_.board(); }

    // Serves the board and starts the session on its port with `chip` selected.
    Session& start(const std::string& chip) {
        served_.start();
        session_ = std::make_unique<Session>(
            SessionEnv{loop_, op_, port_, ZZ_SOURCE_DIR "/data", {}, {}, false});
        session_->settings.COM = served_.slave();
        session_->settings.chip_type = chip;
        session_->startup();
        wait([this] { return session_->link().BoardReady.get(); });
        return *session_;
    }

    // Hangs the line up; safe from inside the session's handlers.
    void hang_up() { served_.hang_up(); }
    // Ends the server (the line hangs up) and returns how often the board was connected.
    int stop() { return served_.stop(); }

    // Processes the session's events until `done` holds; false when it never did.
    bool wait(const std::function<bool()>& done) {
        for (int i = 0; i < kMaxPolls && !done(); ++i) {
            loop_.process_events();
            if (!done())
                loop_.poll_pause(5);
        }
        return done();
    }

    // After an operation: the board has answered the closing "01".
    bool wait_idle() {
        return wait([this] { return !session_->link().Timer1.enabled(); });
    }

    const std::string& slave() const { return served_.slave(); }
    // Times the application has opened the board's port so far; while serving.
    int connections() const { return served_.connections(); }
    RecordingOperator& op() { return op_; }

private:
    ServedBoard served_;
    RealLoop loop_;
    RecordingOperator op_{loop_};
    SerialPort port_{loop_};
    std::unique_ptr<Session> session_;
};

} // namespace zz::test
