#pragma once
// One client's connection: the request lines it sends, cut at their newlines, and the event
// lines waiting to be written to it. Its socket is non-blocking; nothing here waits.
#include <functional>
#include <string>
#include <string_view>

namespace zz::service {

class Connection {
public:
    // Events waiting for a client that does not read, beyond which it is dropped (bytes).
    static constexpr std::size_t kMostWaiting = 8 * 1024 * 1024;

    Connection(int fd, std::string peer);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int fd() const { return fd_; }
    const std::string& peer() const { return peer_; }

    // Reads what has arrived and hands over each whole line (without its newline); a line that
    // grows past the longest request is reported once with `too_long` and skipped to its end.
    // False once the client has closed or the connection failed.
    bool receive(const std::function<void(std::string_view line)>& line,
                 const std::function<void()>& too_long);
    // Queues `bytes` and writes what the socket takes now.
    void send(std::string_view bytes);
    // Writes what waits. False when the connection failed or too much waits.
    bool flush();
    bool waiting() const { return !out_.empty(); }
    bool broken() const { return broken_; }

    // After the token: the requests are served.
    bool admitted = false;
    // Closed once what waits is written.
    bool closing = false;

private:
    void cut_lines(const std::function<void(std::string_view)>& line,
                   const std::function<void()>& too_long);

    int fd_;
    std::string peer_;
    std::string in_;
    bool skipping_ = false; // inside a line that was too long
    std::string out_;
    bool broken_ = false;
};

} // namespace zz::service
