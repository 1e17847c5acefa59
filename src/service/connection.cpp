#include "service/connection.h"

#include "service/request.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace zz::service {

namespace {
constexpr std::size_t kReadBytes = 16 * 1024; // one read
}

Connection::Connection(int fd, std::string peer) : fd_(fd), peer_(std::move(peer)) {}

Connection::~Connection() {
    ::close(fd_);
}

bool Connection::receive(const std::function<void(std::string_view)>& line,
                         const std::function<void()>& too_long) {
    char block[kReadBytes];
    const ssize_t got = ::recv(fd_, block, sizeof block, MSG_DONTWAIT);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
        return false;
    if (got > 0) {
        in_.append(block, static_cast<std::size_t>(got));
        cut_lines(line, too_long);
    }
    return true;
}

void Connection::cut_lines(const std::function<void(std::string_view)>& line,
                           const std::function<void()>& too_long) {
    std::size_t start = 0;
    for (std::size_t end; (end = in_.find('\n', start)) != std::string::npos; start = end + 1) {
        if (std::exchange(skipping_, false))
            continue;
        std::string_view text(in_.data() + start, end - start);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        if (!text.empty() && !closing)
            line(text);
    }
    in_.erase(0, start);
    if (in_.size() <= kMaxRequestBytes)
        return;
    if (!skipping_)
        too_long();
    skipping_ = true;
    in_.clear();
}

void Connection::send(std::string_view bytes) {
    if (broken_)
        return;
    out_.append(bytes);
    flush();
}

bool Connection::flush() {
    while (!out_.empty() && !broken_) {
        const ssize_t sent = ::send(fd_, out_.data(), out_.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR))
            break;
        if (sent < 0)
            broken_ = true;
        else
            out_.erase(0, static_cast<std::size_t>(sent));
    }
    if (out_.size() > kMostWaiting)
        broken_ = true;
    return !broken_;
}

} // namespace zz::service
